// The connection record as the main window keeps it: each status reading's
// delivery notes it (on the window's thread), and the 接続履歴 window shows it.
#include <algorithm>

#include "app/CRouterStatusDlg.h"
#include "base/SjisText.h"
#include "history/HistoryFile.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

namespace {

// Seconds of a timer setting in milliseconds, rounded up.
std::int64_t Seconds(std::int32_t milliseconds) {
    return (static_cast<std::int64_t>(milliseconds) + 999) / 1000;
}

// Readings come at the longest poll interval at most; the stamps jitter by a
// second or two on either side.
SessionLimits Limits(const ToolSettings& settings) {
    const std::int64_t poll =
        std::max({Seconds(settings.UpdateStatusConnectTime), Seconds(settings.UpdateStatusDisconnectTime),
                  Seconds(settings.followUpPollTime)});
    return {poll + 5, Seconds(settings.UpdateStatusConnectTime) + 2};
}

}  // namespace

SessionEvents CRouterStatusDlg::NoteRecord(const StatusReading& reading, LineCommand command) {
    const SessionReading noted{clock_.Now(), clock_.TickCount(), reading.fetched, reading.status.connected,
                               reading.status.connectionTime};
    const ConnectionRecord::Written written = record_.Note(noted, command, Limits(settings));
    if (written.failureStarts) {
        std::string text = TableString(IDS_HISTORY_NOT_WRITTEN);
        const std::size_t at = SjisFind(text, "%s");
        if (at != npos) {
            text.replace(at, 2, kHistoryFileName);
        }
        const std::string reason = SjisTrim(written.reason);
        Announce(
            Balloon{BalloonKind::LogFile, BalloonIcon::Error, reason.empty() ? text : text + "\n" + reason});
    }
    return written.events;
}

void CRouterStatusDlg::OnShowHistory() {
    host_.ShowHistory(record_.View(clock_.Now()), record_.RecordPath());
}

}  // namespace velmo
