// Balloon notifications: which status readings and log captures the
// notification area announces, and with which text. Pure rules over a small
// remembered state; the main window shows what they return and gates each
// kind with its switch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/TrayHost.h"
#include "base/DateTime.h"
#include "history/LineChange.h"
#include "routerlog/CaptureResult.h"

namespace velmo {

// What a balloon is about; each kind has its own switch (the log file's
// balloon has none: it reports lost data).
enum class BalloonKind { Access, Line, LogFile };

struct Balloon {
    BalloonKind kind = BalloonKind::Line;
    BalloonIcon icon = BalloonIcon::Info;
    std::string text;  // CP932, lines separated by "\n"

    friend bool operator==(const Balloon&, const Balloon&) = default;
};

// One status reading as the balloons see it.
struct LineReading {
    bool answered = false;       // the status page arrived
    bool connected = false;      // the reading's verdict on the line
    std::string connectionTime;  // the connection-time cell as read; empty when the page has none
    std::uint32_t tick = 0;      // the clock's tick count when the reading was shown
    // When the line went down, as the connection record tells it (the last
    // moment it was seen up), and the local time of this reading: a line
    // found up again says how long it was down.
    std::optional<DateTime> wentDownAt = std::nullopt;
    DateTime at = DateTime();
};

// What the rules remember between readings and captures.
struct NotificationState {
    bool answering = false;         // the router answered the last reading
    bool lineKnown = false;         // some reading has shown the line's state
    bool connected = false;         // the line at the last reading that showed it
    std::string connectionTime;     // the last running time read while the line was up
    bool logFileFailing = false;    // the last capture could not write the log file
    int missedReadings = 0;         // readings in a row the router has not answered since it last did
    std::uint32_t silentSince = 0;  // tick count of the first of them
    bool silenceAnnounced = false;  // "ルーターに接続できません" was shown for this silence

    friend bool operator==(const NotificationState&, const NotificationState&) = default;
};

// A status reading. The line's change from up to down or back gives a
// balloon, unless it is the change `command` asked for: then it is the
// command's own and the state only follows it (a drop right after a 接続 is
// still news). The first reading that shows the line sets the state without a
// balloon. A router that stops answering is announced once, when it stops
// (never at the first reading), and leaves the line's state as it was, so its
// answers afterwards are compared with the line as it stood before.
std::optional<Balloon> NoteStatusReading(NotificationState& state, const LineReading& reading,
                                         LineCommand command);

// How many readings in a row the router must miss before it is announced.
inline constexpr int kMissedReadingsBeforeAlert = 3;

// A length of time as the balloons write it: hours, minutes and seconds,
// "0:03:12".
std::string DurationText(std::uint32_t milliseconds);

// A log capture into `fileName` (the name as the user gave it). New
// "Unrecognized access" entries give one balloon with their count and the
// newest entry; a log file that could not be opened, read or written gives
// one balloon at the first failed capture of a run, none for the next ones,
// and the run ends with the next capture that writes the file.
std::optional<Balloon> NoteCapture(NotificationState& state, const CaptureResult& result,
                                   const std::string& fileName);

}  // namespace velmo
