// The record file: the running-time forms, a damaged file read past and
// appended to without losing a byte, and rows that wait in memory while the
// file cannot be written; the report in each language.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/CodePage.h"
#include "history/ConnectionRecord.h"
#include "history/HistoryFile.h"
#include "history/HistorySums.h"
#include "history/RunningTime.h"
#include "res/StringTable.h"
#include "tests/support/TempDirectory.h"

namespace velmo {
namespace {

TEST(RunningTime, ReadsHoursAndDayFormsAndRefusesTheRest) {
    const std::pair<const char*, std::int64_t> cases[] = {
        {"1:00:03", 3603},       {"01:02:03", 3723},      {"100:00:00", 360000},
        {"2日 3:04:05", 183845}, {"2d 03:04:05", 183845}, {"2日3:04:05", -1},
        {"1:60:00", -1},         {"接続中", -1},          {"", -1},
        {"12:34", -1},           {"d 1:00:00", -1}};
    for (const auto& [text, seconds] : cases) {
        EXPECT_EQ(RunningTimeSeconds(Utf8ToSjis(text)), seconds) << text;
    }
    EXPECT_EQ(RunningTimeText(183845), "51:04:05");
    SetTextLanguage(Language::English);
    EXPECT_EQ(ShownRunningTime(Utf8ToSjis("2日 3:04:05")), "2d 3:04:05");
    EXPECT_EQ(ShownRunningTime(Utf8ToSjis("2日3:04:05")), Utf8ToSjis("2日3:04:05"));
    SetTextLanguage(Language::Japanese);
    EXPECT_EQ(ShownRunningTime(Utf8ToSjis("2日 3:04:05")), Utf8ToSjis("2日 3:04:05"));
}

const DateTime kStart = DateTime::FromParts(2026, 12, 8, 10, 0, 0);

TEST(HistoryFile, DamagedLinesAreKeptAndReadPastAndRowsAppendOnALineOfTheirOwn) {
    testing::TempDirectory dir;
    const std::string row = HistoryRow({kStart, kStart.PlusSeconds(3603), EndCause::Drop});
    EXPECT_EQ(SjisToUtf8(row), "2026/12/08 10:00:00,2026/12/08 11:00:03,1:00:03,回線断\r\n");
    const std::string damaged = HistoryHeader() + row + "a foreign line\r\n" + row.substr(0, 30);
    dir.Write("record.csv", damaged);
    std::string reason;
    const Session later{kStart.PlusSeconds(7200), kStart.PlusSeconds(7260), EndCause::User};
    ASSERT_TRUE(AppendSessions(dir.File("record.csv"), {later}, reason));
    EXPECT_EQ(dir.Read("record.csv"), damaged + "\r\n" + HistoryRow(later));
    for (std::size_t block : {7u, 64u * 1024u}) {
        EXPECT_EQ(ReadRecentSessions(dir.File("record.csv"), kStart.PlusSeconds(3603), block),
                  (std::vector<Session>{{kStart, kStart.PlusSeconds(3603), EndCause::Drop}, later}));
        EXPECT_EQ(ReadRecentSessions(dir.File("record.csv"), kStart.PlusSeconds(3604), block),
                  std::vector<Session>{later});
    }
}

// The report for the provider speaks the tool's language; the record keeps its words.
TEST(HistorySums, TheReportSpeaksTheToolsLanguage) {
    const HistoryView view{{{kStart, kStart.PlusSeconds(3603), EndCause::Drop},
                            {kStart.PlusSeconds(7200), kStart.PlusSeconds(7260), EndCause::Unseen}},
                           std::nullopt,
                           kStart.PlusSeconds(4 * 3600)};
    const std::pair<Language, const char*> cases[] = {
        {Language::Japanese,
         "接続履歴（過去30日間の回線断と不明な終了）\r\n開始\t終了\t接続時間\t終了の理由\r\n"
         "2026/12/08 10:00:00\t2026/12/08 11:00:03\t1:00:03\t回線断\r\n"
         "2026/12/08 12:00:00\t2026/12/08 12:01:00\t0:01:00\t不明\r\n\r\n"
         "今月の接続時間: 1:01:03\r\n回線断: 7日間 1 回、30日間 1 回\r\n稼働率（30日）: 50.4%\r\n"
         "不明な終了: 30日間 1 回\r\n"},
        {Language::English,
         "Connection history (line drops and unknown ends in the last 30 days)\r\n"
         "Start\tEnd\tConnected for\tCause of the end\r\n"
         "2026/12/08 10:00:00\t2026/12/08 11:00:03\t1:00:03\tLine drop\r\n"
         "2026/12/08 12:00:00\t2026/12/08 12:01:00\t0:01:00\tUnknown\r\n\r\n"
         "Connected this month: 1:01:03\r\nLine drops: 1 in 7 days, 1 in 30 days\r\n"
         "Availability (30 days): 50.4%\r\nUnknown ends: 1 in 30 days\r\n"},
    };
    for (const auto& [language, report] : cases) {
        SetTextLanguage(language);
        EXPECT_EQ(SjisToUtf8(ReportText(view)), report);
        EXPECT_EQ(SjisToUtf8(HistoryRow(view.rows[0])),
                  "2026/12/08 10:00:00,2026/12/08 11:00:03,1:00:03,回線断\r\n");
    }
    SetTextLanguage(Language::Japanese);
}

}  // namespace
}  // namespace velmo
