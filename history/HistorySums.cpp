#include "history/HistorySums.h"

#include <algorithm>

#include "history/RunningTime.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

namespace {

constexpr std::int64_t kDaySeconds = 86400;

DateTime Midnight(const DateTime& moment) {
    const CalendarTime c = moment.Calendar();
    return DateTime::FromParts(c.year, c.month, c.day, 0, 0, 0);
}

DateTime DaysBack(const DateTime& now, int days) {
    return now.PlusSeconds(-days * kDaySeconds);
}

void AddSpan(std::vector<LineSpan>& spans, DateTime from, DateTime to, LineSpanKind kind,
             const DateTime& after, const DateTime& until) {
    from = std::max(from, after);
    to = std::min(to, until);
    if (from < to) {
        spans.push_back({from, to, kind});
    }
}

std::vector<LineSpan> Clip(const std::vector<LineSpan>& spans, const DateTime& from, const DateTime& to) {
    std::vector<LineSpan> clipped;
    for (const LineSpan& span : spans) {
        AddSpan(clipped, span.from, span.to, span.kind, from, to);
    }
    return clipped;
}

std::int64_t Seconds(const std::vector<LineSpan>& spans, LineSpanKind kind) {
    std::int64_t sum = 0;
    for (const LineSpan& span : spans) {
        if (span.kind == kind) {
            sum += span.to.SecondsSince(span.from);
        }
    }
    return sum;
}

std::string Availability(const HistoryTotals& totals) {
    if (totals.seenSeconds30 == 0) {
        return FilledString(IDS_HISTORY_AVAILABILITY, {"-"});
    }
    const long long permille = totals.upSeconds30 * 1000 / totals.seenSeconds30;
    return FilledString(IDS_HISTORY_AVAILABILITY,
                        {std::to_string(permille / 10) + "." + std::to_string(permille % 10) + "%"});
}

}  // namespace

std::vector<LineSpan> LineSpans(const HistoryView& view, const DateTime& from) {
    std::vector<Session> rows = view.rows;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Session& a, const Session& b) { return a.start < b.start; });
    std::vector<LineSpan> spans;
    DateTime cursor = from;  // the line is not seen before the first row
    LineSpanKind after = LineSpanKind::NotSeen;
    for (const Session& row : rows) {
        AddSpan(spans, cursor, row.start, after, from, view.now);
        AddSpan(spans, std::max(cursor, row.start), row.end, LineSpanKind::Up, from, view.now);
        cursor = std::max(cursor, row.end);
        after = row.cause == EndCause::Unseen ? LineSpanKind::NotSeen : LineSpanKind::Down;
    }
    if (view.open) {
        AddSpan(spans, cursor, view.open->start, after, from, view.now);
        AddSpan(spans, std::max(cursor, view.open->start), view.now, LineSpanKind::Up, from, view.now);
    } else {
        AddSpan(spans, cursor, view.now, after, from, view.now);
    }
    return spans;
}

std::vector<DayBar> DayBars(const HistoryView& view) {
    const DateTime today = Midnight(view.now);
    const DateTime first = Midnight(today.PlusSeconds(-(kHistoryDays - 1) * kDaySeconds + 3600));
    const std::vector<LineSpan> spans = LineSpans(view, first);
    std::vector<DayBar> bars;
    for (DateTime day = first; day <= today; day = Midnight(day.PlusSeconds(kDaySeconds + 3600))) {
        bars.push_back({day, Clip(spans, day, day.PlusSeconds(kDaySeconds))});
    }
    return bars;
}

HistoryTotals Totals(const HistoryView& view) {
    HistoryTotals totals;
    const CalendarTime now = view.now.Calendar();
    const DateTime monthStart = DateTime::FromParts(now.year, now.month, 1, 0, 0, 0);
    const DateTime from30 = DaysBack(view.now, kHistoryDays);
    const DateTime from = std::min(monthStart, from30);
    const std::vector<LineSpan> spans = LineSpans(view, from);
    totals.monthUpSeconds = Seconds(Clip(spans, monthStart, view.now), LineSpanKind::Up);
    const std::vector<LineSpan> last30 = Clip(spans, from30, view.now);
    totals.upSeconds30 = Seconds(last30, LineSpanKind::Up);
    totals.seenSeconds30 = totals.upSeconds30 + Seconds(last30, LineSpanKind::Down);
    const DateTime from7 = DaysBack(view.now, 7);
    for (const Session& row : view.rows) {
        if (row.end < from30) {
            continue;
        }
        if (row.cause == EndCause::Drop) {
            ++totals.drops30;
            totals.drops7 += row.end >= from7 ? 1 : 0;
        } else if (row.cause == EndCause::Unseen) {
            ++totals.unseen30;
        }
    }
    return totals;
}

std::vector<std::string> SummaryLines(const HistoryTotals& totals) {
    return {FilledString(IDS_HISTORY_MONTH_TIME, {RunningTimeText(totals.monthUpSeconds)}),
            FilledString(IDS_HISTORY_DROPS, {std::to_string(totals.drops7), std::to_string(totals.drops30)}),
            Availability(totals)};
}

std::string ReportText(const HistoryView& view) {
    std::string text = TableString(IDS_HISTORY_REPORT_TITLE) + "\r\n";
    text += TableString(IDS_HISTORY_REPORT_COLUMNS) + "\r\n";
    const DateTime from30 = DaysBack(view.now, kHistoryDays);
    for (const Session& row : view.rows) {
        if (row.end >= from30 && IsNews(row.cause)) {
            text += row.start.Format(kDateTimeFormat) + "\t" + row.end.Format(kDateTimeFormat) + "\t" +
                    RunningTimeText(row.end.SecondsSince(row.start)) + "\t" + CauseText(row.cause) + "\r\n";
        }
    }
    const HistoryTotals totals = Totals(view);
    text += "\r\n";
    for (const std::string& line : SummaryLines(totals)) {
        text += line + "\r\n";
    }
    text += FilledString(IDS_HISTORY_UNSEEN, {std::to_string(totals.unseen30)}) + "\r\n";
    return text;
}

}  // namespace velmo
