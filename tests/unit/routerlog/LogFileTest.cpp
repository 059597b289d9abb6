#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/CodePage.h"
#include "base/ExclusiveFile.h"
#include "base/FileSystem.h"
#include "routerlog/LogFile.h"
#include "routerlog/LogStamp.h"
#include "routerlog/SystemLogPage.h"
#include "sim/LogPageBuilder.h"
#include "tests/support/MemoryLogFile.h"
#include "tests/support/ReadOnlyFile.h"
#include "tests/support/TempDirectory.h"

namespace velmo {
namespace {

const DateTime kNow = DateTime::FromParts(2026, 12, 8, 12, 0, 0);
const std::string kMarker = "[2026/12/08 12:00:00]   Last Log Update\r\n";

std::string FailureText() {
    return Utf8ToSjis("ログの取得に失敗しました");
}

// A capture written as log lines ending in LF: a stamp or 23 blanks, then
// the text; a text that begins with two blanks is a sub-info entry, as the
// simulator writes them. Every filter is on.
CapturedLog Capture(const std::string& lines) {
    CapturedLog capture;
    capture.filters = LogFilters{true, true, true};
    std::int64_t ageMs = 0;  // a later stamp, a younger entry
    for (std::size_t start = 0, end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = lines.substr(start, end - start);
        std::int64_t seconds = 0;
        LogEntry entry{std::nullopt, 0, line.substr(23), line.substr(23, 2) == "  "};
        if (LogStampSeconds(line, seconds)) {
            entry.stamp = DateTime().PlusSeconds(seconds);
            ageMs = entry.subInfo ? ageMs : -seconds * 1000;
        }
        entry.ageMs = ageMs;
        capture.entries.push_back(entry);
    }
    return capture;
}

CapturedLog Failed(DateTime at) {
    CapturedLog capture;
    capture.failedAt = at;
    return capture;
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
    std::string Update(const std::string& before, const CapturedLog& capture, bool expectWarning = false,
                       DateTime now = kNow) {
        WriteFile(before);
        const CaptureResult result = UpdateLogFile(name, capture, now);
        EXPECT_TRUE(result.written);
        EXPECT_EQ(result.accessWarning, expectWarning);
        return FileBytes();
    }
    std::string Update(const std::string& before, const std::string& lines, bool expectWarning = false) {
        return Update(before, Capture(lines), expectWarning);
    }

    testing::ScopedCurrentDirectory directory;
    std::string name = directory.File("syslog.txt");
};

TEST_F(LogFileTest, NewFileReceivesTheLinesAndOneMarker) {
    const CaptureResult result =
        UpdateLogFile(name, Capture("[2026/12/08 11:00:00]  a\n" + std::string(23, ' ') + "b\n"), kNow);
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
    // Within the second the router's ages in milliseconds tell them apart:
    // a and b were on the earlier page, c was logged after it was read.
    CapturedLog page =
        Capture("[2026/12/08 11:00:00]  a\n[2026/12/08 11:00:00]  b\n[2026/12/08 11:00:00]  c\n");
    for (std::size_t i = 0; i < page.entries.size(); ++i) {
        page.entries[i].ageMs -= static_cast<std::int64_t>(300 * i);
    }
    EXPECT_EQ(Update(entries + "[2026/12/08 11:00:00]   Last Log Update\r\n", page),
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

TEST_F(LogFileTest, FailedCaptureAddsAFailureLineThatTheNextCaptureReplaces) {
    const std::string entries = "[2026/12/08 11:00:00]  a\r\n";
    const std::string failed = Update(entries + kMarker, Failed(kNow));
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

TEST_F(LogFileTest, EntriesAreMatchedByTextStampAndPlace) {
    const std::string access = "Unrecognized access from 203.0.113.7:4312 to port 23";
    const std::string blanks(23, ' ');
    const MatchCase cases[] = {
        {"one copy in the file, two of one moment captured long after it: the earlier page held both or "
         "neither, so both are new",
         "[2026/12/08 11:00:00]  " + access + "\r\n",
         "[2026/12/08 11:00:00]  " + access + "\n[2026/12/08 11:00:00]  " + access + "\n",
         "[2026/12/08 11:00:00]  " + access + "\r\n[2026/12/08 11:00:00]  " + access + "\r\n"},
        {"two copies in the file, two captured: none",
         "[2026/12/08 11:00:00]  " + access + "\r\n[2026/12/08 11:00:00]  " + access + "\r\n",
         "[2026/12/08 11:00:00]  " + access + "\n[2026/12/08 11:00:00]  " + access + "\n", ""},
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
    };
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Update(c.file + "[2026/12/08 11:30:00]   Last Log Update\r\n", c.capture,
                         c.written.find("Unrecognized") != std::string::npos),
                  c.file + c.written + kMarker);
    }
}

// What the tool reads at `read` from a log page that lists `listed` in this order.
CapturedLog ReadPage(const std::vector<LogPageEntry>& listed, DateTime read, const LogFilters& filters) {
    CapturedLog capture;
    capture.filters = filters;
    EXPECT_EQ(ParseSystemLogPage(SystemLogPageBody(listed), read.ToFileTime(), capture.entries),
              LogPageOutcome::EntriesRead);
    return capture;
}

// Each row: the file's entries, the page read at 10:00:10, the filters, what
// is written before the marker.
struct ReproductionRow {
    const char* what;
    std::string file;
    std::vector<LogPageEntry> page;
    LogFilters filters;
    std::string written;
};

// A page of 50 entries, 45 of them the tool's own logins, all in the file;
// then the login filter is switched off.
ReproductionRow LoginFilterSwitchedOff() {
    ReproductionRow row{"a filter switched off neither writes nor announces old entries", "", {}, {}, ""};
    row.filters = LogFilters{false, true, true};
    const DateTime read = DateTime::FromParts(2026, 12, 8, 10, 0, 10);
    for (int i = 0; i < 50; ++i) {
        const int ago = (50 - i) * 60;
        const std::string text = i % 10 != 3
                                     ? "admin login from 127.0.0.1"
                                     : (i == 23 ? "Unrecognized access from 203.0.113.7:4312 to port 23"
                                                : "PPP up " + std::to_string(i));
        row.file += FormatLogStamp(read.PlusSeconds(-ago).Calendar()) + text + "\r\n";
        row.page.push_back({ago * 1000, text});
    }
    return row;
}

TEST_F(LogFileTest, ReproductionsOfLostAndDoubledEntries) {
    const LogFilters all{true, true, true};
    const std::string x = "Unrecognized access from 203.0.113.7:4312 to port 23";
    const std::string dns = "  DNS server 192.0.2.53";
    const ReproductionRow rows[] = {
        {"a repeated sub-info text is written again after its older blank-stamped copy",
         "[2026/12/08 09:00:00]  PPP up\r\n" + std::string(23, ' ') + dns + "\r\n",
         {{60000, "PPP up"}, {{}, dns}},
         all,
         "[2026/12/08 09:59:10]  PPP up\r\n[2026/12/08 09:59:10]  " + dns + "\r\n"},
        {"the same text 2 s later where the log wrapped is a new entry",
         "[2026/12/08 10:00:00]  " + x + "\r\n",
         {{8000, x}},
         all,
         "[2026/12/08 10:00:02]  " + x + "\r\n"},
        {"copies of one text whose stamps agree only 2 s off are written again rather than maybe lost",
         "[2026/12/08 10:00:00]  " + x + "\r\n[2026/12/08 10:00:02]  " + x + "\r\n",
         {{8000, x}, {6000, x}, {4000, x}},
         all,
         "[2026/12/08 10:00:04]  " + x + "\r\n[2026/12/08 10:00:06]  " + x + "\r\n"},
        LoginFilterSwitchedOff(),
        {"a lead byte before a quote stands alone and swallows nothing",
         "",
         {{3000, "name=ab\x83"}, {2000, "PPP down"}, {1000, "PPP up"}},
         all,
         "[2026/12/08 10:00:07]  name=ab\x83\r\n[2026/12/08 10:00:08]  PPP down\r\n"
         "[2026/12/08 10:00:09]  PPP up\r\n"},
        {"a newest-first page within one second is ordered by the router's ages",
         "",
         {{5100, "PPP up"}, {{}, dns}, {5400, "PPP down"}},
         all,
         "[2026/12/08 10:00:04]  PPP down\r\n[2026/12/08 10:00:04]  PPP up\r\n[2026/12/08 10:00:04]  " + dns +
             "\r\n"},
    };
    const DateTime read = DateTime::FromParts(2026, 12, 8, 10, 0, 10);
    const std::string marker = UpdateMarkerLine(read) + "\r\n";
    for (const ReproductionRow& row : rows) {
        SCOPED_TRACE(row.what);
        const bool warns = row.written.find("Unrecognized") != std::string::npos;
        EXPECT_EQ(Update(row.file + "[2026/12/08 10:00:01]   Last Log Update\r\n",
                         ReadPage(row.page, read, row.filters), warns, read),
                  row.file + row.written + marker);
    }
}

TEST_F(LogFileTest, BurstOfIdenticalEntriesIsKeptOnceOverRepeatedCaptures) {
    const std::string line = "[2026/12/08 11:00:00]  Unrecognized access from 203.0.113.7:4312 to port 23";
    const std::string capture = line + "\n" + line + "\n";
    int warnings = 0;
    for (int capture_number = 1; capture_number <= 4; ++capture_number) {
        const DateTime now = kNow.PlusSeconds(capture_number * 60);
        const CaptureResult result = UpdateLogFile(name, Capture(capture), now);
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
    const CaptureResult result =
        UpdateLogFile(name, Capture("[2026/12/08 11:59:00]  Unrecognized access\n"), kNow);
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
        const CaptureResult result = UpdateLogFile(path, Capture("[2026/12/08 11:59:00]  a\n"), kNow);
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
        const CaptureResult result = UpdateLogFile(name, Capture("[2026/12/08 11:59:00]  b\n"), kNow);
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
    LogWrite write;
    MergeLogText(content, Capture("[2026/12/08 11:59:00]  b\n"), kNow, write);
    EXPECT_EQ(write.cutAt, content.size());
    EXPECT_EQ(write.appendText, "[2026/12/08 11:59:00]  b\r\n" + kMarker);
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
    const CapturedLog capture = Capture(longLine + "\n[2026/12/08 11:00:01]  b\n[2026/12/08 11:00:02]  c\n");
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        LogWrite whole;
        MergeLogText(file, capture, kNow, whole, 1 << 20);
        for (const std::size_t block : {1u, 2u, 3u, 7u, 64u}) {
            LogWrite write;
            MergeLogText(file, capture, kNow, write, block);
            EXPECT_EQ(write.cutAt, whole.cutAt) << block;
            EXPECT_EQ(write.appendText, whole.appendText) << block;
        }
    }
    // The long line is known when the file holds it, however it was read.
    LogWrite known;
    MergeLogText(std::string(files[4]), capture, kNow, known, 5);
    EXPECT_EQ(known.appendText, "[2026/12/08 11:00:02]  c\r\n" + kMarker);
}

TEST(MergeLogText, CountsTheNewAccessEntriesAndKeepsTheNewest) {
    LogWrite write;
    const CaptureResult merge =
        MergeLogText("[2026/12/08 11:00:00]  Unrecognized access from 1.2.3.4\r\n",
                     Capture("[2026/12/08 11:00:00]  Unrecognized access from 1.2.3.4\n"
                             "[2026/12/08 11:10:00]  Unrecognized access from 5.6.7.8\n"
                             "[2026/12/08 11:20:00]  PPP up\n"
                             "[2026/12/08 11:30:00]  Unrecognized access from 9.9.9.9\n"),
                     kNow, write);
    EXPECT_TRUE(merge.accessWarning);
    EXPECT_EQ(merge.accessCount, 2u);
    EXPECT_EQ(merge.newestAccessEntry, "[2026/12/08 11:30:00]  Unrecognized access from 9.9.9.9");
    EXPECT_EQ(merge.newEntries, 3u);
    EXPECT_FALSE(merge.failureLine);
}

// A page of the router's log at `tick` (ms): entries logged at these ticks,
// each stamped once for all captures; ages in ms; every filter on.
CapturedLog PageAt(std::uint64_t tick, const std::vector<std::pair<std::int64_t, std::string>>& logged) {
    CapturedLog capture;
    capture.filters = LogFilters{true, true, true};
    capture.ticks = FetchTicks{tick - 5, tick + 5};
    for (const auto& [at, text] : logged) {
        const bool subInfo = text.starts_with("  ");
        const std::int64_t timedAt =
            subInfo ? capture.entries.back().ageMs : static_cast<std::int64_t>(tick) - at;
        capture.entries.push_back(LogEntry{kNow.PlusSeconds(-100000 + at / 1000), timedAt, text, subInfo});
    }
    return capture;
}

// A newest-first router whose page cannot show its order: a burst of one age
// and an entry dated ahead (logged before the router's clock was set). The
// next page shows the order; the burst is on both pages and is found again.
TEST(WriteCapture, APageWhoseOrderShowsOnlyLaterIsReadInTheOrderItShows) {
    const std::string access = "Unrecognized access from 203.0.113.9:80 to port 8080";
    const LogEntry ahead{kNow.PlusSeconds(43200), -43200000, "NTP time set", false};
    CapturedLog first;
    first.filters = LogFilters{true, true, true};
    first.ticks = FetchTicks{100000, 100200};
    first.entries.assign(5, LogEntry{kNow.PlusSeconds(-40), 40000, access, false});
    first.entries.push_back(ahead);
    CapturedLog second = first;
    second.ticks = FetchTicks{107000, 107200};
    second.entries.assign(5, LogEntry{kNow.PlusSeconds(-40), 47000, access, false});
    second.entries.insert(second.entries.begin(), LogEntry{kNow.PlusSeconds(-4), 4000, "PPP up", false});
    testing::MemoryLogFile file("", "");
    WriteCapture(file, file.ledger, first, kNow);
    const CaptureResult result = WriteCapture(file, file.ledger, second, kNow);
    EXPECT_EQ(result.choices.ledgerReadings, 1u);
    EXPECT_EQ(result.newEntries, 1u);
    std::size_t copies = 0;
    for (std::size_t at = file.log.find(access); at != std::string::npos;
         at = file.log.find(access, at + 1)) {
        ++copies;
    }
    EXPECT_EQ(copies, 5u) << file.log;
}

TEST(WriteCapture, AKillAtAnyByteOfAnyWriteLeavesEveryEntryOnceAndNoFragment) {
    const std::string access = "Unrecognized access from 203.0.113.7:4312 to port 23";
    const CapturedLog first = PageAt(100000, {{40000, "PPP up"}, {90000, "NTP time set"}});
    const CapturedLog second = PageAt(160000, {{40000, "PPP up"},
                                               {90000, "NTP time set"},
                                               {130000, access},
                                               {140000, "PPP up"},
                                               {140000, "  DNS server 192.0.2.53"}});
    const CapturedLog third = PageAt(220000, {{90000, "NTP time set"},
                                              {130000, access},
                                              {140000, "PPP up"},
                                              {140000, "  DNS server 192.0.2.53"},
                                              {200000, "PPP down"}});
    // Without a kill.
    testing::MemoryLogFile whole("", "");
    for (const CapturedLog* capture : {&first, &second, &third}) {
        const CaptureResult result = WriteCapture(whole, whole.ledger, *capture, kNow);
        EXPECT_EQ(result.choices.ledgerReadings, capture == &first ? 0u : 1u);
        CaptureLedger read;
        EXPECT_TRUE(ParseLedger(whole.ledger, read) && read == *result.ledger);
    }
    testing::MemoryLogFile before("", "");
    WriteCapture(before, before.ledger, first, kNow);
    for (int stopAt = 1;; ++stopAt) {
        for (std::size_t bytes = 0;; ++bytes) {
            SCOPED_TRACE("stopped in call " + std::to_string(stopAt) + " after " + std::to_string(bytes) +
                         " bytes");
            testing::MemoryLogFile killed = before;
            killed.calls = 0;
            killed.stopAt = stopAt;
            killed.bytesOfLast = bytes;
            WriteCapture(killed, killed.ledger, second, kNow);
            if (!killed.Killed()) {
                return;  // the calls ran out: every one was stopped
            }
            // The tool starts again: the window's ledger is gone, the file's stays.
            const bool accessWhole = killed.log.find(access + "\r\n") != std::string::npos;
            testing::MemoryLogFile next(killed.log, killed.ledger);
            const CaptureResult result = WriteCapture(next, next.ledger, third, kNow);
            EXPECT_EQ(next.log, whole.log);
            EXPECT_EQ(result.accessCount, accessWhole ? 0u : 1u);
            if (bytes + 1 >= killed.stoppedWrite) {
                break;  // every byte of this call, or a call that is all or nothing
            }
        }
    }
}

}  // namespace
}  // namespace velmo
