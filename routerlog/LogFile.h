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
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/DateTime.h"

namespace velmo {

// What merging one capture into a file's content comes to.
struct LogMerge {
    std::size_t cutAt = 0;       // the file keeps its first cutAt bytes
    std::string appendText;      // then receives these, CR LF lines, the update marker last
    bool accessWarning = false;  // a new line holds "Unrecognized access"
};

// The pure merge: finds the last stamp key and last line of `fileContent`
// and where its trailing failure / marker lines begin, drops from
// `captureText` (lines ending in LF) what the file already holds, and adds
// the update marker line for `now`.
LogMerge MergeLogText(std::string_view fileContent, std::string captureText, DateTime now);

struct LogFileResult {
    bool written = false;        // the file now holds the new lines and marker
    bool accessWarning = false;  // raise the access warning (the file was opened and read)
};

// Opens `fileName` exclusively (created when absent), merges `captureText`
// into it and closes it. A file that cannot be opened (missing folder, no
// permission, held by another opener) or read is left alone: nothing written,
// no warning. The new text is written after the whole old content first, and
// only once that has succeeded is it moved over the cut tail, so a failed
// write leaves the file as it was.
LogFileResult UpdateLogFile(const std::string& fileName, std::string captureText, DateTime now);

}  // namespace velmo
