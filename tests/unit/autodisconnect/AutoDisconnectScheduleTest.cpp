// The auto-disconnect schedule as a pure function: one table of single
// checks, and a model of the daily mode over weeks of checks that come on
// time, late (a suspended computer) or early (the settings sheet closed).
#include "autodisconnect/AutoDisconnectSchedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace velmo {
namespace {

DateTime At(int month, int day, int hour, int minute, int second) {
    return DateTime::FromParts(2026, month, day, hour, minute, second);
}

const DateTime kNoon = At(12, 8, 12, 0, 0);

struct CheckCase {
    const char* name;
    ScheduleCheck check;
    ScheduleDecision expected;
};

// {daily, moment, lastCheck, now} -> {dueMoment, hangUp, nextMoment, switchOff, delayMs}
const CheckCase kChecks[] = {
    {"dated, ten seconds ahead: wait exactly those",
     {false, At(12, 8, 12, 0, 10), kNoon, kNoon},
     {At(12, 8, 12, 0, 10), false, At(12, 8, 12, 0, 10), false, 10000}},
    {"dated, an hour ahead: wait the longest interval",
     {false, At(12, 8, 13, 0, 0), kNoon, kNoon},
     {At(12, 8, 13, 0, 0), false, At(12, 8, 13, 0, 0), false, 300000}},
    {"dated, one second ahead",
     {false, At(12, 8, 13, 0, 0), At(12, 8, 12, 54, 59), At(12, 8, 12, 59, 59)},
     {At(12, 8, 13, 0, 0), false, At(12, 8, 13, 0, 0), false, 1000}},
    {"dated, reached: hang up and switch off",
     {false, At(12, 8, 12, 0, 10), kNoon, At(12, 8, 12, 0, 10)},
     {At(12, 8, 12, 0, 10), true, At(12, 8, 12, 0, 10), true, 0}},
    {"dated, passed while the computer slept: hang up once, switch off",
     {false, At(12, 8, 12, 5, 0), kNoon, At(12, 8, 14, 0, 0)},
     {At(12, 8, 12, 5, 0), true, At(12, 8, 12, 5, 0), true, 0}},
    {"dated, already past at the first check: switch off without hanging up",
     {false, At(12, 8, 11, 59, 59), kNoon, kNoon},
     {At(12, 8, 11, 59, 59), false, At(12, 8, 11, 59, 59), true, 0}},
    {"dated, at the previous check itself: that check had it",
     {false, kNoon, kNoon, At(12, 8, 12, 5, 0)},
     {kNoon, false, kNoon, true, 0}},
    {"daily, time already past today: tomorrow",
     {true, DateTime::FromParts(2020, 1, 1, 8, 30, 0), kNoon, kNoon},
     {At(12, 8, 8, 30, 0), false, At(12, 9, 8, 30, 0), false, 300000}},
    {"daily, thirty seconds ahead",
     {true, At(12, 8, 23, 59, 0), At(12, 8, 23, 53, 30), At(12, 8, 23, 58, 30)},
     {At(12, 8, 23, 59, 0), false, At(12, 8, 23, 59, 0), false, 30000}},
    {"daily, reached on time: hang up, the next day's is armed",
     {true, At(12, 8, 22, 0, 5), At(12, 8, 22, 0, 0), At(12, 8, 22, 0, 5)},
     {At(12, 8, 22, 0, 5), true, At(12, 9, 22, 0, 5), false, 300000}},
    {"daily, before midnight, asleep across it: caught just after midnight",
     {true, At(12, 8, 23, 59, 0), At(12, 8, 23, 58, 30), At(12, 9, 0, 3, 30)},
     {At(12, 8, 23, 59, 0), true, At(12, 10, 23, 59, 0), false, 300000}},
    {"daily, the check after that re-bases on its own date",
     {true, At(12, 10, 23, 59, 0), At(12, 9, 0, 3, 30), At(12, 9, 0, 8, 30)},
     {At(12, 9, 23, 59, 0), false, At(12, 9, 23, 59, 0), false, 300000}},
    {"daily, a second check at the same moment does not hang up again",
     {true, At(12, 9, 22, 0, 5), At(12, 8, 22, 0, 5), At(12, 8, 22, 0, 5)},
     {At(12, 8, 22, 0, 5), false, At(12, 9, 22, 0, 5), false, 300000}},
};

TEST(AutoDisconnectSchedule, EachCheckDecidesHangUpNextMomentAndWait) {
    for (const CheckCase& row : kChecks) {
        const ScheduleDecision got = PlanAutoDisconnect(row.check);
        EXPECT_EQ(got.dueMoment.Format(kDateTimeFormat), row.expected.dueMoment.Format(kDateTimeFormat))
            << row.name;
        EXPECT_EQ(got.hangUp, row.expected.hangUp) << row.name;
        EXPECT_EQ(got.nextMoment.Format(kDateTimeFormat), row.expected.nextMoment.Format(kDateTimeFormat))
            << row.name;
        EXPECT_EQ(got.switchOff, row.expected.switchOff) << row.name;
        EXPECT_EQ(got.delayMs, row.expected.delayMs) << row.name;
    }
}

// The model of the daily mode: the set time of day recurs every day. A check
// hangs up exactly when an occurrence fell since the previous check, never
// switches the feature off, and never waits past the next occurrence nor
// longer than 300 s. Gaps stay under a day, as the re-basing on the previous
// check's date assumes.
TEST(AutoDisconnectSchedule, DailyModeHangsUpOncePerOccurrenceWhateverTheChecksTimes) {
    constexpr std::int64_t kDay = 86400;
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        auto uniform = [&random](std::int64_t low, std::int64_t high) {
            return std::uniform_int_distribution<std::int64_t>(low, high)(random);
        };
        const DateTime start = At(1, 1, 0, 0, 0).PlusSeconds(uniform(0, 60 * kDay));
        // A stored moment on some other date; only its time of day counts.
        const DateTime firstOccurrence = start.PlusSeconds(uniform(1, kDay - 1));
        const DateTime stored = firstOccurrence.OnDateOf(DateTime::FromParts(2019, 3, 4, 0, 0, 0));
        auto occurrenceAfter = [&](const DateTime& t) {  // the first occurrence later than t
            const std::int64_t days = t.SecondsSince(firstOccurrence) / kDay;
            DateTime o = firstOccurrence.PlusSeconds(std::max<std::int64_t>(0, days - 1) * kDay);
            while (o <= t) {
                o = o.PlusSeconds(kDay);
            }
            return o;
        };
        ScheduleCheck check{true, stored, start, start};
        int hangUps = 0;
        for (int step = 0; step < 2000; ++step) {
            const ScheduleDecision plan = PlanAutoDisconnect(check);
            const bool due = occurrenceAfter(check.lastCheck) <= check.now;
            const std::int64_t toNext = occurrenceAfter(check.now).SecondsSince(check.now);
            ASSERT_EQ(plan.hangUp, due) << "seed " << seed << " step " << step;
            ASSERT_FALSE(plan.switchOff) << "seed " << seed << " step " << step;
            ASSERT_EQ(plan.delayMs, std::min<std::int64_t>(toNext, 300) * 1000)
                << "seed " << seed << " step " << step;
            hangUps += plan.hangUp ? 1 : 0;
            // The next check: when the timer fires, late, or early.
            const std::int64_t armed = plan.delayMs / 1000;
            std::int64_t gap = armed;
            switch (uniform(0, 9)) {
                case 0:
                    gap = armed + uniform(1, kDay - 3600);  // asleep
                    break;
                case 1:
                    gap = uniform(0, armed);  // the settings sheet closed
                    break;
                default:
                    break;
            }
            check = {true, plan.nextMoment, check.now, check.now.PlusSeconds(gap)};
        }
        EXPECT_GT(hangUps, 0) << "seed " << seed;
    }
}

}  // namespace
}  // namespace velmo
