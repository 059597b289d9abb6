// The redial schedule, driven through its events on a tick count.
#include "app/Redial.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmo {
namespace {

constexpr std::uint32_t kVerdictMs = 120000;
constexpr std::uint32_t kMinute = 60000;

// One event at a tick, and what the rules say to it.
struct Event {
    enum Kind { Drop, Up, User, HangUp, Step } kind;
    std::uint32_t tick;
    // Step: the step due; Up: "Dial" when the redial worked, else "None".
    RedialStep expected = RedialStep::None;
};

struct Row {
    const char* what;
    std::vector<Event> events;
};

TEST(Redial, ScheduleOfTriesAndWhatEndsIt) {
    using E = Event;
    const RedialStep dial = RedialStep::Dial;
    const RedialStep none = RedialStep::None;
    const std::uint32_t wrap = 0xFFFFFFFFu - 10000;  // 10 s before the tick count wraps
    const Row rows[] = {
        {"five tries 30 s, 1, 2, 4 and 8 min apart, then the verdict",
         {{E::Drop, 0},
          {E::Step, 29999, none},
          {E::Step, 30000, dial},
          {E::Step, 89999, none},
          {E::Step, 90000, dial},
          {E::Step, 210000, dial},
          {E::Step, 450000, dial},
          {E::Step, 930000, dial},
          {E::Step, 930000 + kVerdictMs - 1, none},
          {E::Step, 930000 + kVerdictMs, RedialStep::GiveUp},
          {E::Step, 5000000, none}}},
        {"the line up after a try: it worked, and no more tries",
         {{E::Drop, 0}, {E::Step, 30000, dial}, {E::Up, 40000, dial}, {E::Step, 90000, none}}},
        {"the line up before the first try: nothing to report",
         {{E::Drop, 0}, {E::Up, 10000, none}, {E::Step, 30000, none}}},
        {"the user's 接続 or 切断 stops it", {{E::Drop, 0}, {E::User, 5000}, {E::Step, 30000, none}}},
        {"no redial within 10 minutes of the tool's hang-up, then as usual",
         {{E::HangUp, 0},
          {E::Drop, 9 * kMinute},
          {E::Step, 9 * kMinute + 30000, none},
          {E::Drop, 10 * kMinute},
          {E::Step, 10 * kMinute + 30000, dial}}},
        {"a hang-up during a redial stops it", {{E::Drop, 0}, {E::HangUp, 1000}, {E::Step, 30000, none}}},
        {"the tick count wrapping",
         {{E::Drop, wrap}, {E::Step, wrap + 29999, none}, {E::Step, wrap + 30000, dial}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RedialState state;
        for (const Event& event : row.events) {
            SCOPED_TRACE("tick " + std::to_string(event.tick));
            switch (event.kind) {
                case Event::Drop:
                    NoteDrop(state, event.tick);
                    break;
                case Event::Up:
                    EXPECT_EQ(NoteLineUp(state), event.expected == dial);
                    break;
                case Event::User:
                    NoteUserCommand(state);
                    break;
                case Event::HangUp:
                    NoteHangUp(state, event.tick);
                    break;
                case Event::Step:
                    const std::uint32_t wait = RedialWaitMs(state, event.tick);
                    const RedialStep step = NextRedialStep(state, event.tick, kVerdictMs);
                    EXPECT_EQ(step, event.expected);
                    // The timer's wait says the same: due now, or later.
                    EXPECT_EQ(wait == 0 && step != none, step != none);
                    break;
            }
        }
    }
}

}  // namespace
}  // namespace velmo
