// The connection record as the main window keeps it: what the line's owner
// ended and kept goes into the record's files (on the window's thread), and
// the 接続履歴 window shows it.
#include <algorithm>

#include "app/CRouterStatusDlg.h"
#include "base/SjisText.h"
#include "history/HistoryFile.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

namespace {

// Milliseconds of a timer setting.
std::int64_t Ms(std::int32_t milliseconds) {
    return std::max<std::int64_t>(0, milliseconds);
}

}  // namespace

// Readings come at the longest poll interval at most, measured from one
// fetch to the start of the next reading's job; 5 s more cover a job that
// waited behind another one.
LineLimits CRouterStatusDlg::Limits() const {
    LineLimits limits;
    limits.pollMs = Ms(settings.UpdateStatusConnectTime);
    limits.maxGapMs = std::max({Ms(settings.UpdateStatusConnectTime), Ms(settings.UpdateStatusDisconnectTime),
                                Ms(settings.followUpPollTime)}) +
                      5000;
    limits.followUpMs = static_cast<std::uint64_t>(Ms(settings.followUpTime));
    limits.autoRedial = settings.AutoRedial;
    return limits;
}

void CRouterStatusDlg::WriteRecord(const std::vector<Session>& ended) {
    std::string reason;
    const bool written = record_.Write(ended, line_.kept, reason);
    const bool wasFailing = !recordFailure_.empty();
    if (written) {
        recordFailure_.clear();
    } else {
        const std::string trimmed = SjisTrim(reason);
        recordFailure_ = trimmed.empty() ? std::string(" ") : trimmed;  // never empty while rows wait
    }
    if (wasFailing != !recordFailure_.empty()) {
        if (!wasFailing) {
            AnnounceRecordFailure();
        }
        UpdateTrayIcon();  // the tooltip says whether the record can be written
    }
}

void CRouterStatusDlg::AnnounceRecordFailure() {
    if (recordFailure_.empty()) {
        return;
    }
    const std::string text = FilledString(IDS_HISTORY_NOT_WRITTEN, {kHistoryFileName});
    const std::string reason = SjisTrim(recordFailure_);
    Announce(Balloon{BalloonKind::LogFile, BalloonIcon::Error, reason.empty() ? text : text + "\n" + reason});
}

void CRouterStatusDlg::OnShowHistory() {
    host_.ShowHistory(record_.View(clock_.Now(), line_.kept.open), record_.RecordPath());
}

}  // namespace velmo
