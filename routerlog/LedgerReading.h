// Which entries of a page are new, by the router's own clock.
//
// Every entry on both the ledger's page and this one has aged by the same
// amount D: the router's time between the two reads. D lies between the
// tool's ticks (this fetch sent minus the last answer in, up to this answer
// in minus the last fetch sent), widened by the drift of the router's clock
// against the tool's. The router keeps its newest entries, so the entries
// both pages hold are the last k of the ledger's page and the first k of
// this one, and every timed entry after them is younger than D. The
// computer's wall clock plays no part.
#pragma once

#include <cstddef>
#include <vector>

#include "routerlog/CaptureLedger.h"

namespace velmo {

// The ages' resolution: the router's ms ages of one moment read twice differ
// by its clock's step; whole-second ages by up to a second less one ms.
inline constexpr std::int64_t kMillisecondAgeResolution = 20;
inline constexpr std::int64_t kSecondAgeResolution = 999;

// The drift of a router's clock against the tool's: this many parts per
// million of the time between the fetches, and a few ms for the tick's step.
inline constexpr std::int64_t kDriftPpm = 200;
inline constexpr std::int64_t kDriftFloorMs = 5;

struct LedgerReading {
    std::size_t readings = 0;  // admissible readings; 0: the ledger cannot decide
    std::size_t firstNew = 0;  // with one or more: the page's entries from here on are new (the shortest run)
};

// Reads `page` (oldest first, fetched within `ticks`) against the ledger's
// page. A run of k shared entries (same texts, same kinds) is admissible when
// one D fits every timed pair within the ages' resolution and lies within the
// tick bounds, and every timed entry after the run is younger than D. No run
// at all (a reboot cleared the log, or more came than the page holds) is
// admissible only when every timed entry is younger than D's upper bound.
// `last` is the ledger's page oldest first, fetched within `lastTicks`.
LedgerReading ReadAgainstLedger(const std::vector<LedgerEntry>& last, const FetchTicks& lastTicks,
                                const std::vector<LedgerEntry>& page, const FetchTicks& ticks,
                                bool millisecondAges);

}  // namespace velmo
