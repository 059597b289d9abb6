#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/CodePage.h"
#include "base/ExclusiveFile.h"
#include "base/FileSystem.h"
#include "routerlog/LogFile.h"
#include "tests/support/TempDirectory.h"

namespace velmo {
namespace {

const DateTime kNow = DateTime::FromParts(2026, 12, 8, 12, 0, 0);
const std::string kMarker = "[2026/12/08 12:00:00]   Last Log Update\r\n";

std::string FailureText() {
    return Utf8ToSjis("ログの取得に失敗しました");
}

class LogFileTest : public ::testing::Test {
  protected:
    void WriteFile(const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }
    std::string FileBytes() {
        std::string bytes;
        EXPECT_TRUE(ReadFileBytes(name, bytes));
        return bytes;
    }
    // Merges `capture` into a file holding `before`; returns the file after.
    std::string Update(const std::string& before, const std::string& capture, bool expectWarning = false) {
        WriteFile(before);
        const LogFileResult result = UpdateLogFile(name, capture, kNow);
        EXPECT_TRUE(result.written);
        EXPECT_EQ(result.accessWarning, expectWarning);
        return FileBytes();
    }

    testing::ScopedCurrentDirectory directory;
    std::string name = directory.File("syslog.txt");
};

TEST_F(LogFileTest, NewFileReceivesTheLinesAndOneMarker) {
    const LogFileResult result =
        UpdateLogFile(name, "[2026/12/08 11:00:00]  a\n" + std::string(23, ' ') + "b\n", kNow);
    EXPECT_TRUE(result.written);
    EXPECT_FALSE(result.accessWarning);
    EXPECT_EQ(FileBytes(), "[2026/12/08 11:00:00]  a\r\n" + std::string(23, ' ') + "b\r\n" + kMarker);
}

TEST_F(LogFileTest, PreviousMarkerIsReplacedAndTheLastEntryDecidesWhatIsNew) {
    const std::string before =
        "[2026/12/08 10:59:00]  older\r\n"
        "[2026/12/08 11:00:00]  a\r\n"
        "[2026/12/08 11:30:00]   Last Log Update\r\n";
    EXPECT_EQ(Update(before,
                     "[2026/12/08 10:59:00]  older\n"
                     "[2026/12/08 11:00:00]  a\n"
                     // Logged while the previous capture was logging out: older
                     // than that capture's marker, but not in the file.
                     "[2026/12/08 11:29:58]  during the logout\n"
                     "[2026/12/08 11:59:00]  b\n"),
              "[2026/12/08 10:59:00]  older\r\n"
              "[2026/12/08 11:00:00]  a\r\n"
              "[2026/12/08 11:29:58]  during the logout\r\n"
              "[2026/12/08 11:59:00]  b\r\n" +
                  kMarker);
}

TEST_F(LogFileTest, EntriesOfTheLastEntrysSecondAreNotWrittenTwice) {
    const std::string entries = "[2026/12/08 11:00:00]  a\r\n[2026/12/08 11:00:00]  b\r\n";
    EXPECT_EQ(Update(entries + "[2026/12/08 11:00:00]   Last Log Update\r\n",
                     "[2026/12/08 11:00:00]  a\n[2026/12/08 11:00:00]  b\n[2026/12/08 11:00:00]  c\n"),
              entries + "[2026/12/08 11:00:00]  c\r\n" + kMarker);
}

TEST_F(LogFileTest, NoNewEntriesLeavesTheEntriesAndANewMarker) {
    const std::string entries = "[2026/12/08 11:00:00]  a\r\n";
    EXPECT_EQ(Update(entries + "[2026/12/08 11:30:00]   Last Log Update\r\n", ""), entries + kMarker);
    EXPECT_EQ(Update(entries + kMarker, "[2026/12/08 11:00:00]  a\n"), entries + kMarker);
}

TEST_F(LogFileTest, LastLineOfTheFileIsNotWrittenTwice) {
    const std::string entries = "[2026/12/08 11:00:00]  a\r\n[2026/12/08 11:00:00]  b\r\n";
    EXPECT_EQ(
        Update(entries, "[2026/12/08 11:00:00]  a\n[2026/12/08 11:00:00]  b\n[2026/12/08 11:00:01]  c\n"),
        entries + "[2026/12/08 11:00:01]  c\r\n" + kMarker);
}

TEST_F(LogFileTest, FailureLineIsCutAndTheLastEntryKeyIsWrittenAgain) {
    const std::string before = "[2026/12/08 11:00:00]  a\r\n[2026/12/08 11:10:00]   " + FailureText() +
                               "\r\n[2026/12/08 11:10:00]   Last Log Update\r\n";
    EXPECT_EQ(
        Update(before, "[2026/12/08 10:59:59]  old\n[2026/12/08 11:00:00]  a\n[2026/12/08 11:20:00]  b\n"),
        "[2026/12/08 11:00:00]  a\r\n"
        "[2026/12/08 11:00:00]  a\r\n"
        "[2026/12/08 11:20:00]  b\r\n" +
            kMarker);
}

TEST_F(LogFileTest, FailedCaptureAddsAFailureLineThatTheNextCaptureReplaces) {
    const std::string entries = "[2026/12/08 11:00:00]  a\r\n";
    const std::string failed = Update(entries + kMarker, "[2026/12/08 12:00:00]   " + FailureText() + "\n");
    EXPECT_EQ(failed, entries + "[2026/12/08 12:00:00]   " + FailureText() + "\r\n" + kMarker);
    EXPECT_EQ(Update(failed, "[2026/12/08 11:59:00]  b\n"),
              entries + "[2026/12/08 11:59:00]  b\r\n" + kMarker);
}

TEST_F(LogFileTest, LinesBeforeTheLastKeyAreDroppedWithWhateverPrecedesThem) {
    const std::string entries = "[2026/12/08 11:00:00]  a\r\n";
    EXPECT_EQ(Update(entries,
                     "no bracket\n"
                     "[2026/12/08 10:00:00]  older\n"
                     "also no bracket\n"
                     "[2026/12/08 11:00:01]  newer\n"
                     "[2026/12/08 10:00:00]  older again, after a newer one\n"),
              entries +
                  "also no bracket\r\n"
                  "[2026/12/08 11:00:01]  newer\r\n"
                  "[2026/12/08 10:00:00]  older again, after a newer one\r\n" +
                  kMarker);
}

TEST_F(LogFileTest, AccessWarningOnlyForNewLines) {
    const std::string entries = "[2026/12/08 11:00:00]  Unrecognized access from 1.2.3.4\r\n";
    const std::string before = entries + "[2026/12/08 11:30:00]   Last Log Update\r\n";
    Update(before, "[2026/12/08 11:00:00]  Unrecognized access from 1.2.3.4\n", false);
    Update(before, "[2026/12/08 11:40:00]  Unrecognized access from 5.6.7.8\n", true);
    Update(before, "[2026/12/08 11:40:00]  unrecognized access\n", false);
}

TEST_F(LogFileTest, FileHeldByAnotherOpenerIsLeftAlone) {
    WriteFile("[2026/12/08 11:00:00]  a\r\n");
    ExclusiveFile holder;
    ASSERT_TRUE(holder.Open(name));
    const LogFileResult result = UpdateLogFile(name, "[2026/12/08 11:59:00]  Unrecognized access\n", kNow);
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(result.accessWarning);
    holder.Close();
    EXPECT_EQ(FileBytes(), "[2026/12/08 11:00:00]  a\r\n");
}

TEST_F(LogFileTest, MissingFolderOrEmptyNameWritesNothing) {
    const std::string inMissingFolder = directory.File("no-such-folder") + kPathSeparator + "syslog.txt";
    EXPECT_FALSE(UpdateLogFile(inMissingFolder, "[2026/12/08 11:59:00]  a\n", kNow).written);
    EXPECT_FALSE(std::filesystem::exists("no-such-folder"));
    EXPECT_FALSE(UpdateLogFile("", "[2026/12/08 11:59:00]  a\n", kNow).written);
}

TEST_F(LogFileTest, ReadOnlyFileIsLeftAlone) {
    WriteFile("[2026/12/08 11:00:00]  a\r\n");
    std::filesystem::permissions(name,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    if (std::ofstream(name, std::ios::app).is_open()) {
        GTEST_SKIP() << "this user may write read-only files";
    }
    EXPECT_FALSE(UpdateLogFile(name, "[2026/12/08 11:59:00]  b\n", kNow).written);
    EXPECT_EQ(FileBytes(), "[2026/12/08 11:00:00]  a\r\n");
}

TEST_F(LogFileTest, CarriageReturnAloneEndsALineToo) {
    EXPECT_EQ(Update("[2026/12/08 11:00:00]  a\r[2026/12/08 11:30:00]   Last Log Update\r",
                     "[2026/12/08 11:59:00]  b\n"),
              "[2026/12/08 11:00:00]  a\r[2026/12/08 11:59:00]  b\r\n" + kMarker);
    EXPECT_EQ(Update("[2026/12/08 11:00:00]  a\n[2026/12/08 11:30:00]   Last Log Update\n\r\n",
                     "[2026/12/08 11:59:00]  b\n"),
              "[2026/12/08 11:00:00]  a\n[2026/12/08 11:59:00]  b\r\n" + kMarker);
}

TEST_F(LogFileTest, LastLineWithoutLineEndIsEndedBeforeTheNewLines) {
    EXPECT_EQ(Update("[2026/12/08 11:00:00]  a", "[2026/12/08 11:59:00]  b\n"),
              "[2026/12/08 11:00:00]  a\r\n[2026/12/08 11:59:00]  b\r\n" + kMarker);
}

TEST_F(LogFileTest, RouterEntriesThatOnlyMentionTheToolsWordsAreKept) {
    const std::string before = "[2026/12/08 11:00:00]  x " + FailureText() +
                               "\r\n"
                               "[2026/12/08 11:10:00]  a\r\n"
                               "[2026/12/08 11:20:00]  see Last Log Update\r\n";
    EXPECT_EQ(Update(before, "[2026/12/08 11:59:00]  b\n"),
              before + "[2026/12/08 11:59:00]  b\r\n" + kMarker);
}

TEST_F(LogFileTest, LinesAfterTheMarkerOrFailureLineAreNeverCut) {
    const std::string before = "[2026/12/08 11:00:00]  a\r\n[2026/12/08 11:10:00]   " + FailureText() +
                               "\r\n[2026/12/08 11:10:00]   Last Log Update\r\nnote added by hand\r\n";
    EXPECT_EQ(Update(before, "[2026/12/08 11:59:00]  b\n"),
              before + "[2026/12/08 11:59:00]  b\r\n" + kMarker);
}

TEST(MergeLogText, LongBinaryLinesAndOddBracketsKeepEveryByte) {
    std::string longLine(100 * 1024, 'x');
    for (std::size_t i = 0; i < longLine.size(); i += 97) {
        longLine[i] = static_cast<char>(i % 256);  // NUL and binary bytes included, CR and LF too
    }
    const std::string content = "]]]\r\n" + longLine + "\r\n[2026/12/08 11:00:00]  a]b\r\n\x81]\r\n";
    const LogMerge merge = MergeLogText(content, "[2026/12/08 11:59:00]  b\n", kNow);
    EXPECT_EQ(merge.cutAt, content.size());
    EXPECT_EQ(merge.appendText, "[2026/12/08 11:59:00]  b\r\n" + kMarker);
}

TEST(MergeLogText, KeyNeverEndsOnATrailByte) {
    // 0x81 0x5D is one double-byte character whose trail byte is "]": the
    // file's key runs to the second "]". Read byte by byte it would end at the
    // first, and the older capture line (0x81 0x40 sorts before 0x81 0x5D)
    // would be taken for a newer one.
    const std::string content = "[2026/12/08 11:00:00\x81]]  a\r\n";
    const LogMerge merge =
        MergeLogText(content, "[2026/12/08 11:00:00\x81\x40]  older\n[2026/12/08 11:00:01]  b\n", kNow);
    EXPECT_EQ(merge.appendText, "[2026/12/08 11:00:01]  b\r\n" + kMarker);
}

}  // namespace
}  // namespace velmo
