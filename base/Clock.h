// The clock port: every reading of time in the core goes through it, so tests
// can move time by hand.
#pragma once

#include <cstdint>

#include "base/DateTime.h"

namespace velmo {

class Clock {
  public:
    virtual ~Clock() = default;
    // Current local time in whole seconds.
    virtual DateTime Now() = 0;
    // Current local time with its milliseconds, as 100-ns units since
    // 1601-01-01 (the FILETIME form of the local time, no time-zone change).
    virtual std::int64_t LocalFileTime() = 0;
    // Milliseconds since an arbitrary start, wrapping at 2^32 (GetTickCount).
    virtual std::uint32_t TickCount() = 0;
    // Milliseconds that do not advance while the computer is suspended
    // (QueryUnbiasedInterruptTime, CLOCK_MONOTONIC).
    virtual std::uint64_t UnbiasedMilliseconds() = 0;
    // Milliseconds since an arbitrary start that keep counting while the
    // computer sleeps and never go back (GetTickCount64, CLOCK_BOOTTIME): the
    // one measure of time that passed, which the user and time sync cannot move.
    virtual std::uint64_t Tick() = 0;
    // Which start of the computer Tick counts from: ticks of two starts are
    // not comparable. 0 where the system does not tell.
    virtual std::uint64_t BootId() { return 0; }
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// The real clock of this platform.
Clock& SystemClock();

}  // namespace velmo
