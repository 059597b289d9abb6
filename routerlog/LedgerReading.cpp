#include "routerlog/LedgerReading.h"

#include <algorithm>
#include <limits>

namespace velmo {

namespace {

// The values D may take.
struct Span {
    std::int64_t low = std::numeric_limits<std::int64_t>::min();
    std::int64_t high = std::numeric_limits<std::int64_t>::max();
    bool Empty() const { return low > high; }
    void Meet(std::int64_t from, std::int64_t to) {
        low = std::max(low, from);
        high = std::min(high, to);
    }
};

// D by the ticks: the router served the last page between its fetch's send
// and answer, and this page between this fetch's.
Span TickBounds(const FetchTicks& last, const FetchTicks& now) {
    const auto signedTick = [](std::uint64_t tick) { return static_cast<std::int64_t>(tick); };
    const std::int64_t shortest = signedTick(now.sent) - signedTick(last.answered);
    const std::int64_t longest = signedTick(now.answered) - signedTick(last.sent);
    const std::int64_t drift = std::max<std::int64_t>(longest, 0) * kDriftPpm / 1000000 + kDriftFloorMs;
    return Span{shortest - drift, longest + drift};
}

// True when the run of the ledger's last k entries and the page's first k
// has one D within `bounds`, and every timed entry after it is younger.
bool Admissible(const std::vector<LedgerEntry>& last, const std::vector<LedgerEntry>& page, std::size_t k,
                Span bounds, std::int64_t resolution) {
    const std::size_t from = last.size() - k;
    for (std::size_t i = 0; i < k; ++i) {
        const LedgerEntry& before = last[from + i];
        const LedgerEntry& now = page[i];
        if (before.subInfo != now.subInfo || before.textHash != now.textHash) {
            return false;
        }
        if (!now.subInfo) {
            const std::int64_t aged = now.ageMs - before.ageMs;
            bounds.Meet(aged - resolution, aged + resolution);
            if (bounds.Empty()) {
                return false;
            }
        }
    }
    // An entry logged after the last read is younger than D; the upper end
    // of D's span is the most that can be said of D.
    for (std::size_t i = k; i < page.size(); ++i) {
        if (!page[i].subInfo && page[i].ageMs >= bounds.high) {
            return false;
        }
    }
    return true;
}

}  // namespace

LedgerReading ReadAgainstLedger(const std::vector<LedgerEntry>& last, const FetchTicks& lastTicks,
                                const std::vector<LedgerEntry>& page, const FetchTicks& ticks,
                                bool millisecondAges) {
    LedgerReading reading;
    const Span bounds = TickBounds(lastTicks, ticks);
    const std::int64_t resolution = millisecondAges ? kMillisecondAgeResolution : kSecondAgeResolution;
    const std::size_t longest = std::min(last.size(), page.size());
    // From the longest run to none: the last admissible one is the shortest.
    for (std::size_t k = longest + 1; k-- > 0;) {
        if (Admissible(last, page, k, bounds, resolution)) {
            ++reading.readings;
            reading.firstNew = k;
        }
    }
    return reading;
}

}  // namespace velmo
