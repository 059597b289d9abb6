// The record's files as the main window keeps them: the rows in the record
// file, the rows that wait for it and the kept line. Runs on the window's
// thread; what the rows are is decided elsewhere (the line's owner).
#pragma once

#include <string>
#include <vector>

#include "history/HistorySums.h"
#include "history/KeptLine.h"

namespace velmo {

class ConnectionRecord {
  public:
    // The files in `folder` (ending in a separator, or empty for the current directory).
    explicit ConnectionRecord(const std::string& folder);

    // What the previous run kept, and the rows it could not write yet (those
    // the record already holds, and a kept session it holds as ended, are
    // dropped: a crash came between two writes).
    KeptLine Resume();

    // Appends the waiting rows and `ended` to the record, in order, flushed;
    // then replaces the kept line. Rows the record cannot take wait in a file
    // of their own and go first at the next call. False with the system's
    // reason while rows wait or the kept line could not be written.
    bool Write(const std::vector<Session>& ended, const KeptLine& kept, std::string& reason);

    // Rows wait for the record.
    bool Failing() const { return !pending_.empty(); }

    // The last days of the record with the waiting rows, for the window.
    HistoryView View(const DateTime& now, const std::optional<OpenSession>& open) const;

    const std::string& RecordPath() const { return recordPath_; }

  private:
    std::string recordPath_;
    std::string openPath_;
    std::string pendingPath_;
    std::vector<Session> pending_;
    bool pendingFileHolds_ = false;  // the pending file may hold rows
    std::optional<KeptLine> keptWritten_;
};

}  // namespace velmo
