#include "app/PollPlan.h"

namespace velmo {

namespace {

std::optional<std::uint64_t> After(std::uint64_t ended, const std::optional<std::uint32_t>& interval) {
    if (!interval) {
        return std::nullopt;
    }
    return ended + *interval;
}

}  // namespace

TimerPlan PlanTimers(const PollState& state) {
    TimerPlan plan{};
    if (state.closing) {
        return plan;
    }
    auto due = [&plan](int timerId) -> std::optional<std::uint64_t>& { return plan[timerId - 1]; };

    // The router's polls: none under a modal window or while the computer
    // sleeps, and none of a kind whose job waits or runs.
    const bool polling = !state.modalOpen && !state.asleep;
    if (polling && !state.refreshBusy) {
        due(kTimerRefresh) = After(state.refreshEnded, state.refreshMs);
    }
    // The status page is polled while the line is up, and during a
    // command's follow-up window even while it is down.
    if (polling && !state.statusBusy) {
        if (state.lineUp && state.statusMs) {
            due(kTimerStatusPoll) = After(state.statusEnded, state.statusMs);
        } else if (state.followUpEnds) {
            due(kTimerStatusPoll) = state.statusEnded + state.followUpPollMs;
        }
    }
    if (polling && !state.captureBusy) {
        due(kTimerLogCapture) = After(state.captureEnded, state.captureMs);
    }
    // What the window keeps of its own runs on, but for what needs the router.
    due(kTimerFollowUpEnd) = state.followUpEnds;
    due(kTimerAccessWarningEnd) = state.accessWarningEnds;
    due(kTimerMuteEnd) = state.muteEnds;
    if (!state.asleep && !state.sheetOpen) {
        due(kTimerAutoDisconnect) = state.autoDisconnectDue;
    }
    if (!state.asleep) {
        due(kTimerRedial) = state.redialDue;
    }
    return plan;
}

}  // namespace velmo
