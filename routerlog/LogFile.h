// The log file: merging one capture's entries into it without duplicates.
//
// On disk every line ends in CR LF. On reading, CR LF, LF alone and CR alone
// each end a line, so a file saved with any of these line ends (or a mix) is
// read line by line; a CR-only file is not taken for one huge line.
//
// Only the tool's own trailing lines are ever cut: the update marker line at
// the end of the file, and a failure line that stands in the run of tool lines
// (failure lines, update marker lines, empty lines) that ends the file, with
// the rest of that run. Every other line the file held stays where it was.
//
// Only the file's tail is read: the trailing tool lines and, before them, as
// many entry lines as the page held entries (no run the two share can be
// longer), up to kLogTailByteLimit bytes. A capture costs the same on a file
// of ten years as on a new one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/DateTime.h"
#include "routerlog/CaptureLedger.h"
#include "routerlog/CaptureResult.h"
#include "routerlog/LogEntry.h"
#include "routerlog/LogFileAccess.h"
#include "routerlog/LogTail.h"

namespace velmo {

// One capture as the log file receives it.
struct CapturedLog {
    std::vector<LogEntry> entries;  // every entry the page held, in page order
    LogFilters filters;             // which of them the file receives
    // Set when no entry was read: the file receives a failure line stamped
    // with this moment instead.
    std::optional<DateTime> failedAt;
    // The ticks around the fetch of the page read.
    std::optional<FetchTicks> ticks;
    // The ledger the window kept from its last capture; the ledger file
    // beside the log file, when it fits the file, comes first.
    std::optional<CaptureLedger> ledger;
};

// What a merge writes: the file keeps its first cutAt bytes, then receives
// appendText (CR LF lines, the update marker last).
struct LogWrite {
    std::uint64_t cutAt = 0;
    std::string appendText;
};

// The pure merge on a file's whole content, read the way UpdateLogFile reads
// the file (backwards in blocks of `blockSize` from its end). A page listed
// newest first is turned round. When the capture's ledger fits the content,
// the router's clock decides which entries are new (see ReadAgainstLedger);
// otherwise the run the page shares with the file's tail does (see
// FindOverlap). The new entries the filters keep are written oldest first,
// each with its stamp formatted once, here, followed by the update marker
// line for `now`. The result counts the access entries among the new ones,
// as they will stand once written, and carries the ledger of this capture;
// `written` is left to the write.
CaptureResult MergeLogText(std::string_view fileContent, const CapturedLog& capture, DateTime now,
                           LogWrite& write, std::size_t blockSize = kLogTailBlockSize);

// Opens `fileName` (created when absent) keeping every other writer out but
// letting readers in, merges the capture into it with its ledger file
// (LedgerFileName) and closes it. A file that cannot be opened or read is
// left alone: nothing written, no warning.
CaptureResult UpdateLogFile(const std::string& fileName, const CapturedLog& capture, DateTime now);

// The capture's merge and write on `file`, whose ledger file held
// `ledgerBytes`. The ledger of this capture, with the write it is about to
// make, replaces the ledger file first; then the tool's old trailing lines
// are cut and the new text appended. The file only ever loses the tool's own
// trailing lines and grows by whole lines: a kill at any byte leaves a write
// the next capture finishes (see FitLedger).
CaptureResult WriteCapture(LogFileAccess& file, std::string_view ledgerBytes, const CapturedLog& capture,
                           DateTime now);

}  // namespace velmo
