// One entry of the router's log as a capture carries it, and the filters
// that decide which entries the log file receives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/DateTime.h"

namespace velmo {

struct LogEntry {
    // A timed entry's moment; a sub-info entry carries the moment of the last
    // timed entry before it on the page, or none when no timed entry comes
    // before it (its line then begins with 23 blanks).
    std::optional<DateTime> stamp;
    // The age the router gave a timed entry, in milliseconds (a sub-info
    // entry carries its timed entry's). Finer than the stamp, and taken from
    // the router's clock alone: within one page it orders the entries.
    std::int64_t ageMs = 0;
    std::string text;  // one line of CP932 bytes, as the router sent it
    bool subInfo = false;

    friend bool operator==(const LogEntry&, const LogEntry&) = default;
};

// Which entries the log file receives.
struct LogFilters {
    bool recordLogin = false;    // entries whose text contains "login"
    bool recordLogout = false;   // entries whose text contains "logged out"
    bool recordSubInfo = false;  // L1 (sub-info) entries
};

// True when `filters` leave the entry out of the log file: a sub-info entry
// unless recordSubInfo, a text holding "login" unless recordLogin, one
// holding "logged out" unless recordLogout (exact, case-sensitive).
bool IsLeftOut(const LogEntry& entry, const LogFilters& filters);

// True when some setting of the filters leaves the entry out: the file may
// lack it because the filters of an earlier capture did.
bool MayBeLeftOut(const LogEntry& entry);

// The entry's line in the log file, without its line end: its stamp (or 23
// blanks) and its text.
std::string EntryLine(const LogEntry& entry);

}  // namespace velmo
