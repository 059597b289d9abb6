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
#include "routerlog/CaptureResult.h"
#include "routerlog/LogEntry.h"
#include "routerlog/LogTail.h"

namespace velmo {

// One capture as the log file receives it.
struct CapturedLog {
    std::vector<LogEntry> entries;  // every entry the page held, in page order
    LogFilters filters;             // which of them the file receives
    // How the router lists its log, as an earlier page showed it. A router
    // lists every page the same way, but a page whose timed entries all carry
    // one age cannot show which way; this decides it then.
    std::optional<bool> newestFirst;
    // Set when no entry was read: the file receives a failure line stamped
    // with this moment instead.
    std::optional<DateTime> failedAt;
};

// What a merge writes: the file keeps its first cutAt bytes, then receives
// appendText (CR LF lines, the update marker last).
struct LogWrite {
    std::uint64_t cutAt = 0;
    std::string appendText;
};

// The pure merge on a file's whole content, read the way UpdateLogFile reads
// the file (backwards in blocks of `blockSize` from its end). A page listed
// newest first is turned round; the run it shares with the file's tail is
// found (see FindOverlap); the entries after that run that the filters keep
// are new and written oldest first, each with its stamp formatted once, here,
// followed by the update marker line for `now`. The result counts the access
// entries among the new ones, as they will stand once written; `written` is
// left to the write.
CaptureResult MergeLogText(std::string_view fileContent, const CapturedLog& capture, DateTime now,
                           LogWrite& write, std::size_t blockSize = kLogTailBlockSize);

// Opens `fileName` exclusively (created when absent), merges the capture into
// it and closes it. A file that cannot be opened or read is left alone:
// nothing written, no warning.
CaptureResult UpdateLogFile(const std::string& fileName, const CapturedLog& capture, DateTime now);

// The two writes the merge needs from the file.
class LogFileWrites {
  public:
    virtual ~LogFileWrites() = default;
    virtual bool WriteAt(std::uint64_t position, std::string_view bytes) = 0;
    virtual bool Truncate(std::uint64_t size) = 0;
};

// Writes `write` into a file of `oldSize` bytes so that a failure or a crash
// at any moment loses nothing: the new text goes after the whole old content
// first (the only write that needs new room on the disk), and only once that
// has succeeded is it moved over the cut tail and the rest dropped. Says what
// the file holds afterwards: None, NotWritten (as before), PartlyWritten (the
// failed append could not be cut away) or NotCut (the new text follows the
// old end, the old tail could not be replaced).
LogFileError WriteLogFile(LogFileWrites& file, std::uint64_t oldSize, const LogWrite& write);

}  // namespace velmo
