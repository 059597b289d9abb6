#include <windows.h>

#include "base/Clock.h"

namespace velmo {

namespace {

class Win32Clock final : public Clock {
  public:
    DateTime Now() override {
        SYSTEMTIME local{};
        GetLocalTime(&local);
        return DateTime::FromParts(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                                   local.wSecond);
    }

    std::int64_t LocalFileTime() override {
        SYSTEMTIME local{};
        GetLocalTime(&local);
        FILETIME file{};
        SystemTimeToFileTime(&local, &file);
        return static_cast<std::int64_t>((static_cast<std::uint64_t>(file.dwHighDateTime) << 32) |
                                         file.dwLowDateTime);
    }

    std::uint32_t TickCount() override { return GetTickCount(); }

    // Interrupt time without the time spent in sleep or hibernation.
    std::uint64_t UnbiasedMilliseconds() override {
        ULONGLONG unbiased = 0;
        if (QueryUnbiasedInterruptTime(&unbiased)) {
            return unbiased / 10000u;
        }
        return GetTickCount64();
    }

    // Counts the time spent in sleep or hibernation as well.
    std::uint64_t Tick() override { return GetTickCount64(); }

    // The count of the computer's starts that Windows 8 and later keep for
    // the prefetcher; 0 (unknown) where it is missing, as under Wine.
    std::uint64_t BootId() override {
        static const std::uint64_t boot = [] {
            DWORD value = 0;
            DWORD size = sizeof(value);
            if (RegGetValueW(HKEY_LOCAL_MACHINE,
                             L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory "
                             L"Management\\PrefetchParameters",
                             L"BootId", RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
                return std::uint64_t{0};
            }
            return std::uint64_t{value} + 1;  // never 0, which means unknown
        }();
        return boot;
    }

    void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

Clock& SystemClock() {
    static Win32Clock clock;
    return clock;
}

}  // namespace velmo
