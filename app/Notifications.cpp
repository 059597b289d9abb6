#include "app/Notifications.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "base/SjisText.h"
#include "history/RunningTime.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

namespace {

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

Balloon LineText(int id, BalloonIcon icon, const std::string& value = "") {
    return Balloon{BalloonKind::Line, icon, value.empty() ? TableString(id) : FilledString(id, {value})};
}

std::optional<Balloon> LineChangeBalloon(const LineResult& result) {
    if (result.redialled) {
        return LineText(IDS_BALLOON_REDIALLED, BalloonIcon::Info);
    }
    switch (result.news) {
        case LineResult::News::WentDown:
            return Balloon{BalloonKind::Line, BalloonIcon::Warning,
                           FilledString(IDS_BALLOON_LINE_DOWN, {ShownRunningTime(result.lastRunningTime)})};
        case LineResult::News::WentUp:
            if (result.downSeconds) {
                return LineText(IDS_BALLOON_LINE_UP_AFTER, BalloonIcon::Info,
                                DurationText(static_cast<std::uint64_t>(*result.downSeconds) * 1000));
            }
            return LineText(IDS_BALLOON_LINE_UP, BalloonIcon::Info);
        default:
            return std::nullopt;
    }
}

}  // namespace

std::string DurationText(std::uint64_t milliseconds) {
    const std::uint64_t seconds = milliseconds / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%llu:%02u:%02u", static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
    return text;
}

std::optional<Balloon> LineBalloon(const LineResult& result) {
    if (result.silenceStarts) {
        return LineText(IDS_BALLOON_NO_ANSWER, BalloonIcon::Warning);
    }
    std::optional<Balloon> line = LineChangeBalloon(result);
    if (!result.silenceEndedMs) {
        return line;
    }
    const Balloon answer =
        LineText(IDS_BALLOON_ANSWERS_AGAIN, BalloonIcon::Info, DurationText(*result.silenceEndedMs));
    if (line) {
        line->text = answer.text + "\n" + line->text;
        return line;
    }
    return answer;
}

std::optional<Balloon> NoteCapture(NotificationState& state, const CaptureResult& result,
                                   const std::string& fileName) {
    if (result.error != LogFileError::None) {
        const bool runStarts = !state.logFileFailing;
        state.logFileFailing = true;
        if (!runStarts) {
            return std::nullopt;
        }
        std::string text = FilledString(LogFileTextId(result.error), {fileName});
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
                   FilledString(IDS_BALLOON_ACCESS, {std::to_string(result.accessCount)}) + "\n" +
                       result.newestAccessEntry};
}

}  // namespace velmo
