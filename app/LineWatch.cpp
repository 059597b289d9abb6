#include "app/LineWatch.h"

#include <algorithm>

#include "app/ToolCommand.h"
#include "history/RunningTime.h"

namespace velmo {

namespace {

// Differences smaller than this between the local clock and the tick are the
// stamps' rounding, not a clock that moved.
constexpr std::int64_t kClockJitterSeconds = 2;
// How far the router's clock may run from the computer's: 300 ppm.
constexpr std::int64_t kDriftPerMillion = 300;

bool IsHangUp(LineCommand command) {
    return command == LineCommand::Disconnect || command == LineCommand::AutoDisconnect;
}

// Follows a local clock moved since the previous reading (the tick says how
// much time really passed), and says whether the reading came within the
// gap, counted from the previous fetch to this job's start.
bool FollowClock(LineState& state, const LineReading& reading, const LineLimits& limits) {
    const KeptLine& kept = state.kept;
    if (!kept.lastAt || !SameBoot(reading.tick, reading.boot, kept.lastTick, kept.lastBoot)) {
        return false;  // the first reading, or the computer was started again since
    }
    const auto real = static_cast<std::int64_t>((reading.tick - kept.lastTick) / 1000);
    const std::int64_t moved = reading.at.SecondsSince(*kept.lastAt) - real;
    if (moved > kClockJitterSeconds || moved < -kClockJitterSeconds) {
        if (state.kept.open) {
            state.kept.open->start = state.kept.open->start.PlusSeconds(moved);
            state.kept.open->lastSeenUp = state.kept.open->lastSeenUp.PlusSeconds(moved);
        }
        if (state.wentDownAt) {
            state.wentDownAt = state.wentDownAt->PlusSeconds(moved);
        }
    }
    return reading.askedTick >= kept.lastTick &&
           reading.askedTick - kept.lastTick <= static_cast<std::uint64_t>(limits.maxGapMs);
}

void NoteAnswer(LineState& state, const LineReading& reading, LineResult& result) {
    if (!reading.answered) {
        // A silence counts from a reading that answered.
        if (state.answering || state.missed > 0) {
            if (state.missed == 0) {
                state.silentSince = reading.tick;
            }
            state.missed = std::min(state.missed + 1, kMissedReadingsBeforeAlert);
        }
        state.answering = false;
        if (state.missed == kMissedReadingsBeforeAlert && !state.silenceAnnounced) {
            state.silenceAnnounced = true;
            result.silenceStarts = true;
        }
        return;
    }
    if (state.silenceAnnounced) {
        result.silenceEndedMs = reading.tick - state.silentSince;
    }
    state.answering = true;
    state.missed = 0;
    state.silenceAnnounced = false;
}

// True when the reading shows the change `sent` asked for: the command owns
// that one change. Until its job has come back it may not have been sent (a
// reading made meanwhile was made before it, a run that ended meanwhile may
// have dropped it); a command whose change has not come within the
// follow-up window failed and owns none.
bool ClaimChange(SentCommand& sent, const LineReading& reading, const LineLimits& limits) {
    if (!sent.ownsChange || !sent.sent) {
        return false;
    }
    if ((sent.command == LineCommand::Connect) == reading.connected) {
        sent.ownsChange = false;
        return true;
    }
    if (ElapsedMs(reading.tick, reading.at, reading.boot, sent.tick, sent.at, sent.boot) >
        limits.followUpMs) {
        sent.ownsChange = false;
    }
    return false;
}

// The tool's command whose change the reading shows, if any: the last one
// (not for the reading its own job made before sending it), else the one it
// replaced, whose job ran before.
LineCommand ClaimingCommand(LineState& state, const LineReading& reading, const LineLimits& limits,
                            bool commandMayOwn) {
    if (commandMayOwn && ClaimChange(state.kept.command, reading, limits)) {
        return state.kept.command.command;
    }
    if (ClaimChange(state.replaced, reading, limits)) {
        return state.replaced.command;
    }
    return LineCommand::None;
}

// The line up: the open session goes on (re-anchored on the router's running
// time, which may drift from the computer's clock by 300 ppm) or a new one begins.
void NoteUp(LineState& state, const LineReading& reading, const LineLimits& limits, LineResult& result) {
    std::optional<OpenSession>& open = state.kept.open;
    std::int64_t running = RunningTimeSeconds(reading.connectionTime);
    const DateTime start = reading.at.PlusSeconds(-std::max<std::int64_t>(running, 0));
    if (start.Calendar().year < kEarliestStartYear) {
        running = -1;  // no true start: the session starts when it was first seen
    }
    if (open && running >= 0) {
        const std::int64_t length = std::max<std::int64_t>(0, reading.at.SecondsSince(open->start));
        const std::int64_t drift = length * kDriftPerMillion / 1000000 + kClockJitterSeconds;
        const std::int64_t moved = start.SecondsSince(open->start);
        // A start later than the drift allows, or after the line was last
        // seen up in the open session, is another session; one earlier than
        // the drift allows is a running time not to be believed, and the
        // session keeps its start.
        if (moved > drift + limits.pollMs / 1000 || start.SecondsSince(open->lastSeenUp) > drift) {
            result.ended.push_back(EndSession(*open, EndCause::Unseen));
            open.reset();
        } else if (moved >= -(drift + limits.pollMs / 1000)) {
            open->start = start;
        }
    }
    if (open) {
        open->lastSeenUp = reading.at;
        return;
    }
    // A new session starts no earlier than the last one ended; a running
    // time that says otherwise is not believed, and it starts when first seen.
    DateTime first = running >= 0 ? start : reading.at;
    if (state.wentDownAt && first < *state.wentDownAt) {
        first =
            first.SecondsSince(*state.wentDownAt) >= -kClockJitterSeconds ? *state.wentDownAt : reading.at;
    }
    open = OpenSession{first, reading.at};
}

// The line down: the open session ends, by the tool's own hang-up when the
// reading shows its change, a drop when the tool watched all along, else unseen.
void NoteDown(LineState& state, const LineReading& reading, LineCommand claimed, bool seen,
              const LineLimits& limits, LineResult& result) {
    if (!state.kept.open) {
        return;
    }
    EndCause cause = seen ? EndCause::Drop : EndCause::Unseen;
    if (claimed != LineCommand::None) {
        cause = claimed == LineCommand::AutoDisconnect ? EndCause::Auto : EndCause::User;
    }
    const Session ended = EndSession(*state.kept.open, cause);
    state.kept.open.reset();
    result.ended.push_back(ended);
    state.wentDownAt = ended.end;
    if (IsNews(ended.cause) && limits.autoRedial && !RedialHeld(state, reading)) {
        state.redialing = true;
        state.tries = 0;
        state.redialDue = reading.tick + kRedialWaitsMs[0];
    }
}

// The command in flight is over once the line shows what it asked for, the
// router stops answering or the wait has passed.
void SettleFlight(LineState& state, const LineReading& reading, LineResult& result) {
    if (state.inFlight == LineCommand::None || !state.awaitedSince) {
        return;
    }
    const bool changed = reading.answered && !reading.connectionTime.empty() &&
                         reading.connected == (state.inFlight == LineCommand::Connect);
    if (changed || !reading.answered || reading.tick - *state.awaitedSince >= kLineChangeWaitMs) {
        state.inFlight = LineCommand::None;
        state.awaitedSince.reset();
        result.commandSettled = true;
    }
}

}  // namespace

LineState ResumeLine(const KeptLine& kept) {
    LineState state;
    state.kept = kept;
    return state;
}

LineResult NoteReading(LineState& state, const LineReading& reading, const LineLimits& limits,
                       bool commandMayOwn) {
    LineResult result;
    const bool withinGap = FollowClock(state, reading, limits);
    state.kept.lastAt = reading.at;
    state.kept.lastTick = reading.tick;
    state.kept.lastBoot = reading.boot;
    NoteAnswer(state, reading, result);
    state.shownUp = reading.answered && reading.connected;
    if (!reading.answered || reading.connectionTime.empty()) {
        state.seenThroughout = false;  // the line is out of sight
        if (commandMayOwn) {
            SettleFlight(state, reading, result);
        }
        return result;
    }
    const bool seen = state.seenThroughout && withinGap;
    const LineCommand claimer = ClaimingCommand(state, reading, limits, commandMayOwn);
    const bool claimed = claimer != LineCommand::None;
    const bool changed = state.known && state.up != reading.connected;
    if (reading.connected) {
        NoteUp(state, reading, limits, result);
    } else {
        NoteDown(state, reading, claimer, seen, limits, result);
    }
    if (changed && !claimed) {
        result.news = reading.connected ? LineResult::News::WentUp : LineResult::News::WentDown;
        result.lastRunningTime = state.runningTime;
        if (reading.connected && state.wentDownAt) {
            // A clock set back meanwhile gives no negative length.
            result.downSeconds = std::max<std::int64_t>(0, reading.at.SecondsSince(*state.wentDownAt));
        }
    }
    if (reading.connected) {
        // A line back by itself ends the redial; only a try's own change is its success.
        result.redialled = state.redialing && claimed && state.tries > 0;
        state.redialing = false;
        state.wentDownAt.reset();
        state.runningTime = reading.connectionTime;
    }
    state.known = true;
    state.up = reading.connected;
    state.seenThroughout = true;
    if (commandMayOwn) {
        SettleFlight(state, reading, result);
    }
    return result;
}

PlannedCommand PlanCommand(LineState& state, LineCommand command, const DateTime& at, std::uint64_t tick,
                           std::uint64_t boot, bool redialTry) {
    const bool waitPassed = state.inFlight != LineCommand::None && state.awaitedSince &&
                            tick - *state.awaitedSince >= kLineChangeWaitMs;
    if (waitPassed) {
        // No reading came to settle it (a modal window held the polls): it is over.
        state.inFlight = LineCommand::None;
        state.awaitedSince.reset();
    }
    const bool flying = state.inFlight != LineCommand::None;
    if (redialTry && flying) {
        return {};
    }
    if (flying && IsHangUp(state.inFlight) == IsHangUp(command)) {
        return {CommandPlan::Join, state.flight, false};
    }
    if (flying) {
        state.replaced = state.kept.command;
        state.replacedFlight = state.flight;
    }
    state.inFlight = command;
    ++state.flight;
    state.awaitedSince.reset();
    state.kept.command = SentCommand{command, at, tick, boot, true, false};
    if (!redialTry) {
        state.redialing = false;  // the user's command, or the automatic hang-up, ends a redial
    }
    return {CommandPlan::Send, state.flight, flying || waitPassed};
}

bool NoteCommandDone(LineState& state, std::uint64_t flight, bool sent, bool answered, std::uint64_t tick,
                     bool alreadyAsAsked) {
    if (flight == state.replacedFlight && flight != state.flight) {
        state.replaced.sent = sent;
        state.replaced.ownsChange = sent && !alreadyAsAsked;
        return false;
    }
    if (flight != state.flight || state.inFlight == LineCommand::None) {
        return false;  // over meanwhile
    }
    state.kept.command.sent = sent;
    if (alreadyAsAsked) {
        state.kept.command.ownsChange =
            false;  // the line was as asked before it was sent: it changes nothing
    }
    if (sent && answered) {
        state.awaitedSince = tick;
        return false;
    }
    state.kept.command.ownsChange = sent;
    state.inFlight = LineCommand::None;
    state.awaitedSince.reset();
    return true;
}

bool RedialHeld(const LineState& state, const LineReading& reading) {
    const SentCommand& sent = state.kept.command;
    return IsHangUp(sent.command) &&
           ElapsedMs(reading.tick, reading.at, reading.boot, sent.tick, sent.at, sent.boot) < kRedialHoldMs;
}

RedialStep NextRedialStep(LineState& state, std::uint64_t tick, std::uint64_t verdictMs) {
    if (!state.redialing || tick < state.redialDue) {
        return RedialStep::None;
    }
    if (state.tries == static_cast<int>(kRedialWaitsMs.size())) {
        state.redialing = false;
        return RedialStep::GiveUp;
    }
    ++state.tries;
    const bool last = state.tries == static_cast<int>(kRedialWaitsMs.size());
    state.redialDue = tick + (last ? verdictMs : kRedialWaitsMs[static_cast<std::size_t>(state.tries)]);
    return RedialStep::Try;
}

std::uint64_t RedialWaitMs(const LineState& state, std::uint64_t tick) {
    return state.redialing && tick < state.redialDue ? state.redialDue - tick : 0;
}

void StopRedial(LineState& state) {
    state.redialing = false;
}

}  // namespace velmo
