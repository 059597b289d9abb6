// The window's timers as a table: its state, and which timers run with which
// due tick.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "app/PollPlan.h"

namespace velmo {
namespace {

// The running timers as id -> due tick, for readable failures.
std::map<int, std::uint64_t> Running(const TimerPlan& plan) {
    std::map<int, std::uint64_t> running;
    for (int id : kAllTimers) {
        if (plan[id - 1]) {
            running[id] = *plan[id - 1];
        }
    }
    return running;
}

TEST(PollPlan, EachStateGivesItsTimersAndTheirDueTicks) {
    // A window with the defaults: refresh every 10 s, status every 3 s while
    // up, capture every 10 min; the latest readings ended at 1 000 (refresh),
    // 2 000 (status) and 500 (capture).
    PollState base;
    base.refreshMs = 10000;
    base.statusMs = 3000;
    base.followUpPollMs = 3000;
    base.captureMs = 600000;
    base.refreshEnded = 1000;
    base.statusEnded = 2000;
    base.captureEnded = 500;
    base.muteEnds = 90000;
    base.autoDisconnectDue = 50000;

    struct Row {
        const char* state;
        std::function<void(PollState&)> change;
        std::map<int, std::uint64_t> timers;
    };
    const Row rows[] = {
        {"line down", [](PollState&) {}, {{1, 11000}, {4, 600500}, {6, 50000}, {7, 90000}}},
        {"line up",
         [](PollState& s) { s.lineUp = true; },
         {{1, 11000}, {2, 5000}, {4, 600500}, {6, 50000}, {7, 90000}}},
        {"line up, status polls off",
         [](PollState& s) { s.lineUp = true, s.statusMs.reset(); },
         {{1, 11000}, {4, 600500}, {6, 50000}, {7, 90000}}},
        {"down in a command's follow-up",
         [](PollState& s) { s.followUpEnds = 120000, s.followUpPollMs = 10000; },
         {{1, 11000}, {2, 12000}, {3, 120000}, {4, 600500}, {6, 50000}, {7, 90000}}},
        {"refresh and capture jobs under way",
         [](PollState& s) { s.refreshBusy = s.captureBusy = true; },
         {{6, 50000}, {7, 90000}}},
        {"up, status poll under way",
         [](PollState& s) { s.lineUp = s.statusBusy = true; },
         {{1, 11000}, {4, 600500}, {6, 50000}, {7, 90000}}},
        {"about box open, warning and redial pending",
         [](PollState& s) { s.lineUp = s.modalOpen = true, s.accessWarningEnds = 7000, s.redialDue = 30000; },
         {{5, 7000}, {6, 50000}, {7, 90000}, {8, 30000}}},
        {"settings sheet open", [](PollState& s) { s.modalOpen = s.sheetOpen = true; }, {{7, 90000}}},
        {"asleep in a follow-up, redial pending",
         [](PollState& s) { s.asleep = true, s.followUpEnds = 120000, s.redialDue = 30000; },
         {{3, 120000}, {7, 90000}}},
        {"polls switched off",
         [](PollState& s) { s.refreshMs.reset(), s.captureMs.reset(); },
         {{6, 50000}, {7, 90000}}},
        {"closed", [](PollState& s) { s.closing = true, s.lineUp = true, s.redialDue = 1; }, {}},
    };
    for (const Row& row : rows) {
        PollState state = base;
        row.change(state);
        EXPECT_EQ(Running(PlanTimers(state)), row.timers) << row.state;
    }
}

}  // namespace
}  // namespace velmo
