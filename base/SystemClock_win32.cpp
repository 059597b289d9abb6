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

    void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

Clock& SystemClock() {
    static Win32Clock clock;
    return clock;
}

}  // namespace velmo
