#include <time.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "base/Clock.h"

namespace velmo {

namespace {

class PosixClock final : public Clock {
  public:
    DateTime Now() override {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return DateTime::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                   local.tm_min, local.tm_sec);
    }

    std::int64_t LocalFileTime() override {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::tm local{};
        localtime_r(&now.tv_sec, &local);
        const DateTime seconds = DateTime::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                                     local.tm_hour, local.tm_min, local.tm_sec);
        return seconds.ToFileTime() + static_cast<std::int64_t>(now.tv_nsec / 1000000) * 10000;
    }

    std::uint32_t TickCount() override { return static_cast<std::uint32_t>(UnbiasedMilliseconds()); }

    // CLOCK_MONOTONIC does not advance while the system is suspended on Linux.
    std::uint64_t UnbiasedMilliseconds() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
               static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    }

    // CLOCK_BOOTTIME counts the time spent suspended as well.
    std::uint64_t Tick() override {
        timespec ts{};
        clock_gettime(CLOCK_BOOTTIME, &ts);
        return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
               static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    }

    // The kernel's random identity of this boot, folded into a number (FNV-1a).
    std::uint64_t BootId() override {
        static const std::uint64_t boot = [] {
            std::ifstream file("/proc/sys/kernel/random/boot_id");
            std::string text;
            if (!std::getline(file, text) || text.empty()) {
                return std::uint64_t{0};
            }
            std::uint64_t hash = 14695981039346656037ull;
            for (unsigned char c : text) {
                hash = (hash ^ c) * 1099511628211ull;
            }
            return hash | 1;  // never 0, which means unknown
        }();
        return boot;
    }

    void Sleep(std::uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

}  // namespace

Clock& SystemClock() {
    static PosixClock clock;
    return clock;
}

}  // namespace velmo
