#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/CodePage.h"
#include "base/ExclusiveFile.h"
#include "base/FileSystem.h"
#include "routerlog/LogFile.h"
#include "routerlog/LogStamp.h"
#include "tests/support/ReadOnlyFile.h"
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

TEST_F(LogFileTest, FailureLineIsCutAndOnlyEntriesTheFileLacksAreWritten) {
    const std::string before = "[2026/12/08 11:00:00]  a\r\n[2026/12/08 11:10:00]   " + FailureText() +
                               "\r\n[2026/12/08 11:10:00]   Last Log Update\r\n";
    EXPECT_EQ(
        Update(before, "[2026/12/08 10:59:59]  old\n[2026/12/08 11:00:00]  a\n[2026/12/08 11:20:00]  b\n"),
        "[2026/12/08 11:00:00]  a\r\n"
        "[2026/12/08 10:59:59]  old\r\n"
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

// Each case: the file's entries, the capture, what is written before the marker.
struct MatchCase {
    const char* what;
    std::string file;
    std::string capture;
    std::string written;
};

TEST_F(LogFileTest, EntriesAreMatchedByTextAndStampAndEachFileEntryOnlyOnce) {
    const std::string access = "Unrecognized access from 203.0.113.7:4312 to port 23";
    const std::string blanks(23, ' ');
    const MatchCase cases[] = {
        {"one copy in the file, two captured: the second is new", "[2026/12/08 11:00:00]  " + access + "\r\n",
         "[2026/12/08 11:00:00]  " + access + "\n[2026/12/08 11:00:00]  " + access + "\n",
         "[2026/12/08 11:00:00]  " + access + "\r\n"},
        {"two copies in the file, two captured: none",
         "[2026/12/08 11:00:00]  " + access + "\r\n[2026/12/08 11:00:00]  " + access + "\r\n",
         "[2026/12/08 11:00:00]  " + access + "\n[2026/12/08 11:00:00]  " + access + "\n", ""},
        {"stamps up to 3 s apart are one entry, 4 s apart are two",
         "[2026/12/08 11:00:00]  a\r\n[2026/12/08 11:00:00]  b\r\n",
         "[2026/12/08 11:00:03]  a\n[2026/12/08 11:00:04]  b\n", "[2026/12/08 11:00:04]  b\r\n"},
        {"the nearest stamp is used up, not the first",
         "[2026/12/08 11:00:00]  a\r\n[2026/12/08 11:00:03]  a\r\n",
         "[2026/12/08 11:00:02]  a\n[2026/12/08 11:00:05]  a\n", "[2026/12/08 11:00:05]  a\r\n"},
        {"the computer's clock was set back: the file's stamps lie ahead",
         "[2026/12/08 13:00:00]  a\r\n[2026/12/08 13:00:01]  b\r\n",
         "[2026/12/08 13:00:00]  a\n[2026/12/08 13:00:01]  b\n[2026/12/08 12:00:02]  c\n",
         "[2026/12/08 12:00:02]  c\r\n"},
        {"an entry dated in the future is written once",
         "[2026/12/08 11:00:00]  a\r\n[2027/01/01 00:00:00]  ahead\r\n",
         "[2026/12/08 11:00:00]  a\n[2027/01/01 00:00:00]  ahead\n[2026/12/08 11:00:05]  b\n",
         "[2026/12/08 11:00:05]  b\r\n"},
        {"a page listed newest first is written oldest first, sub-info after its entry",
         "[2026/12/08 11:00:00]  a\r\n",
         "[2026/12/08 11:00:09]  c\n[2026/12/08 11:00:05]  b\n[2026/12/08 11:00:05]    b's detail\n"
         "[2026/12/08 11:00:00]  a\n",
         "[2026/12/08 11:00:05]  b\r\n[2026/12/08 11:00:05]    b's detail\r\n[2026/12/08 11:00:09]  c\r\n"},
        {"a rebooted router's page shares nothing: all of it is new",
         "[2026/12/08 11:00:00]  a\r\n[2026/12/08 11:00:01]  b\r\n",
         "[2026/12/08 11:50:00]  a\n[2026/12/08 11:50:01]  b\n",
         "[2026/12/08 11:50:00]  a\r\n[2026/12/08 11:50:01]  b\r\n"},
        {"a sub-info line whose entry left the page matches its text at any stamp",
         "[2026/12/08 11:00:00]  up\r\n[2026/12/08 11:00:00]    DNS 192.0.2.53\r\n",
         blanks + "  DNS 192.0.2.53\n[2026/12/08 11:10:00]  down\n", "[2026/12/08 11:10:00]  down\r\n"},
        {"lines without a stamp of the tool's shape are compared whole",
         "[2026/12/08 11:00:00\x81]]  a\r\nno bracket\r\n",
         "no bracket\n[2026/12/08 11:00:00\x81]]  a\n[2026/12/08 11:00:00\x81\x40]  a\n",
         "[2026/12/08 11:00:00\x81\x40]  a\r\n"},
    };
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Update(c.file + "[2026/12/08 11:30:00]   Last Log Update\r\n", c.capture,
                         c.written.find("Unrecognized") != std::string::npos),
                  c.file + c.written + kMarker);
    }
}

