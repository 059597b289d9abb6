// The auto-disconnect schedule: one check's arithmetic over plain values.
// The main window takes the time, does the hang-up and arms its timer; this
// decides whether the set moment has come, where it moves next and how long
// the window waits before the following check.
#pragma once

#include <cstdint>

#include "base/DateTime.h"

namespace velmo {

// What one check starts from (the feature is on).
struct ScheduleCheck {
    bool daily = false;  // daily mode: only the time of day of `moment` counts
    DateTime moment;     // the set moment (AutoDisconnectTime)
    DateTime lastCheck;  // the previous check (lastDisconnectCheck)
    DateTime now;        // this check's one "now"
};

// What the check decides.
struct ScheduleDecision {
    // The set moment while the hang-up runs: in daily mode re-based on the
    // previous check's date (or today's), so a moment shortly before midnight
    // is still caught by a check just after it.
    DateTime dueMoment;
    // The moment fell in (lastCheck, now]: hang up now. A late check still
    // fires once, and no occurrence fires twice.
    bool hangUp = false;
    // The set moment after the check: in daily mode the next occurrence.
    DateTime nextMoment;
    // The moment is no longer ahead: the feature switches off.
    bool switchOff = false;
    // While it stays on: the wait before the next check, the whole seconds
    // to the moment but at most 300 s.
    std::uint32_t delayMs = 0;
};

inline constexpr std::int64_t kLongestCheckSeconds = 300;

ScheduleDecision PlanAutoDisconnect(const ScheduleCheck& check);

}  // namespace velmo
