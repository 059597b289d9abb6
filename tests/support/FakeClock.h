// A clock that moves only when the test moves it.
#pragma once

#include <vector>

#include "base/Clock.h"

namespace velmo::testing {

class FakeClock final : public Clock {
  public:
    explicit FakeClock(DateTime now = DateTime::FromParts(2026, 12, 8, 12, 0, 0)) : now_(now) {}

    DateTime Now() override { return now_; }
    std::int64_t LocalFileTime() override {
        return now_.ToFileTime() + static_cast<std::int64_t>(wholeMsBehind_) * 10000;
    }
    std::uint32_t TickCount() override { return static_cast<std::uint32_t>(milliseconds_); }
    // Each reading first moves the time by `advancePerUnbiasedRead`, so a
    // test can make an operation timed with two readings look slow.
    std::uint64_t UnbiasedMilliseconds() override {
        Advance(advancePerUnbiasedRead);
        return milliseconds_;
    }
    std::uint64_t Tick() override { return milliseconds_ + suspended_; }
    std::uint64_t BootId() override { return boot_; }
    // Sleeping moves the fake time; the test sees every sleep.
    void Sleep(std::uint32_t ms) override {
        sleeps.push_back(ms);
        Advance(ms);
    }

    void Advance(std::uint64_t ms) {
        milliseconds_ += ms;
        wholeMsBehind_ += ms;
        now_ = now_.PlusSeconds(static_cast<std::int64_t>(wholeMsBehind_ / 1000));
        wholeMsBehind_ %= 1000;
    }
    void SetNow(DateTime now) { now_ = now; }
    // The computer sleeps for `ms`: the wall clock and the tick move on, the
    // unbiased time and the 32-bit tick count stand still.
    void Suspend(std::uint64_t ms) {
        suspended_ += ms;
        now_ = now_.PlusSeconds(static_cast<std::int64_t>(ms / 1000));
    }

    // The computer is off for `awayMs` and started again; `uptimeMs` after
    // its start the ticks count anew.
    void Reboot(std::uint64_t awayMs, std::uint64_t uptimeMs) {
        now_ = now_.PlusSeconds(static_cast<std::int64_t>((awayMs + uptimeMs) / 1000));
        milliseconds_ = uptimeMs, suspended_ = 0, ++boot_;
    }

    std::vector<std::uint32_t> sleeps;
    std::uint64_t advancePerUnbiasedRead = 0;

  private:
    DateTime now_;
    std::uint64_t milliseconds_ = 1000000;
    std::uint64_t wholeMsBehind_ = 0;
    std::uint64_t suspended_ = 0;
    std::uint64_t boot_ = 1;
};

}  // namespace velmo::testing