TEST_F(LogFileTest, BurstOfIdenticalEntriesIsKeptOnceOverRepeatedCaptures) {
    const std::string line = "[2026/12/08 11:00:00]  Unrecognized access from 203.0.113.7:4312 to port 23";
    const std::string capture = line + "\n" + line + "\n";
    int warnings = 0;
    for (int capture_number = 1; capture_number <= 4; ++capture_number) {
        const DateTime now = kNow.PlusSeconds(capture_number * 60);
        const LogFileResult result = UpdateLogFile(name, capture, now);
        ASSERT_TRUE(result.written);
        warnings += result.accessWarning ? 1 : 0;
        EXPECT_EQ(FileBytes(), line + "\r\n" + line + "\r\n" + UpdateMarkerLine(now) + "\r\n");
    }
    EXPECT_EQ(warnings, 1);
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
    EXPECT_EQ(result.error, LogFileError::NotOpened);
    EXPECT_FALSE(result.errorText.empty());
    holder.Close();
    EXPECT_EQ(FileBytes(), "[2026/12/08 11:00:00]  a\r\n");
}

TEST_F(LogFileTest, MissingFolderOrEmptyNameWritesNothing) {
    const std::string inMissingFolder = directory.File("no-such-folder") + kPathSeparator + "syslog.txt";
    WriteFile("[2026/12/08 11:00:00]  a\r\n");
    const std::string throughAFile = name + kPathSeparator + "syslog.txt";
    for (const std::string& path : {inMissingFolder, std::string(), throughAFile}) {
        SCOPED_TRACE(path);
        const LogFileResult result = UpdateLogFile(path, "[2026/12/08 11:59:00]  a\n", kNow);
        EXPECT_FALSE(result.written);
        EXPECT_EQ(result.error, LogFileError::NotOpened);
        EXPECT_FALSE(result.errorText.empty());
    }
    EXPECT_FALSE(std::filesystem::exists("no-such-folder"));
}

TEST_F(LogFileTest, ReadOnlyFileIsLeftAlone) {
    WriteFile("[2026/12/08 11:00:00]  a\r\n");
    {
        const velmo::testing::ReadOnlyFile readOnly(name);
        ASSERT_FALSE(readOnly.Writable()) << "the file could not be made read-only";
        const LogFileResult result = UpdateLogFile(name, "[2026/12/08 11:59:00]  b\n", kNow);
        EXPECT_FALSE(result.written);
        EXPECT_EQ(result.error, LogFileError::NotOpened);
        EXPECT_FALSE(result.errorText.empty());
    }
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

TEST(MergeLogText, TailReadInBlocksOfAnySizeGivesTheSameMerge) {
    const std::string longLine = "[2026/12/08 10:00:00]  " + std::string(300, 'x');
    const std::string files[] = {
        "",
        "[2026/12/08 11:00:00]  a",
        "[2026/12/08 11:00:00]  a\r[2026/12/08 11:00:01]  b\r[2026/12/08 11:30:00]   Last Log Update\r",
        "[2026/12/08 11:00:00]  a\n[2026/12/08 11:00:01]  b\n[2026/12/08 11:30:00]   Last Log Update\n\n",
        "[2026/12/08 11:00:00]  a\r\n\r\n" + longLine + "\r\n[2026/12/08 11:00:01]  b\r\n",
        longLine + "\r\n[2026/12/08 11:10:00]   " + FailureText() +
            "\r\n[2026/12/08 11:10:00]   Last Log Update",
        "\r\n\r\r\n\n\r",
    };
    const std::string capture = "[2026/12/08 11:00:01]  b\n" + longLine + "\n[2026/12/08 11:00:02]  c\n";
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const LogMerge whole = MergeLogText(file, capture, kNow, 1 << 20);
        for (const std::size_t block : {1u, 2u, 3u, 7u, 64u}) {
            const LogMerge merge = MergeLogText(file, capture, kNow, block);
            EXPECT_EQ(merge.cutAt, whole.cutAt) << block;
            EXPECT_EQ(merge.appendText, whole.appendText) << block;
        }
    }
    // The long line is known when the file holds it, however it was read.
    const LogMerge known = MergeLogText(std::string(files[4]), capture, kNow, 5);
    EXPECT_EQ(known.appendText, "[2026/12/08 11:00:02]  c\r\n" + kMarker);
}

TEST(MergeLogText, CountsTheNewAccessEntriesAndKeepsTheNewest) {
    const LogMerge merge = MergeLogText("[2026/12/08 11:00:00]  Unrecognized access from 1.2.3.4\r\n",
                                        "[2026/12/08 11:00:00]  Unrecognized access from 1.2.3.4\n"
                                        "[2026/12/08 11:10:00]  Unrecognized access from 5.6.7.8\n"
                                        "[2026/12/08 11:20:00]  PPP up\n"
                                        "[2026/12/08 11:30:00]  Unrecognized access from 9.9.9.9\n",
                                        kNow);
    EXPECT_TRUE(merge.accessWarning);
    EXPECT_EQ(merge.accessCount, 2u);
    EXPECT_EQ(merge.newestAccessEntry, "[2026/12/08 11:30:00]  Unrecognized access from 9.9.9.9");
    EXPECT_EQ(merge.newEntries, 3u);
    EXPECT_FALSE(merge.failureLine);
    EXPECT_TRUE(MergeLogText("", FailureLine(kNow) + "\n", kNow).failureLine);
}

}  // namespace
}  // namespace velmo
