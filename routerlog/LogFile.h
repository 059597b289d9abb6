// The log file: merging one capture's lines into it without duplicates.
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
// Only the file's tail is read: the trailing tool lines and, before them,
// four times as many entry lines as the capture holds. A capture costs the
// same on a file of ten years as on a new one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/DateTime.h"
#include "routerlog/LogTail.h"

namespace velmo {

// Two stamps of one entry read at two captures differ by the time between
// the router serving the page and the tool reading its clock (up to 1.5 s
// after a slow fetch), by a router's age in whole seconds (up to 1 s) and by
// cutting each stamp to its second: up to this many seconds either way.
inline constexpr std::int64_t kSameMomentSeconds = 3;

// What merging one capture into a file comes to.
struct LogMerge {
    std::uint64_t cutAt = 0;        // the file keeps its first cutAt bytes
    std::string appendText;         // then receives these, CR LF lines, the update marker last
    bool accessWarning = false;     // a new line holds "Unrecognized access"
    std::size_t accessCount = 0;    // how many new lines hold it
    std::string newestAccessEntry;  // the last of them as written (stamp and text), CP932
    std::size_t newEntries = 0;     // new router lines written (the failure line is none)
    bool failureLine = false;       // the capture read no entry: its failure line is written
};

// The pure merge on a file's whole content, read the way UpdateLogFile reads
// the file (backwards in blocks of `blockSize` from its end). Each line of
// `captureText` (lines ending in LF) that matches an entry of the file's
// tail not matched yet (same text, stamps at most kSameMomentSeconds apart,
// a blank stamp matching any; the nearest is used up) is known and dropped; the others are new and
// are written oldest first (a page whose stamps run backwards is turned
// round), followed by the update marker line for `now`.
LogMerge MergeLogText(std::string_view fileContent, std::string_view captureText, DateTime now,
                      std::size_t blockSize = kLogTailBlockSize);

enum class LogFileError {
    None,
    NotOpened,   // missing folder, no permission, held by another opener
    NotRead,     // its tail could not be read: left alone
    NotWritten,  // writing failed: the file holds what it held before
};

struct LogFileResult {
    bool written = false;        // the file now holds the new lines and marker
    bool accessWarning = false;  // a written new line holds "Unrecognized access"
    std::size_t accessCount = 0;
    std::string newestAccessEntry;
    std::size_t newEntries = 0;  // new router lines written; the failure line is not counted
    bool failureLine = false;    // the capture read no entry and wrote its failure line
    LogFileError error = LogFileError::None;
    std::string errorText;  // the system's message for the error (CP932)
};

// Opens `fileName` exclusively (created when absent), merges `captureText`
// into it and closes it. A file that cannot be opened or read is left alone:
// nothing written, no warning. The new text is written after the whole old
// content first, and only once that has succeeded is it moved over the cut
// tail, so a failed write leaves the file as it was.
LogFileResult UpdateLogFile(const std::string& fileName, std::string_view captureText, DateTime now);

}  // namespace velmo
