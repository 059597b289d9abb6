// Whether the log file is as the ledger's capture left it.
//
// A capture cuts the tool's old trailing lines, records its write in the
// ledger (where the new text goes, a hash of the bytes before that place, and
// the text), then appends the text. A kill at any byte leaves the file
// holding the bytes before that place and then the first part of the text
// the ledger names: the last capture's, when the kill came before the ledger
// was replaced (its update marker is missing), or this one's. The next
// capture finishes that write, so no entry is lost, none is written twice and
// no fragment of a line stays. Any other content means the file was changed
// by someone else (edited, another writer, an older version of the tool).
#pragma once

#include <string>

#include "routerlog/CaptureLedger.h"
#include "routerlog/LogFileAccess.h"

namespace velmo {

enum class LedgerFit {
    Fits,         // the file is as the ledger left it
    Finished,     // it was not, because the ledger's write was cut short; now it is
    Differs,      // the file holds something else: the ledger says nothing about it
    ReadFailed,   // left alone
    WriteFailed,  // finishing the write failed; it may have got further
};

// Checks `file` against the ledger, finishing its write where it was cut
// short; `finished` then receives the lines of the ledger's text that end in
// the part written now (the killed capture reported none of its lines; those
// it wrote whole stay unreported).
LedgerFit FitLedger(LogFileAccess& file, const CaptureLedger& ledger, std::string& finished);

}  // namespace velmo
