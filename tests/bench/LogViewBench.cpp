// The ログを見る window's work on archives of 1 000, 1 000 000 and
// 10 000 000 lines (about 1 GB at the top) knocked at by a few thousand
// sources, and of 10 000 000 lines knocked at by a million sources, one
// printed line each:
// building the index from nothing, then with the index present the first
// screen (the newest 50 entries), a jump to a date, only 不正アクセス shown
// (first screen and full count), the counts of the last 90 days, a text
// search over the whole file (a rare text, and one that nearly every other
// line holds), and the heap's peak over all of it. Each
// archive is made in the temporary folder and removed after its line.
// Run: build/bench/tests/bench/velmo_log_view_bench [largest line count]
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "base/CodePage.h"
#include "base/FileSystem.h"
#include "logview/DayCounts.h"
#include "logview/LogRows.h"
#include "logview/LogSearch.h"
#include "routerlog/LogStamp.h"
#include "tests/bench/HeapCount.h"

namespace {

using velmo::bench::heapNow;
using velmo::bench::heapPeak;

constexpr long kLinesPerDay = 10000;

double Ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

// An archive as the captures write it: accesses from `sources` sources (a
// few thousand, or about a million for an archive scanned from the whole
// internet; eight of them knock far more often), the line going up and down
// with sub-info lines, logins, other entries; one update marker at the end.
void MakeArchive(const std::string& path, long lines, unsigned sources, std::int32_t& lastDay) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::string block;
    const std::string reason = velmo::Utf8ToSjis("  切断理由: 無通信タイマー");
    const std::string other =
        velmo::Utf8ToSjis("ダイヤルアップ接続を切断しました 接続時間 0:42:17 送信 123456 受信 654321");
    const long days = (lines + kLinesPerDay - 1) / kLinesPerDay;
    const std::int32_t firstDay = velmo::DayNumber(2026, 12, 8) - static_cast<std::int32_t>(days) + 1;
    lastDay = firstDay + static_cast<std::int32_t>(days) - 1;
    unsigned random = 12345;
    for (long i = 0; i < lines; ++i) {
        random = random * 1103515245u + 12345u;
        const long second = i % kLinesPerDay * 86400 / kLinesPerDay;
        int year = 0, month = 0, day = 0;
        velmo::DayDate(firstDay + static_cast<std::int32_t>(i / kLinesPerDay), year, month, day);
        block += velmo::FormatLogStamp(velmo::CalendarTime{year, month, day, static_cast<int>(second / 3600),
                                                           static_cast<int>(second / 60 % 60),
                                                           static_cast<int>(second % 60), 0});
        const unsigned pick = (random >> 8) % 100;
        const unsigned host = (random >> 16) % 100 < 30 ? (random >> 20) % 8 : (random >> 12) % sources;
        if (pick < 45) {
            block += "Unrecognized access from 203." + std::to_string(host / 62500) + "." +
                     std::to_string((host / 250 + 100) % 250) + "." + std::to_string(host % 250) + ":" +
                     std::to_string(1024 + (random >> 4) % 60000) + " to port " +
                     std::to_string(pick % 3 == 0   ? 23
                                    : pick % 3 == 1 ? 445
                                                    : 8080) +
                     " protocol TCP flags SYN";
        } else if (pick < 55) {
            block += "PPP up (IP address 198.51.100.23 gateway 198.51.100.1 DNS 192.0.2.53)";
        } else if (pick < 65) {
            block += i % 2 ? "PPP down (idle timeout, session ended by the peer)" : reason;
        } else if (pick < 75) {
            block += "Administrator login from 192.0.2.10 (web management, HTTP, session 42)";
        } else {
            block += other;
        }
        block += "\r\n";
        if (block.size() > (1 << 20)) {
            std::fwrite(block.data(), 1, block.size(), file);
            block.clear();
        }
    }
    block += "[2026/12/08 23:59:59]   Last Log Update\r\n";
    std::fwrite(block.data(), 1, block.size(), file);
    std::fclose(file);
}

