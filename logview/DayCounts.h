// Per-day counts for the bars of the ログを見る window: accesses and line
// drops per day over the last days, and the sources that knocked most.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "logview/LogIndex.h"
#include "logview/LogRows.h"

namespace velmo {

struct DayCount {
    std::int32_t day = 0;
    std::uint64_t accesses = 0;
    std::uint64_t drops = 0;
};

// The days' counts are exact. The sources are summed from what each run
// lists (its most frequent, see IndexRun): a source's count is its entries
// in the runs that list it, so it may be up to `sourceError` short (the
// entries its unlisting runs may hold), and a source none of the runs lists
// has at most `sourceError` entries. With sourceError 0 (every run of the
// span lists all its sources, as runs knocked at by up to
// kListedRunSources sources do) the counts and the order are exact.
struct DaySummary {
    std::vector<DayCount> days;                                  // oldest first, one per day of the span
    std::vector<std::pair<std::string, std::uint64_t>> sources;  // the five that knocked most, most first
    std::uint64_t sourceError = 0;
};

// The `dayCount` days that end with `lastDay`.
DaySummary SummarizeDays(const LogIndex& index, std::int32_t lastDay, int dayCount);

// The sources the runs list, by their listed entries summed (most first,
// equal ones by their bytes), at most `limit`: every source of an archive
// whose runs list all theirs, else the heavy hitters (as SummarizeDays).
std::vector<std::string> FrequentSources(const LogIndex& index, std::size_t limit);

// The first row at or after the first line of `day` (or a later day); the
// row count when no line is that late.
std::uint64_t RowForDay(const LogIndex& index, const LogRows& rows, std::int32_t day);

}  // namespace velmo
