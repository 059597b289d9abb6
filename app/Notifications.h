// Balloon notifications: which status readings and log captures the
// notification area announces, and with which text. Pure rules over a small
// remembered state; the main window shows what they return and gates each
// kind with its switch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/LineWatch.h"
#include "app/TrayHost.h"
#include "base/DateTime.h"
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

// What the rules remember between captures.
struct NotificationState {
    bool logFileFailing = false;  // the last capture could not write the log file

    friend bool operator==(const NotificationState&, const NotificationState&) = default;
};

// The balloon of what the line's owner made of a reading: the router's
// silence and its end, a change of the line no command of the tool asked for
// ("回線が切断されました（接続時間 …）" with the last running time, "回線が接続され
// ました" with how long it was down), a redial's success. When the router's
// return and a line change come in one reading, one balloon says both.
std::optional<Balloon> LineBalloon(const LineResult& result);

// A length of time as the balloons write it: hours, minutes and seconds,
// "0:03:12".
std::string DurationText(std::uint64_t milliseconds);

// A log capture into `fileName` (the name as the user gave it). New
// "Unrecognized access" entries give one balloon with their count and the
// newest entry; a log file that could not be opened, read or written gives
// one balloon at the first failed capture of a run, none for the next ones,
// and the run ends with the next capture that writes the file.
std::optional<Balloon> NoteCapture(NotificationState& state, const CaptureResult& result,
                                   const std::string& fileName);

}  // namespace velmo
