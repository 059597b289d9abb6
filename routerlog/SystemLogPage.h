// Reading the router's system log page into entries.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/DateTime.h"
#include "routerlog/LogEntry.h"

namespace velmo {

enum class LogPageOutcome {
    EntriesRead,    // at least one entry was read (perhaps every one filtered away)
    NoEntry,        // a log page without entries
    MalformedPage,  // an entry without its comma or quotes; entries before it were read
    NotLogPage,     // no "function L2(w,x)": the entries are untouched
};

// Reads the entries after the page's first "function L2(w,x)", in page order:
// a timed entry "L2(<age in ms>,'<text>'" is stamped with `baseFileTime` (the
// local time with its milliseconds, in FILETIME units) minus its age, cut to
// the second; a sub-info entry "L1('<text>'" carries the stamp of the last
// timed entry before it (none when there is none). The first entry read
// empties `entries` (an earlier parse of the same capture is replaced); every
// entry read is appended, the filters are the merge's business. The quoted
// text is read as the page's script reads it: \', \" and \\ stand for the
// character they escape, and the first unescaped quote ends it; every other
// byte is kept as the router wrote it, except CR, LF and a zero byte, which
// become blanks so that every entry stays one line of the log file. A
// double-byte lead byte followed by a byte that cannot end the character (a
// quote, a comma, a parenthesis) stands alone: routers that cut a name at a
// byte limit write such a byte, and what follows it is read as usual.
LogPageOutcome ParseSystemLogPage(const std::string& page, std::int64_t baseFileTime,
                                  std::vector<LogEntry>& entries);

// The age text as a signed decimal: leading white space skipped, an optional
// sign, digits up to the first non-digit, 0 without digits. A value beyond
// the 64-bit range saturates at its limit instead of overflowing.
std::int64_t ParseEntryAge(std::string_view text);

}  // namespace velmo
