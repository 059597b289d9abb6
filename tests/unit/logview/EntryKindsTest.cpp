#include <gtest/gtest.h>

#include "base/CodePage.h"
#include "logview/EntryKinds.h"
#include "routerlog/LogStamp.h"

namespace velmo {
namespace {

constexpr EntryKind A = EntryKind::Access, L = EntryKind::Login, N = EntryKind::Line, O = EntryKind::Other;

struct Row {
    const char* line;  // UTF-8; "S " stands for a stamp of 2026/12/09 07:05:03
    EntryKind before;
    EntryKind kind;
    bool drop;
    const char* source;
    const char* port;
};

// The simulator's texts and other forms a router writes, as the capture puts
// them in the archive, each with its kind, drop, source and port.
const Row kRows[] = {
    {"S PPP up (IP address 198.51.100.23)", O, N, false, "", ""},
    {"S PPP up", O, N, false, "", ""},
    {"S PPP down (idle timeout)", O, N, true, "", ""},
    {"S PPP down", A, N, true, "", ""},
    {"S ダイヤルアップ接続を切断しました", O, N, true, "", ""},
    {"S ダイヤルアップ接続しました", O, N, false, "", ""},
    {"S   DNS server 192.0.2.53", N, N, false, "", ""},
    {"S   切断理由: 無通信タイマー", N, N, false, "", ""},
    {"                       DNS server 192.0.2.53", L, L, false, "", ""},
    {"S Administrator login from 192.0.2.10", O, L, false, "", ""},
    {"S Administrator logged out", O, L, false, "", ""},
    {"S 管理者がログインしました", O, L, false, "", ""},
    {"S Unrecognized access from 203.0.113.7:4312 to port 23", O, A, false, "203.0.113.7", "23"},
    {"S Unrecognized access from 203.0.113.7 to port 8080", O, A, false, "203.0.113.7", "8080"},
    {"S Unrecognized access from 203.0.113.7:4312", O, A, false, "203.0.113.7", "4312"},
    {"S Unrecognized access from 203.0.113.7", O, A, false, "203.0.113.7", ""},
    {"S Unrecognized access from [2001:db8::7]:4312 to port 22", O, A, false, "2001:db8::7", "22"},
    {"S Unrecognized access from 2001:db8::7 to port 22", O, A, false, "2001:db8::7", "22"},
    {"S Unrecognized access login from 203.0.113.8", O, A, false, "203.0.113.8", ""},
    {"S Unrecognized access", O, A, false, "", ""},
    {"S NTP time set", N, O, false, "", ""},
    {"not an entry at all", N, O, false, "", ""},
    {"S  ログの取得に失敗しました", A, O, false, "", ""},
    {"S  Last Log Update", A, O, false, "", ""},
};

std::string Line(const char* utf8) {
    std::string text = Utf8ToSjis(utf8);
    if (text.rfind("S ", 0) == 0) {
        text = FormatLogStamp(CalendarTime{2026, 12, 9, 7, 5, 3, 0}) + text.substr(2);
    }
    return text;
}

TEST(EntryKinds, RouterWordsGiveKindDropSourceAndPort) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.line);
        const std::string line = Line(row.line);
        const LineFacts facts = ReadLineFacts(line, row.before);
        EXPECT_EQ(facts.kind, row.kind);
        EXPECT_EQ(facts.drop, row.drop);
        EXPECT_EQ(facts.source, row.source);
        EXPECT_EQ(facts.port, row.port);
        EXPECT_EQ(facts.stamped, line[0] == '[');
        EXPECT_EQ(facts.day, facts.stamped ? DayNumber(2026, 12, 9) : kNoDay);
        EXPECT_EQ(facts.toolLine, IsUpdateMarkerLine(line) || IsFailureLine(line));
    }
    // Days count from 1970-01-01 both ways, leap days included.
    int year = 0, month = 0, day = 0;
    for (std::int32_t n : {-1, 0, 59, 11016, 20796, 2932896}) {
        DayDate(n, year, month, day);
        EXPECT_EQ(DayNumber(year, month, day), n);
    }
    DayDate(DayNumber(2024, 2, 29) + 1, year, month, day);
    EXPECT_EQ(month * 100 + day, 301);
}

}  // namespace
}  // namespace velmo
