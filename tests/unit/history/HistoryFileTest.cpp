// The record file: the running-time forms, a damaged file read past and
// appended to without losing a byte, and rows that wait in memory while the
// file cannot be written.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/CodePage.h"
#include "history/ConnectionRecord.h"
#include "history/HistoryFile.h"
#include "history/RunningTime.h"
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

}  // namespace
}  // namespace velmo
