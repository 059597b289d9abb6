// The record as the main window keeps it: the session rules' state, the rows
// not yet written and the two files. Runs on the window's thread, in the
// delivery of each status reading.
#pragma once

#include <string>
#include <vector>

#include "history/HistorySums.h"
#include "history/SessionRules.h"

namespace velmo {

class ConnectionRecord {
  public:
    // The files in `folder` (ending in a separator, or empty for the current directory).
    explicit ConnectionRecord(const std::string& folder);

    // Takes up the open session kept by the previous run (none when the
    // record already holds it as ended).
    void Resume();

    // What noting a reading did to the files.
    struct Written {
        SessionEvents events;
        bool failureStarts = false;  // the first failed write of a run: worth one balloon
        std::string reason;          // the system's text for it (CP932)
    };
    // Notes one status reading and writes what it changed: ended rows first,
    // then the kept open session. Rows that cannot be written stay here and go
    // first at the next reading.
    Written Note(const SessionReading& reading, LineCommand command, const SessionLimits& limits);

    // The last days of the record with what is still unwritten, for the window.
    HistoryView View(const DateTime& now) const;

    const std::string& RecordPath() const { return recordPath_; }
    const SessionState& State() const { return state_; }

  private:
    bool Write(std::string& reason);

    std::string recordPath_;
    std::string openPath_;
    SessionState state_;
    std::vector<Session> unwritten_;
    bool openUnwritten_ = false;
    bool failing_ = false;
};

}  // namespace velmo