void Measure(long lines, unsigned sources) {
    const std::string path = (std::filesystem::temp_directory_path() / "velmo-log-view-bench.txt").string();
    std::int32_t lastDay = 0;
    MakeArchive(path, lines, sources, lastDay);
    velmo::ArchiveFile file(path);
    std::uint64_t size = 0;
    file.Size(size);
    const std::size_t heapBefore = heapNow.load();
    heapPeak = heapBefore;

    auto start = std::chrono::steady_clock::now();
    velmo::LogIndex built;
    velmo::UpdateLogIndex(file, built, velmo::NeverCancelled());
    const double rebuildMs = Ms(start);
    velmo::ReplaceFileAtomically(velmo::IndexPathFor(path), velmo::SaveLogIndex(built));
    built = velmo::LogIndex{};

    // Opening the window: the saved index, checked against the archive, the newest rows.
    start = std::chrono::steady_clock::now();
    std::string saved;
    velmo::LogIndex index;
    velmo::ReadFileBytes(velmo::IndexPathFor(path), saved);
    velmo::LoadLogIndex(saved, index);
    saved = std::string();
    const bool current =
        velmo::UpdateLogIndex(file, index, velmo::NeverCancelled()) == velmo::IndexOutcome::Current;
    velmo::RowFilter all;
    velmo::LogRows rows;
    velmo::IndexRows(index, all, size, 1, rows);
    velmo::RowReader reader;
    std::vector<velmo::ShownRow> screen;
    reader.Read(file, rows, all, rows.Count() - std::min<std::uint64_t>(rows.Count(), 50), 50, screen);
    const double firstMs = Ms(start);

    start = std::chrono::steady_clock::now();
    reader.Read(file, rows, all, velmo::RowForDay(index, rows, lastDay - (lastDay - index.runs[0].day) / 2),
                50, screen);
    const double jumpMs = Ms(start);

    start = std::chrono::steady_clock::now();
    velmo::RowFilter accessOnly;
    accessOnly.shown = {true, false, false, false};
    velmo::IndexRows(index, accessOnly, size, 0, rows);
    reader.Read(file, rows, accessOnly, rows.Count() - std::min<std::uint64_t>(rows.Count(), 50), 50, screen);
    const double accessMs = Ms(start);
    const std::uint64_t accesses = rows.Count();

    start = std::chrono::steady_clock::now();
    const velmo::DaySummary summary = velmo::SummarizeDays(index, lastDay, 90);
    const double daysMs = Ms(start);
    start = std::chrono::steady_clock::now();
    const std::size_t listed = velmo::FrequentSources(index, 1000).size();  // the source box
    const double boxMs = Ms(start);

    // Only one source's entries, to the full count: the most frequent (its
    // counts mostly in the index) and a rare one (looked for run by run).
    double sourceMs[2] = {};
    std::uint64_t sourceRows[2] = {};
    for (int i = 0; i < 2; ++i) {
        start = std::chrono::steady_clock::now();
        velmo::RowFilter chosen;
        chosen.source = i == 0 && !summary.sources.empty() ? summary.sources[0].first : "203.0.111.77";
        velmo::SearchArchive(file, index, size, 0, chosen, velmo::NeverCancelled(),
                             [&](std::vector<velmo::RowSegment>&& segments, std::uint64_t) {
                                 for (const velmo::RowSegment& segment : segments) {
                                     sourceRows[i] += segment.rows;
                                 }
                             });
        sourceMs[i] = Ms(start);
    }

    start = std::chrono::steady_clock::now();
    velmo::RowFilter text;
    text.text = "203.0.100.77:";
    std::uint64_t found = 0;
    velmo::SearchArchive(file, index, size, 0, text, velmo::NeverCancelled(),
                         [&](std::vector<velmo::RowSegment>&& segments, std::uint64_t) {
                             for (const velmo::RowSegment& segment : segments) {
                                 found += segment.rows;
                             }
                         });
    const double searchMs = Ms(start);
    // A text nearly every other line holds: each match is read as a line.
    start = std::chrono::steady_clock::now();
    text.text = "ACCESS FROM";
    std::uint64_t dense = 0;
    velmo::SearchArchive(file, index, size, 0, text, velmo::NeverCancelled(),
                         [&](std::vector<velmo::RowSegment>&& segments, std::uint64_t) {
                             for (const velmo::RowSegment& segment : segments) {
                                 dense += segment.rows;
                             }
                         });
    const double denseMs = Ms(start);

    const double mb = static_cast<double>(size) / 1e6;
    std::printf(
        "lines=%ld sources=%u size=%.1fMB index=%s rebuild=%.0fMB/s first-screen=%.1fms date-jump=%.1fms "
        "access-only=%.1fms(%llu) days90=%.2fms(top %s, error %llu) source-box=%.1fms(%zu) "
        "source=%.1fms(%llu) "
        "rare-source=%.1fms(%llu) search=%.2fGB/s(%llu) dense-search=%.2fGB/s(%llu) "
        "peak-heap=%.1fMB\n",
        lines, sources, mb, current ? "current" : "NOT-CURRENT", mb / (rebuildMs / 1000), firstMs, jumpMs,
        accessMs, static_cast<unsigned long long>(accesses), daysMs,
        summary.sources.empty() ? "-" : summary.sources[0].first.c_str(),
        static_cast<unsigned long long>(summary.sourceError), boxMs, listed, sourceMs[0],
        static_cast<unsigned long long>(sourceRows[0]), sourceMs[1],
        static_cast<unsigned long long>(sourceRows[1]), mb / 1000 / (searchMs / 1000),
        static_cast<unsigned long long>(found), mb / 1000 / (denseMs / 1000),
        static_cast<unsigned long long>(dense), static_cast<double>(heapPeak.load() - heapBefore) / 1e6);
    std::fflush(stdout);
    std::filesystem::remove(path);
    std::filesystem::remove(velmo::IndexPathFor(path));
}

}  // namespace

int main(int argc, char** argv) {
    const long largest = argc > 1 ? std::atol(argv[1]) : 10000000;
    for (long lines : {1000L, 1000000L, 10000000L}) {
        if (lines <= largest) {
            Measure(lines, 3000);
        }
    }
    // Scanned from the whole internet: a million sources.
    Measure(std::min(largest, 10000000L), 1000000);
    return 0;
}
