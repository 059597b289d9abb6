// A router may list its log newest first; the log file is kept oldest first.
#pragma once

#include <cstddef>
#include <iterator>
#include <vector>

#include "base/DateTime.h"
#include "routerlog/LogEntry.h"

namespace velmo {

// True when the ages the router gave the page's timed entries rise down the
// page more often than they fall. An entry dated after `now` plus a few
// seconds (the router's clock was wrong when it logged it) stands anywhere
// and takes no part; where the others cannot tell, the page's order is kept.
bool ListedNewestFirst(const std::vector<LogEntry>& entries, DateTime now);

// True when the ages of the page's timed entries (those dated after `now`
// aside) rise down the page as often as they fall, as when they all carry
// one age: the router's own numbers cannot show which way the page is
// listed. The ages order the entries of one page exactly, whatever the
// moment the page was read at; stamps cut to the second would not.
bool OrderUnclear(const std::vector<LogEntry>& entries, DateTime now);

// Turns a newest-first page round: the timed entries in reverse order, each
// followed by the sub-info entries that followed it on the page. Sub-info
// entries before the first timed entry (theirs has left the page) form a
// group of their own, which goes last.
// The same for any entries that say whether they are sub-info.
template <class Entry>
void TurnRound(std::vector<Entry>& entries) {
    std::vector<Entry> turned;
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
