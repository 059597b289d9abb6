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

struct DaySummary {
    std::vector<DayCount> days;                                  // oldest first, one per day of the span
    std::vector<std::pair<std::string, std::uint64_t>> sources;  // the five that knocked most, most first
};

// The `dayCount` days that end with `lastDay`.
DaySummary SummarizeDays(const LogIndex& index, std::int32_t lastDay, int dayCount);

// The first row at or after the first line of `day` (or a later day); the
// row count when no line is that late.
std::uint64_t RowForDay(const LogIndex& index, const LogRows& rows, std::int32_t day);

}  // namespace velmo
