// What the 接続履歴 window shows, worked out from the record's recent rows and
// the open session: a bar per day, the sums under it, and the report text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/Session.h"

namespace velmo {

inline constexpr int kHistoryDays = 30;

// The record as the window sees it, at one moment.
struct HistoryView {
    std::vector<Session> rows;  // the ended sessions of the last days, in record order
    std::optional<OpenSession> open;
    DateTime now;
};

enum class LineSpanKind { Up, Down, NotSeen };

struct LineSpan {
    DateTime from;
    DateTime to;
    LineSpanKind kind = LineSpanKind::NotSeen;

    friend bool operator==(const LineSpan&, const LineSpan&) = default;
};

// One day's bar: the spans of that day (midnight to midnight, today up to now).
struct DayBar {
    DateTime day;  // midnight at its start
    std::vector<LineSpan> spans;
};

struct HistoryTotals {
    std::int64_t monthUpSeconds = 0;  // connected time this calendar month
    int drops7 = 0;                   // 回線断 ends in the last 7 and 30 days
    int drops30 = 0;
    int unseen30 = 0;                // 不明 ends in the last 30 days
    std::int64_t seenSeconds30 = 0;  // up or down in the last 30 days
    std::int64_t upSeconds30 = 0;
};

// The line over time from `from` to the view's moment: up during a session
// (the open one up to now), down after an end the tool saw (切断, 自動切断,
// 回線断) until the next start, not seen after an unseen end and before the
// first row.
std::vector<LineSpan> LineSpans(const HistoryView& view, const DateTime& from);

// The bars of the last kHistoryDays days, the oldest first.
std::vector<DayBar> DayBars(const HistoryView& view);

HistoryTotals Totals(const HistoryView& view);

// The lines under the bars (CP932, in the language the tool speaks): this
// month's time, the drops, the availability.
std::vector<std::string> SummaryLines(const HistoryTotals& totals);

// The plain-text report of the last kHistoryDays days for the clipboard
// (CP932, CR LF, in the language the tool speaks): one line for each drop and unseen end (start, end,
// duration, cause), then the sums.
std::string ReportText(const HistoryView& view);

}  // namespace velmo
