// What the last merged capture saw, and the log file as that capture left it.
//
// Between two pages the tool read, every entry on both has aged by the same
// amount: the router's time between the two reads. The ledger keeps what the
// next capture needs to find those entries by the router's own clock: every
// entry of the page (whatever the filters) with the age the router gave it,
// and the ticks around the fetch. It also keeps the write that capture made,
// so the next capture can tell whether the file is as it was left and can
// finish a write that was cut short.
//
// The ledger lives in a small file beside the log file (LedgerFileName),
// replaced whole, and the window keeps a copy between captures.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "routerlog/LogEntry.h"

namespace velmo {

// One entry of a page as the ledger keeps it.
struct LedgerEntry {
    std::int64_t ageMs = 0;  // as the router gave it (a sub-info entry: its timed entry's)
    bool subInfo = false;
    std::uint64_t textHash = 0;

    friend bool operator==(const LedgerEntry&, const LedgerEntry&) = default;
};

// The tool's tick (Clock::Tick) when the fetch was sent and when its answer
// had arrived: the router served the page between the two.
struct FetchTicks {
    std::uint64_t sent = 0;
    std::uint64_t answered = 0;

    friend bool operator==(const FetchTicks&, const FetchTicks&) = default;
};

struct CaptureLedger {
    // The last page merged, as the router listed it (which way that is may
    // show only on a later page), and the ticks around its fetch.
    std::vector<LedgerEntry> entries;
    std::optional<FetchTicks> ticks;
    // Some page of this router gave an age that is not a whole second.
    bool millisecondAges = false;
    // How the router lists its log, once a page showed it.
    std::optional<bool> newestFirst;
    // The write that capture made: `written` at `writeAt`, after bytes whose
    // last kLedgerPriorBytes hash to `priorHash`. The file as it was left is
    // exactly writeAt + written.size() bytes long.
    std::uint64_t writeAt = 0;
    std::uint64_t priorHash = 0;
    std::string written;

    friend bool operator==(const CaptureLedger&, const CaptureLedger&) = default;
};

// How many bytes before the write the ledger checks.
inline constexpr std::uint64_t kLedgerPriorBytes = 4096;

// FNV-1a, 64 bits.
std::uint64_t HashBytes(std::string_view bytes);

// The page's entries as the ledger keeps them, in the page's order.
std::vector<LedgerEntry> LedgerEntries(const std::vector<LogEntry>& page);

// The ledger file of a log file: its name with ".ledger" added.
std::string LedgerFileName(const std::string& logFileName);

// The ledger file's bytes, and back; false for bytes that are not a whole
// ledger (the file is then taken as absent).
std::string FormatLedger(const CaptureLedger& ledger);
bool ParseLedger(std::string_view bytes, CaptureLedger& ledger);

}  // namespace velmo
