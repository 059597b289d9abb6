#include "history/ConnectionRecord.h"

#include "history/HistoryFile.h"

namespace velmo {

namespace {

constexpr std::int64_t kDaySeconds = 86400;

}  // namespace

ConnectionRecord::ConnectionRecord(const std::string& folder)
    : recordPath_(folder + kHistoryFileName), openPath_(folder + kOpenSessionFileName) {}

void ConnectionRecord::Resume() {
    const std::optional<OpenSession> kept = LoadOpenSession(openPath_);
    const std::vector<Session> recent =
        kept ? ReadRecentSessions(recordPath_, kept->lastSeenUp) : std::vector<Session>{};
    state_ = ResumeSessions(StillOpen(kept, recent));
}

ConnectionRecord::Written ConnectionRecord::Note(const SessionReading& reading, LineCommand command,
                                                 const SessionLimits& limits) {
    Written written;
    written.events = NoteReading(state_, reading, command, limits);
    unwritten_.insert(unwritten_.end(), written.events.ended.begin(), written.events.ended.end());
    openUnwritten_ = openUnwritten_ || written.events.openChanged;
    if (unwritten_.empty() && !openUnwritten_) {
        return written;
    }
    if (Write(written.reason)) {
        failing_ = false;
    } else {
        written.failureStarts = !failing_;
        failing_ = true;
    }
    return written;
}

bool ConnectionRecord::Write(std::string& reason) {
    if (!unwritten_.empty()) {
        if (!AppendSessions(recordPath_, unwritten_, reason)) {
            return false;
        }
        unwritten_.clear();
    }
    if (openUnwritten_) {
        if (!KeepOpenSession(openPath_, state_.open, reason)) {
            return false;
        }
        openUnwritten_ = false;
    }
    return true;
}

HistoryView ConnectionRecord::View(const DateTime& now) const {
    // A day more than the bars show, so the first bar starts with what came before it.
    HistoryView view{ReadRecentSessions(recordPath_, now.PlusSeconds(-(kHistoryDays + 1) * kDaySeconds)),
                     state_.open, now};
    view.rows.insert(view.rows.end(), unwritten_.begin(), unwritten_.end());
    return view;
}

}  // namespace velmo
