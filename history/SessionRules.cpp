#include "history/SessionRules.h"

#include "history/RunningTime.h"

namespace velmo {

namespace {

// Differences smaller than this between the local clock and the tick count
// are the stamps' rounding, not a clock that moved.
constexpr std::int64_t kClockJitterSeconds = 2;

// Follows a local clock that was moved since the previous reading, and says
// whether the two readings lay within the gap.
bool FollowClock(SessionState& state, const SessionReading& reading, const SessionLimits& limits) {
    if (!state.lastAt) {
        return false;
    }
    const std::int64_t wall = reading.at.SecondsSince(*state.lastAt);
    const std::int64_t real = static_cast<std::uint32_t>(reading.tick - state.lastTick) / 1000;
    const std::int64_t moved = wall - real;
    if ((moved > kClockJitterSeconds || moved < -kClockJitterSeconds) && state.open) {
        state.open->start = state.open->start.PlusSeconds(moved);
        state.open->lastSeenUp = state.open->lastSeenUp.PlusSeconds(moved);
    }
    return real <= limits.maxGapSeconds;
}

void NoteUp(SessionState& state, const SessionReading& reading, const SessionLimits& limits,
            SessionEvents& events) {
    const std::int64_t running = RunningTimeSeconds(reading.connectionTime);
    if (state.open && running >= 0) {
        const DateTime start = reading.at.PlusSeconds(-running);
        if (start.SecondsSince(state.open->start) > limits.startToleranceSeconds) {
            events.ended.push_back(EndSession(*state.open, EndCause::Unseen));
            state.open.reset();
        }
    }
    if (state.open) {
        state.open->lastSeenUp = reading.at;
    } else {
        const DateTime start = running >= 0 ? reading.at.PlusSeconds(-running) : reading.at;
        state.open = OpenSession{start, reading.at};
    }
    events.openChanged = true;
}

void NoteDown(SessionState& state, bool seen, LineCommand command, SessionEvents& events) {
    if (!state.open) {
        return;
    }
    const Session ended = EndSession(*state.open, DownCause(command, seen));
    state.open.reset();
    events.ended.push_back(ended);
    events.openChanged = true;
    events.wentDown = ended;
}

}  // namespace

Session EndSession(const OpenSession& open, EndCause cause) {
    if (open.lastSeenUp < open.start) {
        return {open.lastSeenUp, open.lastSeenUp, EndCause::Unseen};
    }
    return {open.start, open.lastSeenUp, cause};
}

SessionState ResumeSessions(const std::optional<OpenSession>& kept) {
    SessionState state;
    state.open = kept;
    return state;
}

SessionEvents NoteReading(SessionState& state, const SessionReading& reading, LineCommand command,
                          const SessionLimits& limits) {
    SessionEvents events;
    const bool withinGap = FollowClock(state, reading, limits);
    state.lastAt = reading.at;
    state.lastTick = reading.tick;
    if (!reading.answered || reading.connectionTime.empty()) {
        state.seenThroughout = false;  // the line is out of sight
        return events;
    }
    const bool seen = state.seenThroughout && withinGap;
    if (reading.connected) {
        NoteUp(state, reading, limits, events);
    } else {
        NoteDown(state, seen, command, events);
    }
    state.seenThroughout = true;
    return events;
}

}  // namespace velmo
