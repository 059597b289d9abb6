#include "routerlog/PageOrder.h"

#include <algorithm>
#include <cstdint>

namespace velmo {

namespace {

// An entry this far after the capture's own time still counts: the page is
// read a little after the router served it.
constexpr std::int64_t kReadLateSeconds = 3;

}  // namespace

// The ages the router gave the page's timed entries, in page order, those
// dated after `now` (plus the time the page takes to be read) aside.
std::vector<std::int64_t> OrderingAges(const std::vector<LogEntry>& entries, DateTime now) {
    const DateTime latest = now.PlusSeconds(kReadLateSeconds);
    std::vector<std::int64_t> ages;
    for (const LogEntry& entry : entries) {
        if (!entry.subInfo && entry.stamp && *entry.stamp <= latest) {
            ages.push_back(entry.ageMs);
        }
    }
    return ages;
}

// How often the ages rise and fall down the page.
struct AgeSteps {
    int younger = 0;
    int older = 0;
};

AgeSteps CountAgeSteps(const std::vector<LogEntry>& entries, DateTime now) {
    const std::vector<std::int64_t> ages = OrderingAges(entries, now);
    AgeSteps steps;
    for (std::size_t i = 1; i < ages.size(); ++i) {
        steps.younger += ages[i] < ages[i - 1] ? 1 : 0;
        steps.older += ages[i] > ages[i - 1] ? 1 : 0;
    }
    return steps;
}

bool ListedNewestFirst(const std::vector<LogEntry>& entries, DateTime now) {
    const AgeSteps steps = CountAgeSteps(entries, now);
    return steps.older > steps.younger;
}

bool OrderUnclear(const std::vector<LogEntry>& entries, DateTime now) {
    const AgeSteps steps = CountAgeSteps(entries, now);
    return steps.older == steps.younger;
}

}  // namespace velmo
