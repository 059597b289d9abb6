#include "logview/DayCounts.h"

#include <algorithm>
#include <unordered_map>

namespace velmo {

namespace {

// The sources of the runs of the days from `first` to `last` (of every run
// when `first` is kNoDay) with their listed entries
// summed, most first (equal ones by their bytes), at most `limit`. The
// views point into the runs.
std::vector<std::pair<std::string_view, std::uint64_t>> TopSources(const LogIndex& index, std::int32_t first,
                                                                   std::int32_t last, std::size_t limit,
                                                                   std::uint64_t& error) {
    std::unordered_map<std::string_view, std::uint64_t> sums;
    error = 0;
    for (const IndexRun& run : index.runs) {
        if (first != kNoDay && (run.day == kNoDay || run.day < first || run.day > last)) {
            continue;
        }
        error += run.unlistedMost;
        ForEachRunSource(run,
                         [&](std::string_view source, std::uint32_t entries) { sums[source] += entries; });
    }
    std::vector<std::pair<std::string_view, std::uint64_t>> order(sums.begin(), sums.end());
    const std::size_t top = std::min(limit, order.size());
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(top), order.end(),
                      [](const auto& a, const auto& b) {
                          return a.second != b.second ? a.second > b.second : a.first < b.first;
                      });
    order.resize(top);
    return order;
}

}  // namespace

DaySummary SummarizeDays(const LogIndex& index, std::int32_t lastDay, int dayCount) {
    DaySummary summary;
    const std::int32_t firstDay = lastDay - dayCount + 1;
    for (int i = 0; i < dayCount; ++i) {
        summary.days.push_back(DayCount{firstDay + i, 0, 0});
    }
    for (const IndexRun& run : index.runs) {
        if (run.day == kNoDay || run.day < firstDay || run.day > lastDay) {
            continue;
        }
        DayCount& day = summary.days[static_cast<std::size_t>(run.day - firstDay)];
        day.accesses += run.kinds[static_cast<int>(EntryKind::Access)];
        day.drops += run.drops;
    }
    for (const auto& [source, entries] : TopSources(index, firstDay, lastDay, 5, summary.sourceError)) {
        summary.sources.emplace_back(source, entries);
    }
    return summary;
}

std::vector<std::string> FrequentSources(const LogIndex& index, std::size_t limit) {
    std::uint64_t error = 0;
    std::vector<std::string> sources;
    for (const auto& [source, entries] : TopSources(index, kNoDay, kNoDay, limit, error)) {
        sources.emplace_back(source);
    }
    return sources;
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
