#include "routerlog/PageOrder.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>

namespace velmo {

namespace {

// An entry this far after the capture's own time still counts: the page is
// read a little after the router served it.
constexpr std::int64_t kReadLateSeconds = 3;

}  // namespace

bool ListedNewestFirst(const std::vector<LogEntry>& entries, DateTime now) {
    const DateTime latest = now.PlusSeconds(kReadLateSeconds);
    int up = 0;
    int down = 0;
    std::optional<DateTime> previous;
    for (const LogEntry& entry : entries) {
        if (entry.subInfo || !entry.stamp || *entry.stamp > latest) {
            continue;
        }
        if (previous) {
            up += *entry.stamp > *previous ? 1 : 0;
            down += *entry.stamp < *previous ? 1 : 0;
        }
        previous = entry.stamp;
    }
    return down > up;
}

bool OrderUnclear(const std::vector<LogEntry>& entries, DateTime now) {
    const DateTime latest = now.PlusSeconds(kReadLateSeconds);
    std::optional<DateTime> earliest;
    std::optional<DateTime> last;
    for (const LogEntry& entry : entries) {
        if (!entry.stamp || *entry.stamp > latest) {
            continue;
        }
        earliest = earliest ? std::min(*earliest, *entry.stamp) : *entry.stamp;
        last = last ? std::max(*last, *entry.stamp) : *entry.stamp;
    }
    return !earliest || last->SecondsSince(*earliest) <= kReadLateSeconds;
}

void TurnRound(std::vector<LogEntry>& entries) {
    std::vector<LogEntry> turned;
    turned.reserve(entries.size());
    std::size_t groupEnd = entries.size();
    for (std::size_t i = entries.size(); i-- > 0;) {
        // A group begins at a timed entry, and at the page's first entry.
        if (i == 0 || !entries[i].subInfo) {
            turned.insert(turned.end(),
                          std::make_move_iterator(entries.begin() + static_cast<std::ptrdiff_t>(i)),
                          std::make_move_iterator(entries.begin() + static_cast<std::ptrdiff_t>(groupEnd)));
            groupEnd = i;
        }
    }
    entries = std::move(turned);
}

}  // namespace velmo
