#include "history/ConnectionRecord.h"

#include <algorithm>

#include "history/HistoryFile.h"

namespace velmo {

namespace {

constexpr std::int64_t kDaySeconds = 86400;

bool SameExceptReading(KeptLine a, KeptLine b) {
    a.lastAt = b.lastAt;
    a.lastTick = b.lastTick;
    a.lastBoot = b.lastBoot;
    return a == b;
}

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
    // While rows are held nowhere but here the kept line stays as it was, so
    // the session they end is not forgotten with them. Every failure is
    // reported; each file is tried again at the next call.
    std::string failed;
    if ((!pending_.empty() || pendingFileHolds_)) {
        if (KeepPendingRows(pendingPath_, pending_, failed)) {
            pendingFileHolds_ = !pending_.empty();
        } else if (!pending_.empty()) {
            written = false;
            reason = reason.empty() ? failed : reason;
            return written;
        }
    }
    if (keptWritten_ != kept) {
        // Every reading moves the kept line's stamp; only a change of the
        // session or of the command is worth forcing to the disk.
        const bool flush = !keptWritten_ || !SameExceptReading(*keptWritten_, kept);
        if (KeepLine(openPath_, kept, failed, flush)) {
            keptWritten_ = kept;
        } else {
            written = false;
            reason = reason.empty() ? failed : reason;
        }
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
