// The one owner of the WAN line: every status reading and every line command
// of the tool goes in, and one result comes out that the balloons, the
// connection record, the redial, the answers of forwarded commands and the
// tray picture all read. Pure: the window does the reading, the writing and
// the showing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "history/KeptLine.h"
#include "history/Session.h"

namespace velmo {

// One status reading.
struct LineReading {
    DateTime at;                  // the local time when the status page arrived
    std::uint64_t tick = 0;       // the tick then
    std::uint64_t askedTick = 0;  // the tick when its job began reading the router
    bool answered = false;        // the status page arrived
    bool connected = false;       // the page's verdict on the line
    std::string connectionTime;   // the connection-time cell; empty when the page has none
    std::uint64_t boot = 0;       // the computer's start the ticks count from (Clock::BootId)
};

struct LineLimits {
    std::int64_t pollMs = 3000;         // the status poll while the line is up
    std::int64_t maxGapMs = 15000;      // readings further apart did not watch the line between them
    std::uint64_t followUpMs = 120000;  // a command's change comes within this, or the command failed
    bool autoRedial = false;
};

// The waits before each redial try: 30 s after the drop, then 1, 2, 4 and 8
// minutes after the try before, while the line stays down.
inline constexpr std::array<std::uint64_t, 5> kRedialWaitsMs = {30000, 60000, 120000, 240000, 480000};
// After the tool's own hang-up a drop is not redialled for this long.
inline constexpr std::uint64_t kRedialHoldMs = 10 * 60 * 1000;
// How many readings in a row the router must miss before its silence is news.
inline constexpr int kMissedReadingsBeforeAlert = 3;
// A running time that puts the session's start before this cannot be true.
inline constexpr int kEarliestStartYear = 2000;

// What the owner knows. `kept` outlives the tool's run (the record keeps it).
struct LineState {
    KeptLine kept;
    bool seenThroughout = false;  // every reading since the line was last seen answered, within the gap
    bool known = false;           // some reading has shown the line
    bool up = false;              // the line at the last reading that showed it
    bool shownUp = false;         // the latest reading answered and showed the line up
    std::string runningTime;      // the last running time read while up
    std::optional<DateTime> wentDownAt;  // when the line went down, as the record has it
    // The router's silence.
    bool answering = false;
    int missed = 0;
    std::uint64_t silentSince = 0;
    bool silenceAnnounced = false;
    // The redial after a drop.
    bool redialing = false;
    int tries = 0;
    std::uint64_t redialDue = 0;
    // The one line command in flight, its number, and since when its change is awaited.
    LineCommand inFlight = LineCommand::None;
    std::uint64_t flight = 0;
    std::optional<std::uint64_t> awaitedSince;
    // The command an opposite one replaced while it was in flight: its job
    // runs before the new one's and may still have sent it, so a change it
    // asked for is still its own.
    SentCommand replaced;
    std::uint64_t replacedFlight = 0;
};

// What one reading or command changed.
struct LineResult {
    std::vector<Session> ended;  // rows for the record, oldest first
    enum class News {
        None,
        WentUp,
        WentDown
    } news = News::None;                          // a change no command of the tool asked for
    std::string lastRunningTime;                  // WentDown: the last running time read while up
    std::optional<std::int64_t> downSeconds;      // WentUp: how long the line was down, when known
    bool silenceStarts = false;                   // the router missed its third reading in a row
    std::optional<std::uint64_t> silenceEndedMs;  // it answers again after an announced silence this long
    bool redialled = false;                       // a redial try brought the line back
    bool commandSettled = false;                  // the command in flight is over: its waiters hear the line
};

// The state at a start of the tool, from what the previous run kept.
LineState ResumeLine(const KeptLine& kept);

// Notes a reading. `commandMayOwn` is false for the refresh a command's job
// made before sending it: that reading shows the line the command starts from.
LineResult NoteReading(LineState& state, const LineReading& reading, const LineLimits& limits,
                       bool commandMayOwn = true);

enum class CommandPlan {
    Send,  // written down in `kept`: write it, then send it
    Join,  // the same direction is in flight: wait for its change, send nothing
    Skip,  // a redial try while a command is in flight
};
struct PlannedCommand {
    CommandPlan plan = CommandPlan::Skip;
    std::uint64_t flight = 0;  // the number its job reports back with
    bool replaced = false;     // a command was in flight and is over: its waiters hear the line now
};
// A line command of the tool (`redialTry`: a Connect of the redial). A
// command whose change has not come within kLineChangeWaitMs of its job's
// end is over: the next one is sent, and its waiters hear the line.
PlannedCommand PlanCommand(LineState& state, LineCommand command, const DateTime& at, std::uint64_t tick,
                           std::uint64_t boot, bool redialTry = false);

// The command's job came back at `tick` (a job of a replaced command too:
// whether it was sent decides whether its change is its own): `sent` false when it sent nothing
// (then it owns no change), `answered` false when the router did not answer
// it (it may still have arrived), `alreadyAsAsked` when the job's reading
// before it showed the line as asked (it owns no change either). True when
// that settles it.
bool NoteCommandDone(LineState& state, std::uint64_t flight, bool sent, bool answered, std::uint64_t tick,
                     bool alreadyAsAsked = false);

// True while a hang-up of the tool holds redials.
bool RedialHeld(const LineState& state, const LineReading& reading);

enum class RedialStep { None, Try, GiveUp };
// What is due at `tick`; after the last try the verdict comes `verdictMs` later.
RedialStep NextRedialStep(LineState& state, std::uint64_t tick, std::uint64_t verdictMs);
// Milliseconds until the next redial step (0 when none runs or it is due).
std::uint64_t RedialWaitMs(const LineState& state, std::uint64_t tick);
// The redial stops (AutoRedial switched off).
void StopRedial(LineState& state);

}  // namespace velmo
