// The rules of the record: status readings in, ended sessions out. Pure; the
// window delivers each reading and writes what comes back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "history/LineChange.h"
#include "history/Session.h"

namespace velmo {

// One status reading as the record sees it.
struct SessionReading {
    DateTime at;                 // the local time of the reading
    std::uint32_t tick = 0;      // the tick count (milliseconds, runs on in sleep) at the reading
    bool answered = false;       // the status page arrived
    bool connected = false;      // the reading's verdict on the line
    std::string connectionTime;  // the connection-time cell; empty when the page has none
};

// How far apart readings may lie and still count as watching the line.
struct SessionLimits {
    std::int64_t maxGapSeconds = 15;  // the longest poll interval plus slack
    // A later start further than this after the open session's is a new
    // session (the poll interval plus the stamp's jitter).
    std::int64_t startToleranceSeconds = 5;
};

// What the rules remember between readings.
struct SessionState {
    std::optional<OpenSession> open;
    // Every reading since the last one that showed the line answered and
    // came within the gap: a change now was seen as it happened.
    bool seenThroughout = false;
    std::optional<DateTime> lastAt;  // the moment and tick count of the previous reading
    std::uint32_t lastTick = 0;

    friend bool operator==(const SessionState&, const SessionState&) = default;
};

// What one reading changed.
struct SessionEvents {
    std::vector<Session> ended;  // sessions that ended, oldest first
    bool openChanged = false;    // the open session began, moved on or ended
    // The line was found down after being up: why, and the moment it went
    // down (the session's end). The same change the line balloon is about.
    std::optional<Session> wentDown;
};

// The state after a start of the tool: the open session as it was kept, not
// watched since.
SessionState ResumeSessions(const std::optional<OpenSession>& kept);

// Notes `reading`. A line found up continues the open session or begins one
// (start = the reading's moment minus the running time, or the first moment
// seen up when the running time cannot be read); a start later than the open
// session's by more than the tolerance ends that one unseen. A line found
// down ends the open session: the hang-up of `command`, a drop when every
// reading since it was last seen up answered within the gap, else unseen.
// A local clock moved between two readings (the tick count says how much
// time really passed) moves the open session with it.
SessionEvents NoteReading(SessionState& state, const SessionReading& reading, LineCommand command,
                          const SessionLimits& limits);

}  // namespace velmo
