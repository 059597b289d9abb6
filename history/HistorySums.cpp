#include "history/HistorySums.h"

#include <algorithm>
#include <cstdio>

#include "base/CodePage.h"
#include "history/RunningTime.h"

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

std::string Utf8Printf(const char* format, long long a, long long b = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return Utf8ToSjis(text);
}

std::string Availability(const HistoryTotals& totals) {
    if (totals.seenSeconds30 == 0) {
        return Utf8ToSjis("稼働率（30日）: -");
    }
    const long long permille = totals.upSeconds30 * 1000 / totals.seenSeconds30;
    return Utf8Printf("稼働率（30日）: %lld.%lld%%", permille / 10, permille % 10);
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
    return {Utf8ToSjis("今月の接続時間: ") + RunningTimeText(totals.monthUpSeconds),
            Utf8Printf("回線断: 7日間 %lld 回、30日間 %lld 回", totals.drops7, totals.drops30),
            Availability(totals)};
}

std::string ReportText(const HistoryView& view) {
    std::string text = Utf8ToSjis("接続履歴（過去30日間の回線断と不明な終了）\r\n");
    text += Utf8ToSjis("開始\t終了\t接続時間\t終了の理由\r\n");
    const DateTime from30 = DaysBack(view.now, kHistoryDays);
    for (const Session& row : view.rows) {
        if (row.end >= from30 && IsNews(row.cause)) {
            text += row.start.Format(kDateTimeFormat) + "\t" + row.end.Format(kDateTimeFormat) + "\t" +
                    RunningTimeText(row.end.SecondsSince(row.start)) + "\t" + CauseWord(row.cause) + "\r\n";
        }
    }
    const HistoryTotals totals = Totals(view);
    text += "\r\n";
    for (const std::string& line : SummaryLines(totals)) {
        text += line + "\r\n";
    }
    text += Utf8Printf("不明な終了: 30日間 %lld 回", totals.unseen30) + "\r\n";
    return text;
}

}  // namespace velmo
