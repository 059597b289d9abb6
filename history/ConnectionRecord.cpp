#include "history/ConnectionRecord.h"

#include <algorithm>

#include "history/HistoryFile.h"

namespace velmo {

namespace {

constexpr std::int64_t kDaySeconds = 86400;

}  // namespace

ConnectionRecord::ConnectionRecord(const std::string& folder)
    : recordPath_(folder + kHistoryFileName),
      openPath_(folder + kOpenSessionFileName),
      pendingPath_(folder + kPendingRowsFileName) {}

KeptLine ConnectionRecord::Resume() {
    KeptLine kept = LoadKeptLine(openPath_);
    std::vector<Session> waiting = LoadPendingRows(pendingPath_);
    pendingFileHolds_ = !waiting.empty();
    std::optional<DateTime> since = kept.open ? std::optional(kept.open->lastSeenUp) : std::nullopt;
    for (const Session& row : waiting) {
        since = since ? std::min(*since, row.end) : row.end;
    }
    const std::vector<Session> recent =
        since ? ReadRecentSessions(recordPath_, *since) : std::vector<Session>{};
    pending_.clear();
    for (const Session& row : waiting) {
        if (std::find(recent.begin(), recent.end(), row) == recent.end()) {
            pending_.push_back(row);
        }
    }
    kept.open = StillOpen(StillOpen(kept.open, recent), pending_);
    keptWritten_.reset();
    return kept;
}

bool ConnectionRecord::Write(const std::vector<Session>& ended, const KeptLine& kept, std::string& reason) {
    pending_.insert(pending_.end(), ended.begin(), ended.end());
    bool written = true;
    if (!pending_.empty()) {
        if (AppendSessions(recordPath_, pending_, reason)) {
            pending_.clear();
        } else {
            written = false;
        }
    }
    // The waiting rows' file follows the record before the kept line moves
    // on: a crash between any two writes leaves rows the next start can tell.
    // Either file failing is tried again at the next call; the record's own
    // failure is the one reported (the rows stay in memory meanwhile).
    std::string retried;
    if ((!pending_.empty() || pendingFileHolds_) && KeepPendingRows(pendingPath_, pending_, retried)) {
        pendingFileHolds_ = !pending_.empty();
    }
    if (keptWritten_ != kept && KeepLine(openPath_, kept, retried)) {
        keptWritten_ = kept;
    }
    return written;
}

HistoryView ConnectionRecord::View(const DateTime& now, const std::optional<OpenSession>& open) const {
    // A day more than the bars show, so the first bar starts with what came before it.
    HistoryView view{ReadRecentSessions(recordPath_, now.PlusSeconds(-(kHistoryDays + 1) * kDaySeconds)),
                     open, now};
    view.rows.insert(view.rows.end(), pending_.begin(), pending_.end());
    return view;
}

}  // namespace velmo
