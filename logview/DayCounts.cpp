#include "logview/DayCounts.h"

#include <algorithm>

namespace velmo {

DaySummary SummarizeDays(const LogIndex& index, std::int32_t lastDay, int dayCount) {
    DaySummary summary;
    const std::int32_t firstDay = lastDay - dayCount + 1;
    for (int i = 0; i < dayCount; ++i) {
        summary.days.push_back(DayCount{firstDay + i, 0, 0});
    }
    std::vector<std::uint64_t> perSource(index.sources.size(), 0);
    for (const IndexRun& run : index.runs) {
        if (run.day == kNoDay || run.day < firstDay || run.day > lastDay) {
            continue;
        }
        DayCount& day = summary.days[static_cast<std::size_t>(run.day - firstDay)];
        day.accesses += run.kinds[static_cast<int>(EntryKind::Access)];
        day.drops += run.drops;
        ForEachRunSource(run,
                         [&](std::uint32_t number, std::uint32_t entries) { perSource[number] += entries; });
    }
    std::vector<std::uint32_t> order;
    for (std::uint32_t i = 0; i < perSource.size(); ++i) {
        if (perSource[i] > 0) {
            order.push_back(i);
        }
    }
    const std::size_t top = std::min<std::size_t>(5, order.size());
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(top), order.end(),
                      [&](std::uint32_t a, std::uint32_t b) {
                          return perSource[a] != perSource[b] ? perSource[a] > perSource[b] : a < b;
                      });
    for (std::size_t i = 0; i < top; ++i) {
        summary.sources.emplace_back(index.sources[order[i]], perSource[order[i]]);
    }
    return summary;
}

std::uint64_t RowForDay(const LogIndex& index, const LogRows& rows, std::int32_t day) {
    for (const IndexRun& run : index.runs) {
        if (run.day != kNoDay && run.day >= day) {
            return rows.FirstRowAtOrAfter(run.offset);
        }
    }
    return rows.Count();
}

}  // namespace velmo
