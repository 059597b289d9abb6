// The archive as the captures write it, step by step (the merge on strings,
// failures among them), with foreign bytes now and then: an overlong line,
// invalid Shift-JIS, a last line without its end. After every step the index
// extended from the one before (and left alone while a capture holds the
// file) must equal the index built from nothing, and
// the rows of a random filter, from the runs or from the search, must be
// exactly the lines a plain line-by-line reading shows.
#include <gtest/gtest.h>

#include <random>

#include "base/CodePage.h"
#include "base/SjisText.h"
#include "logview/DayCounts.h"
#include "logview/LogRows.h"
#include "logview/LogSearch.h"
#include "routerlog/LogFile.h"
#include "routerlog/LogStamp.h"

namespace velmo {
namespace {

const char* const kTexts[] = {
    "PPP up (IP address 198.51.100.23)",
    "Administrator login from 192.0.2.10",
    "Unrecognized access from 203.0.113.7:4312 to port 23",
    "Unrecognized access from [2001:db8::7]:80 to port 8080",
    "Unrecognized access from 198.51.100.9",
    "Administrator logged out",
    "ダイヤルアップ接続を切断しました",
    "PPP down (idle timeout)",
    "NTP time set",
};
const char* const kSubTexts[] = {"  DNS server 192.0.2.53", "  切断理由: 無通信タイマー"};
const char* const kNeedles[] = {"", "", "203.0.113", "ppp UP", "切断", "xx", "dns"};
// Sources of kTexts, and one that only begins like one.
const char* const kSources[] = {"203.0.113.7", "2001:db8::7", "198.51.100.9", "203.0.113.70"};

std::string Lower(std::string text) {
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c;
    }
    return text;
}

// The shown lines' offsets and kinds, reading the archive line by line.
std::vector<std::pair<std::uint64_t, EntryKind>> PlainRows(const std::string& file, const RowFilter& filter) {
    std::vector<std::pair<std::uint64_t, EntryKind>> shown;
    EntryKind before = EntryKind::Other;
    for (std::size_t at = 0; at < file.size();) {
        std::size_t newline = file.find('\n', at);
        std::size_t rest = (newline == std::string::npos ? file.size() : newline) - at;
        std::size_t length = rest > kMaxLineBytes ? kMaxLineBytes : rest;
        std::string line = file.substr(at, length);
        const std::size_t next = rest > kMaxLineBytes ? at + kMaxLineBytes : at + rest + 1;
        if (length == rest && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const LineFacts facts = ReadLineFacts(line, before);
        before = facts.continuation || facts.toolLine ? before : facts.kind;
        if (PassesKindAndSource(facts, filter) &&
            (filter.text.empty() || SjisFind(Lower(line), Lower(filter.text)) != npos)) {
            shown.emplace_back(at, facts.kind);
        }
        at = next;
    }
    return shown;
}

void CheckRows(const std::string& file, const LogIndex& index, const RowFilter& filter) {
    ArchiveString bytes(file);
    LogRows rows;
    if (filter.NeedsScan()) {
        SearchArchive(bytes, index, file.size(), 0, filter, NeverCancelled(),
                      [&](std::vector<RowSegment>&& found, std::uint64_t) {
                          for (const RowSegment& segment : found) {
                              rows.Append(segment);
                          }
                      });
    } else {
        const std::string tail = file.substr(index.coveredSize);
        IndexRows(index, filter, file.size(),
                  CountShownLines(index.coveredSize, tail, index.lastKind, filter), rows);
    }
    std::vector<ShownRow> shown;
    RowReader reader;
    ASSERT_TRUE(reader.Read(bytes, rows, filter, 0, SIZE_MAX, shown));
    std::vector<std::pair<std::uint64_t, EntryKind>> offsets;
    for (const ShownRow& row : shown) {
        offsets.emplace_back(row.offset, row.kind);
    }
    EXPECT_EQ(rows.Count(), shown.size());
    EXPECT_EQ(offsets, PlainRows(file, filter));
}

// The archive while a capture holds it: its size shows, its bytes do not.
class HeldBytes final : public ArchiveBytes {
  public:
    explicit HeldBytes(const std::string& bytes) : bytes_(bytes) {}
    ReadResult Size(std::uint64_t& size) override { return ArchiveString(bytes_).Size(size); }
    ReadResult ReadAt(std::uint64_t, char*, std::size_t, std::size_t& got) override {
        got = 0;
        return ReadResult::Locked;
    }

  private:
    const std::string& bytes_;
};

CapturedLog Capture(std::mt19937_64& random, DateTime now) {
    CapturedLog capture;
    capture.filters = LogFilters{true, true, true};
    for (int n = static_cast<int>(random() % 6); n > 0; --n) {
        LogEntry entry;
        entry.ageMs = static_cast<std::int64_t>(random() % 600) * 1000;
        entry.stamp = now.PlusSeconds(-entry.ageMs / 1000);
        entry.text = Utf8ToSjis(kTexts[random() % std::size(kTexts)]);
        capture.entries.push_back(entry);
        if (random() % 3 == 0) {
            entry.subInfo = true;
            entry.text = Utf8ToSjis(kSubTexts[random() % std::size(kSubTexts)]);
            capture.entries.push_back(entry);
        }
    }
    std::stable_sort(capture.entries.begin(), capture.entries.end(),
                     [](const LogEntry& a, const LogEntry& b) { return a.ageMs > b.ageMs; });
    if (capture.entries.empty() || random() % 10 == 0) {
        capture.entries.clear();
        capture.failedAt = now;
    }
    return capture;
}

TEST(LogIndexModel, ExtendedCaptureByCaptureEqualsRebuilt) {
    for (std::uint64_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937_64 random(seed);
        DateTime now = DateTime::FromParts(2026, 12, 1, 22, 0, 0);
        std::string file;
        LogIndex kept;
        for (int step = 0; step < 100 && !testing::Test::HasFailure(); ++step) {
            now = now.PlusSeconds(static_cast<std::int64_t>(random() % 20000));
            const int what = static_cast<int>(random() % 20);
            if (what == 0) {
                file += std::string(kMaxLineBytes + random() % 3000, 'x') + "\r\n";
            } else if (what == 1) {
                file += Utf8ToSjis("  壊れた") + "\x81\xff\r\n" + (random() % 2 ? "no line end" : "");
            } else {
                LogWrite write;
                MergeLogText(file, Capture(random, now), now, write);
                file = file.substr(0, write.cutAt) + write.appendText;
            }
            // A capture holding the file leaves the index as it was.
            const LogIndex before = kept;
            HeldBytes held(file);
            ReadResult why = ReadResult::Read;
            if (UpdateLogIndex(held, kept, NeverCancelled(), {}, &why) != IndexOutcome::Current) {
                EXPECT_EQ(why, ReadResult::Locked);
                ASSERT_EQ(kept, before);
            }
            ArchiveString bytes(file);
            const IndexOutcome outcome = UpdateLogIndex(bytes, kept, NeverCancelled());
            EXPECT_TRUE(outcome == IndexOutcome::Extended || outcome == IndexOutcome::Current) << step;
            LogIndex rebuilt;
            UpdateLogIndex(bytes, rebuilt, NeverCancelled());
            ASSERT_EQ(kept, rebuilt) << "step " << step;
            LogIndex loaded;
            ASSERT_TRUE(LoadLogIndex(SaveLogIndex(kept), loaded));
            EXPECT_EQ(loaded, kept);

            RowFilter filter;
            for (bool& shown : filter.shown) {
                shown = random() % 4 != 0;
            }
            filter.text = Utf8ToSjis(kNeedles[random() % std::size(kNeedles)]);
            if (random() % 4 == 0) {
                filter.source = kSources[random() % std::size(kSources)];
            }
            CheckRows(file, kept, filter);
        }
    }
}

// The archive as a capture leaves it once the scan has read `before` reads.
class CapturedDuringScan final : public ArchiveBytes {
  public:
    CapturedDuringScan(const std::string& old, const std::string& now, int before)
        : old_(old), now_(now), before_(before) {}
    ReadResult Size(std::uint64_t& size) override { return Bytes().Size(size); }
    ReadResult ReadAt(std::uint64_t position, char* buffer, std::size_t length, std::size_t& got) override {
        const ReadResult read = Bytes().ReadAt(position, buffer, length, got);
        --before_;
        return read;
    }

  private:
    ArchiveString Bytes() { return ArchiveString(before_ > 0 ? old_ : now_); }
    const std::string &old_, &now_;
    int before_;
};

TEST(LogIndexModel, AScanACaptureCutAndAppendedUnderIsDoneAgain) {
    // The first block ends in the failure lines that end the archive; the
    // capture replaces them with entries, which the next block would read
    // from the middle of a line.
    const DateTime now = DateTime::FromParts(2026, 12, 8, 11, 0, 0);
    std::string entries;
    while (entries.size() < kBlockBytes - 4000) {
        entries += "[2026/12/08 10:00:00]  PPP up\r\n";
    }
    std::string old = entries, captured = entries;
    while (old.size() < kBlockBytes + 4000) {
        old += FailureLine(now) + "\r\n";
        captured += "[2026/12/08 10:59:00]  Unrecognized access from 203.0.113.7\r\n";
    }
    old += UpdateMarkerLine(now) + "\r\n";
    captured += UpdateMarkerLine(now) + "\r\n";
    CapturedDuringScan bytes(old, captured, 1);
    LogIndex scanned, rebuilt;
    EXPECT_EQ(UpdateLogIndex(bytes, scanned, NeverCancelled()), IndexOutcome::Extended);
    ArchiveString after(captured);
    UpdateLogIndex(after, rebuilt, NeverCancelled());
    EXPECT_EQ(scanned, rebuilt);
}

// A day knocked at by more sources than a closed run lists (source i of 100
// knocks i % 10 + 1 times): the run keeps its 64 most frequent with exact
// counts and the most any other has; the top five carry that bound; a source
// left out is still shown line by line; a catch-up that closes the run gives
// what a build does.
TEST(LogIndexModel, AClosedRunListsItsMostFrequentSourcesAndBoundsTheRest) {
    std::string file;
    for (int i = 0; i < 100; ++i) {
        for (int n = 0; n <= i % 10; ++n) {
            file += "[2026/12/07 10:00:00]  Unrecognized access from 203.0.113." + std::to_string(i) + "\r\n";
        }
    }
    const std::string firstDay = file;
    file += "[2026/12/08 10:00:00]  PPP up\r\n";
    ArchiveString bytes(file), before(firstDay);
    LogIndex index, kept;
    UpdateLogIndex(bytes, index, NeverCancelled());
    UpdateLogIndex(before, kept, NeverCancelled());
    ASSERT_EQ(index.runs.size(), 2u);
    const auto listed = [](const IndexRun& run) {
        std::size_t count = 0;
        ForEachRunSource(run, [&](std::string_view, std::uint32_t) { ++count; });
        return count;
    };
    EXPECT_EQ(listed(index.runs[0]), kListedRunSources);
    EXPECT_EQ(index.runs[0].unlistedMost, 4u);  // 60 sources of 10 to 5 entries, 4 of the 10 of 4 listed
    EXPECT_EQ(listed(kept.runs[0]), 100u);      // open, all of them
    UpdateLogIndex(bytes, kept, NeverCancelled());
    EXPECT_EQ(kept, index);

    const DaySummary summary = SummarizeDays(index, DayNumber(2026, 12, 8), 2);
    EXPECT_EQ(summary.sourceError, 4u);
    ASSERT_EQ(summary.sources.size(), 5u);
    EXPECT_EQ(summary.sources[0], std::make_pair(std::string("203.0.113.19"), std::uint64_t{10}));
    for (const char* source : {"203.0.113.1", "203.0.113.19", "203.0.113.100"}) {  // left out, listed, none
        RowFilter filter;
        filter.source = source;
        CheckRows(file, index, filter);
    }
}

}  // namespace
}  // namespace velmo
