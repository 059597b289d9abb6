// Reading the router's system log page into stamped log lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/DateTime.h"

namespace velmo {

enum class LogPageOutcome {
    EntriesRead,    // at least one entry was read (perhaps every one filtered away)
    NoEntry,        // a log page without entries
    MalformedPage,  // an entry without its comma or quotes; entries before it were read
    NotLogPage,     // no "function L2(w,x)": the capture text is untouched
};

// Which entries the log file receives.
struct LogFilters {
    bool recordLogin = false;    // entries whose text contains "login"
    bool recordLogout = false;   // entries whose text contains "logged out"
    bool recordSubInfo = false;  // L1 (sub-info) entries
};

// Reads the entries after the page's first "function L2(w,x)": a timed entry
// "L2(<age in ms>,'<text>'" is stamped with `baseFileTime` (the local time
// with its milliseconds, in FILETIME units) minus its age, a
// sub-info entry "L1('<text>'" with the stamp of the last timed entry before
// it (23 blanks when there is none). The first entry read empties
// `captureText`; every entry the filters keep is appended as stamp + text +
// line feed. The quoted text is read as the page's script reads it: \', \"
// and \\ stand for the character they escape, and the first unescaped quote
// ends it; every other byte is kept as the router wrote it, except CR, LF and
// a zero byte, which are written as blanks so that every entry stays one line
// of the log file.
LogPageOutcome ParseSystemLogPage(const std::string& page, std::int64_t baseFileTime,
                                  const LogFilters& filters, std::string& captureText);

// The age text as a signed decimal: leading white space skipped, an optional
// sign, digits up to the first non-digit, 0 without digits. A value beyond
// the 64-bit range saturates at its limit instead of overflowing.
std::int64_t ParseEntryAge(std::string_view text);

}  // namespace velmo
