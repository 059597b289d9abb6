// UpdateLogFile merging 100 new entries into log files of 1 000 to
// 10 000 000 lines (about 100 bytes a line: 1 GB at the top): time per merge
// and the heap's peak during one merge. A second kind of file ends in 1 000
// of the tool's logins that the page still shows and the filters now leave
// out: the page's 100 new entries follow an overlap 1 000 filtered lines
// back. The files are made once per run in the temporary folder and removed
// at the end; after each merge the file's tail is put back, so every
// iteration merges into the same file. The last case gives the capture its
// ticks and a ledger from the capture before, so the ledger decides; every
// case writes the ledger file.
// Run: build/<preset>/tests/bench/velmo_log_file_bench
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <string>

#include "base/ExclusiveFile.h"
#include "base/FileSystem.h"
#include "routerlog/LogFile.h"
#include "routerlog/LogStamp.h"
#include "tests/bench/HeapCount.h"

namespace {

using velmo::bench::heapNow;
using velmo::bench::heapPeak;

const velmo::DateTime kNow = velmo::DateTime::FromParts(2026, 12, 8, 12, 0, 0);
const std::string kMarker = "[2026/12/08 11:00:00]   Last Log Update\r\n";

// An access entry of about 100 bytes, one a second from 2026/01/01 on.
std::string StampedLine(long second, long n) {
    char line[160];
    std::snprintf(
        line, sizeof line,
        "[2026/%02ld/%02ld %02ld:%02ld:%02ld]  Unrecognized access from 203.0.113.%ld:%ld to port 23 "
        "(TCP SYN, #%ld)",
        1 + second / (86400 * 28) % 12, 1 + second / 86400 % 28, second / 3600 % 24, second / 60 % 60,
        second % 60, n % 250, 1024 + n % 60000, n);
    return line;
}

constexpr long kLogins = 1000;
const velmo::DateTime kFirstLogin = velmo::DateTime::FromParts(2026, 11, 20, 0, 0, 0);

// One of the tool's logins, one a second from kFirstLogin on.
velmo::LogEntry Login(long n) {
    const velmo::DateTime at = kFirstLogin.PlusSeconds(n);
    return {at, -at.SecondsSince(velmo::DateTime()) * 1000, "admin login from 127.0.0.1", false};
}

std::string FileName(long lines, bool logins) {
    const std::string name = "velmo-bench-log-" + std::to_string(lines) + (logins ? "-logins" : "") + ".txt";
    return (std::filesystem::temp_directory_path() / name).string();
}

// The file of `lines` lines (the last kLogins of them logins when `logins`)
// and a marker, written once per run.
const std::string& FileOfLines(long lines, bool logins) {
    static std::map<std::pair<long, bool>, std::string> made;
    auto [at, added] = made.try_emplace({lines, logins});
    if (added) {
        at->second = FileName(lines, logins);
        std::ofstream out(at->second, std::ios::binary | std::ios::trunc);
        std::string chunk;
        for (long i = 0; i < lines; ++i) {
            const long login = i - (lines - kLogins);
            chunk +=
                (logins && login >= 0 ? velmo::EntryLine(Login(login)) : StampedLine(i % (300L * 86400), i)) +
                "\r\n";
            if (chunk.size() > (1u << 20)) {
                out << chunk;
                chunk.clear();
            }
        }
        out << chunk << kMarker;
    }
    return at->second;
}

void RemoveFiles() {
    for (const long lines : {1000L, 10000L, 100000L, 1000000L, 10000000L}) {
        for (const bool logins : {false, true}) {
            std::error_code ignored;
            std::filesystem::remove(FileName(lines, logins), ignored);
        }
    }
}

// An entry of a StampedLine, as the page's reader gives it.
velmo::LogEntry EntryOf(const std::string& line) {
    std::int64_t seconds = 0;
    velmo::LogStampSeconds(line, seconds);
    return {velmo::DateTime().PlusSeconds(seconds), -seconds * 1000,
            line.substr(velmo::LogStampBlanks().size()), false};
}

// The page: with `logins`, the file's last kLogins logins, which the filters
// now leave out; then 100 entries newer than anything in the file (which
// runs from January to November).
velmo::CapturedLog CaptureOf100(bool logins) {
    velmo::CapturedLog capture;
    capture.filters = velmo::LogFilters{false, true, true};
    for (long n = 0; logins && n < kLogins; ++n) {
        capture.entries.push_back(Login(n));
    }
    for (long i = 0; i < 100; ++i) {
        capture.entries.push_back(EntryOf(StampedLine(330L * 86400 + i, i)));
    }
    return capture;
}

// Puts the file back to `size` bytes ending in `tail`.
bool RestoreTail(const std::string& path, std::uint64_t size, const std::string& tail) {
    velmo::ExclusiveFile file;
    return file.Open(path) && file.Truncate(size - tail.size()) && file.WriteAt(size - tail.size(), tail);
}

// The ledger's case: a capture of `count` entries from `first` on, read at
// `tick`; entry n was logged at tick 1 000 500 + n * 1000.
velmo::CapturedLog TimedCapture(long first, long count, std::uint64_t tick) {
    velmo::CapturedLog capture;
    capture.filters = velmo::LogFilters{false, true, true};
    capture.ticks = velmo::FetchTicks{tick - 3, tick + 3};
    for (long n = first; n < first + count; ++n) {
        velmo::LogEntry entry = EntryOf(StampedLine(330L * 86400 + n, n));
        entry.ageMs = static_cast<std::int64_t>(tick) - (1000500 + n * 1000);
        capture.entries.push_back(entry);
    }
    return capture;
}

// With `ledger`, a first capture of 100 entries is merged once and its file
// and ledger are what each iteration starts from: the page then holds those
// 100 and 100 new, and the ledger decides.
void UpdateLogFileBench(benchmark::State& state) {
    const long lines = state.range(0);
    const bool logins = state.range(1) != 0;
    const bool ledger = state.range(2) != 0;
    const std::string& path = FileOfLines(lines, logins);
    std::filesystem::remove(velmo::LedgerFileName(path));
    std::uint64_t size = std::filesystem::file_size(path);
    std::string tail = kMarker;  // what each iteration starts from after the file's first bytes
    std::string ledgerBytes;
    velmo::CapturedLog capture = CaptureOf100(logins);
    if (ledger) {
        velmo::UpdateLogFile(path, TimedCapture(0, 100, 1100000), kNow);
        const std::uint64_t merged = std::filesystem::file_size(path);
        tail.resize(static_cast<std::size_t>(merged - (size - kMarker.size())));
        std::ifstream(path, std::ios::binary)
            .seekg(static_cast<std::streamoff>(size - kMarker.size()))
            .read(tail.data(), static_cast<std::streamsize>(tail.size()));
        velmo::ReadFileBytes(velmo::LedgerFileName(path), ledgerBytes);
        size = merged;
        capture = TimedCapture(0, 200, 1300000);
    }
    std::size_t peak = 0;
    for (auto _ : state) {
        const std::size_t before = heapNow.load();
        heapPeak = before;

        const velmo::CaptureResult result = velmo::UpdateLogFile(path, capture, kNow);
        benchmark::DoNotOptimize(result);

        state.PauseTiming();
        peak = std::max(peak, heapPeak.load() - before);
        if (!result.written || result.accessCount != 100 ||
            result.choices.ledgerReadings != (ledger ? 1u : 0u) || !RestoreTail(path, size, tail) ||
            (ledger && !velmo::ReplaceFileAtomically(velmo::LedgerFileName(path), ledgerBytes))) {
            state.SkipWithError("the log file was not written");
        }
        state.ResumeTiming();
    }
    if (ledger) {
        RestoreTail(path, size, kMarker);  // the file as made, for the next case
    }
    std::filesystem::remove(velmo::LedgerFileName(path));
    state.counters["file_MB"] = static_cast<double>(size) / 1e6;
    state.counters["peak_heap_KiB"] = static_cast<double>(peak) / 1024;
}

BENCHMARK(UpdateLogFileBench)
    ->ArgNames({"lines", "logins_back", "ledger"})
    ->Args({1000, 0, 0})
    ->Args({10000, 0, 0})
    ->Args({100000, 0, 0})
    ->Args({1000000, 0, 0})
    ->Args({10000000, 0, 0})
    ->Args({10000000, 1, 0})
    ->Args({10000000, 0, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveFiles();
    return 0;
}
