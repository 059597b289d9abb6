// Which of the main window's timers run, and when each is due, follows from
// the window's state alone: the window applies the plan after every event
// (a tick, a shown result, a command, a modal window opening or closing,
// sleep and resume), and no handler starts or stops a timer of its own.
// Due moments are ticks (Clock::Tick), so a plan made again gives the same
// moments, and an interval counts from the end of the latest reading of its
// kind whoever asked for it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "app/Timers.h"

namespace velmo {

struct PollState {
    // The intervals of the settings, in ms; a switched-off poll has none.
    std::optional<std::uint32_t> refreshMs;  // timer 1, UpdateStatusDisconnectTime
    std::optional<std::uint32_t> statusMs;   // timer 2 while the line is up, UpdateStatusConnectTime
    std::uint32_t followUpPollMs = 0;        // timer 2 during a command's follow-up window
    std::optional<std::uint32_t> captureMs;  // timer 4, UpdateLogTime

    bool closing = false;    // not started yet, or the close sequence ran: nothing is due
    bool modalOpen = false;  // a modal window of the tool or the question is up: no poll starts
    bool sheetOpen = false;  // the settings sheet is up: the automatic hang-up waits for its OK too
    bool asleep = false;     // between suspend and resume: nothing touches the router

    bool lineUp = false;
    // When the latest reading of each kind ended (a refresh reads the status
    // page too); the start of the window counts as one for each.
    std::uint64_t refreshEnded = 0;
    std::uint64_t statusEnded = 0;
    std::uint64_t captureEnded = 0;
    // A job of the kind waits or runs: its timer starts again from its end.
    bool refreshBusy = false;
    bool statusBusy = false;
    bool captureBusy = false;

    // Moments the window keeps for itself; none: nothing pending.
    std::optional<std::uint64_t> followUpEnds;       // timer 3
    std::optional<std::uint64_t> accessWarningEnds;  // timer 5
    std::optional<std::uint64_t> autoDisconnectDue;  // timer 6
    std::optional<std::uint64_t> muteEnds;           // timer 7
    std::optional<std::uint64_t> redialDue;          // timer 8
};

// The due tick of each timer, indexed by id - 1; none: the timer is off.
using TimerPlan = std::array<std::optional<std::uint64_t>, std::size(kAllTimers)>;

TimerPlan PlanTimers(const PollState& state);

}  // namespace velmo
