#include "app/Notifications.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "base/SjisText.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

namespace {

// The table's text `id` with its one placeholder ("%d" or "%s") replaced by
// `value`. The placeholder is searched on character boundaries, so a trail
// byte never starts a match.
std::string FillIn(int id, std::string_view placeholder, const std::string& value) {
    std::string text = TableString(id);
    const std::size_t at = SjisFind(text, placeholder);
    if (at != npos) {
        text.replace(at, placeholder.size(), value);
    }
    return text;
}

int LogFileTextId(LogFileError error) {
    switch (error) {
        case LogFileError::NotRead:
            return IDS_BALLOON_LOG_NOT_READ;
        case LogFileError::NotWritten:
            return IDS_BALLOON_LOG_NOT_WRITTEN;
        default:
            return IDS_BALLOON_LOG_NOT_OPENED;
    }
}

// Whether the router answered: a silence is counted from a reading that
// answered, announced at its third missed reading, and its end announced with
// its length.
std::optional<Balloon> NoteRouterAnswer(NotificationState& state, const LineReading& reading) {
    if (!reading.answered) {
        if (state.answering || state.missedReadings > 0) {
            if (state.missedReadings == 0) {
                state.silentSince = reading.tick;
            }
            state.missedReadings = std::min(state.missedReadings + 1, kMissedReadingsBeforeAlert);
        }
        state.answering = false;
        if (state.missedReadings < kMissedReadingsBeforeAlert || state.silenceAnnounced) {
            return std::nullopt;
        }
        state.silenceAnnounced = true;
        return Balloon{BalloonKind::Line, BalloonIcon::Warning, TableString(IDS_BALLOON_NO_ANSWER)};
    }
    const bool announced = state.silenceAnnounced;
    state.answering = true;
    state.missedReadings = 0;
    state.silenceAnnounced = false;
    if (!announced) {
        return std::nullopt;
    }
    return Balloon{BalloonKind::Line, BalloonIcon::Info,
                   FillIn(IDS_BALLOON_ANSWERS_AGAIN, "%s", DurationText(reading.tick - state.silentSince))};
}

// The line's change from up to down or back, in a reading the router answered.
std::optional<Balloon> NoteLineState(NotificationState& state, const LineReading& reading,
                                     LineCommand command) {
    if (reading.connectionTime.empty()) {
        return std::nullopt;  // a page without the connection-time cell says nothing about the line
    }
    const bool changed = state.lineKnown && state.connected != reading.connected;
    const std::string lastTime = state.connectionTime;  // what the window showed before a drop
    if (reading.connected) {
        state.connectionTime = reading.connectionTime;
    }
    state.lineKnown = true;
    state.connected = reading.connected;
    // The record takes the same classification: a change a command asked for
    // is its own (切断, 自動切断), any other is news (回線断, 不明).
    if (!changed || IsCommandsOwnChange(command, reading.connected)) {
        return std::nullopt;
    }
    if (reading.connected) {
        if (!reading.wentDownAt) {
            return Balloon{BalloonKind::Line, BalloonIcon::Info, TableString(IDS_BALLOON_LINE_UP)};
        }
        // A clock set back meanwhile gives no negative length.
        const std::int64_t down = std::max<std::int64_t>(0, reading.at.SecondsSince(*reading.wentDownAt));
        return Balloon{
            BalloonKind::Line, BalloonIcon::Info,
            FillIn(IDS_BALLOON_LINE_UP_AFTER, "%s",
                   DurationText(static_cast<std::uint32_t>(std::min<std::int64_t>(down, 4000000)) * 1000))};
    }
    return Balloon{BalloonKind::Line, BalloonIcon::Warning, FillIn(IDS_BALLOON_LINE_DOWN, "%s", lastTime)};
}

}  // namespace

std::string DurationText(std::uint32_t milliseconds) {
    const std::uint32_t seconds = milliseconds / 1000;
    char text[24];
    std::snprintf(text, sizeof text, "%u:%02u:%02u", static_cast<unsigned>(seconds / 3600),
                  static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
    return text;
}

// The router's answer first; when its return and a line change come in one
// reading, one balloon says both, with the line's picture.
std::optional<Balloon> NoteStatusReading(NotificationState& state, const LineReading& reading,
                                         LineCommand command) {
    std::optional<Balloon> answer = NoteRouterAnswer(state, reading);
    if (!reading.answered) {
        return answer;
    }
    std::optional<Balloon> line = NoteLineState(state, reading, command);
    if (answer && line) {
        line->text = answer->text + "\n" + line->text;
    }
    return line ? line : answer;
}

std::optional<Balloon> NoteCapture(NotificationState& state, const CaptureResult& result,
                                   const std::string& fileName) {
    if (result.error != LogFileError::None) {
        const bool runStarts = !state.logFileFailing;
        state.logFileFailing = true;
        if (!runStarts) {
            return std::nullopt;
        }
        std::string text = FillIn(LogFileTextId(result.error), "%s", fileName);
        const std::string reason = SjisTrim(result.errorText);
        if (!reason.empty()) {
            text += "\n" + reason;
        }
        return Balloon{BalloonKind::LogFile, BalloonIcon::Error, std::move(text)};
    }
    state.logFileFailing = false;
    if (result.accessCount == 0) {
        return std::nullopt;
    }
    return Balloon{BalloonKind::Access, BalloonIcon::Warning,
                   FillIn(IDS_BALLOON_ACCESS, "%d", std::to_string(result.accessCount)) + "\n" +
                       result.newestAccessEntry};
}

}  // namespace velmo
