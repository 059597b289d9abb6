#include "app/Notifications.h"

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
        case LogFileError::PartlyWritten:
        case LogFileError::NotCut:
            return IDS_BALLOON_LOG_NOT_WRITTEN;
        default:
            return IDS_BALLOON_LOG_NOT_OPENED;
    }
}

}  // namespace

std::optional<Balloon> NoteStatusReading(NotificationState& state, const LineReading& reading,
                                         LineCommand command) {
    if (!reading.answered) {
        const bool stopped = state.answering;
        state.answering = false;
        if (stopped) {
            return Balloon{BalloonKind::Line, BalloonIcon::Warning, TableString(IDS_BALLOON_NO_ANSWER)};
        }
        return std::nullopt;
    }
    state.answering = true;
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
        return Balloon{BalloonKind::Line, BalloonIcon::Info, TableString(IDS_BALLOON_LINE_UP)};
    }
    return Balloon{BalloonKind::Line, BalloonIcon::Warning, FillIn(IDS_BALLOON_LINE_DOWN, "%s", lastTime)};
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
