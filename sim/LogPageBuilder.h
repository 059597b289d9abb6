// The router's system log page built from its entries: a script that defines
// L1 and L2, then one call per entry, "L2(<age in ms>,'<text>');" for a timed
// entry and "L1('<text>');" for a sub-info line. The simulator serves this
// page and the tests hand it to the tool, so both speak the same page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmo {

struct LogPageEntry {
    std::optional<std::int64_t> ageMs;  // a timed entry's age when served; none: a sub-info line
    std::string text;                   // CP932, written as it is: a single quote in it ends the text
};

// Oldest first, or newest first with every timed entry still followed by its
// own sub-info lines (sub-info lines before any timed entry come last).
enum class LogListing { OldestFirst, NewestFirst };

// The positions in `entries` (oldest first) in the order the page lists them.
std::vector<std::size_t> ListingOrder(const std::vector<LogPageEntry>& entries, LogListing listing);

// The page of `entries`, given oldest first; no entries give an empty log.
std::string SystemLogPageBody(const std::vector<LogPageEntry>& entries,
                              LogListing listing = LogListing::OldestFirst);
// The same page around script calls written out, for pages that no list of
// entries gives (odd ages, escapes, broken calls).
std::string SystemLogPageAround(const std::string& scriptCalls);

}  // namespace velmo
