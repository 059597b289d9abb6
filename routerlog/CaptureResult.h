// What one log capture did to the log file: the one result that goes from
// the merge to the window.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "routerlog/CaptureLedger.h"

namespace velmo {

enum class LogFileError {
    None,
    NotOpened,   // missing folder, no permission, held by another opener
    NotRead,     // its tail could not be read: left alone
    NotWritten,  // writing failed: the file holds what it held before, or part of the
                 // new text, which the next capture finishes from the ledger
};

// Where the log's order left more than one reading of the capture, what the
// merge did (for the tests and for whoever reads a file after a surprise;
// the window does not look at it).
struct LogMergeChoices {
    // How many readings of the page the ledger and the router's ages left:
    // one decides exactly; of several, the shortest shared run was taken (the
    // most entries written); none, or no ledger that fits the file: the
    // file's tail decided, as below.
    std::size_t ledgerReadings = 0;
    // More than one run of the file's last entries matched the start of the
    // page; the longest was taken (fewest entries written).
    bool longestOfSeveral = false;
    // The run taken agrees only through a shift of its stamps by 2 s or more,
    // which at least two timed entries show alike: the same texts logged
    // again that much later would read the same.
    bool shiftedRunTaken = false;
    // Every timed entry of the run taken has the same text (one entry with
    // its sub-info lines, or a burst): another copy logged within the jitter,
    // after the page wrapped or the router restarted, would read the same.
    bool oneTextRunTaken = false;
    // The page's stamps could not show which way it is listed, and the file
    // holds a longer run of it in the order its stamps did not point to: the
    // file's order was followed. New entries that mirror the file's last ones
    // would read the same.
    bool fileOrderTaken = false;
    // A longer run was refused because its one timed entry's stamps lay 2 s or
    // more apart: that entry was written again rather than maybe lost.
    bool shiftedEntryWritten = false;
    // A longer run was refused because the page's stamps lay more than the
    // jitter after the file's (the computer's clock set forward, or the same
    // entries logged again): written again rather than maybe lost.
    bool laterStampsWritten = false;
    // A longer run was refused because it ended among entries of one age
    // (logged at one moment): written again rather than maybe lost.
    bool momentSplitWritten = false;
    // The tail's byte bound was reached without a common run: every entry was
    // written.
    bool tailBoundReached = false;
};

struct CaptureResult {
    bool written = false;                    // the file holds the new entries and the update marker
    std::size_t accessCount = 0;             // new entries written that hold "Unrecognized access"
    bool accessWarning = false;              // accessCount > 0: the window shows the warning icon
    std::string newestAccessEntry;           // the last of them as written (stamp and text), CP932
    std::vector<std::string> accessEntries;  // all of them as written, oldest first
    std::size_t newEntries = 0;              // router entries written (the failure line not counted)
    bool failureLine = false;                // the capture read no entry and wrote its failure line
    LogFileError error = LogFileError::None;
    std::string errorText;  // the system's message for the error (CP932)
    LogMergeChoices choices;
    // What this capture saw and wrote, for the next one; the window keeps it
    // (CapturedLog::ledger). None when nothing was written.
    std::optional<CaptureLedger> ledger;
};

}  // namespace velmo
