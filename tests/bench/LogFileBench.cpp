// UpdateLogFile merging 100 new entries into log files of 1 000 to 1 000 000
// lines: time per merge, the heap's peak during one merge, and both per line
// of the file. Run: build/<preset>/tests/bench/velmo_log_file_bench
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "routerlog/LogFile.h"

namespace {

// Heap use, counted by the replaced operator new / delete below.
std::atomic<std::size_t> heapNow{0};
std::atomic<std::size_t> heapPeak{0};

void CountAllocation(void* block) {
    const std::size_t now = heapNow += malloc_usable_size(block);
    std::size_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
}

const velmo::DateTime kNow = velmo::DateTime::FromParts(2026, 12, 8, 12, 0, 0);

// "[2026/12/08 HH:MM:SS]  PPP connection #n up" lines, one a second, then the marker.
std::string StampedLine(long second, long n) {
    char line[96];
    std::snprintf(line, sizeof line, "[2026/12/%02ld %02ld:%02ld:%02ld]  PPP connection #%ld up",
                  1 + second / 86400, second / 3600 % 24, second / 60 % 60, second % 60, n);
    return line;
}

std::string FileOfLines(long lines) {
    std::string file;
    file.reserve(static_cast<std::size_t>(lines) * 48);
    for (long i = 0; i < lines; ++i) {
        file += StampedLine(i % (6 * 86400), i) + "\r\n";
    }
    file += "[2026/12/08 11:00:00]   Last Log Update\r\n";
    return file;
}

// The page's last 100 entries, all newer than anything in the file.
std::string CaptureOf100() {
    std::string capture;
    for (long i = 0; i < 100; ++i) {
        capture += StampedLine(7 * 86400 + i, i) + "\n";
    }
    return capture;
}

void UpdateLogFileBench(benchmark::State& state) {
    const long lines = state.range(0);
    const std::string path = (std::filesystem::temp_directory_path() / "velmo-bench-log.txt").string();
    const std::string content = FileOfLines(lines);
    const std::string capture = CaptureOf100();
    std::size_t peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
        const std::size_t before = heapNow.load();
        heapPeak = before;
        state.ResumeTiming();

        const velmo::LogFileResult result = velmo::UpdateLogFile(path, capture, kNow);
        benchmark::DoNotOptimize(result);

        state.PauseTiming();
        peak = std::max(peak, heapPeak.load() - before);
        if (!result.written) {
            state.SkipWithError("the log file was not written");
        }
        state.ResumeTiming();
    }
    std::filesystem::remove(path);
    state.counters["file_MB"] = static_cast<double>(content.size()) / 1e6;
    state.counters["peak_heap_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["peak_heap_B_per_line"] = static_cast<double>(peak) / static_cast<double>(lines);
    state.counters["time_per_line"] =
        benchmark::Counter(static_cast<double>(lines),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(UpdateLogFileBench)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    CountAllocation(block);
    return block;
}

void operator delete(void* block) noexcept {
    if (block != nullptr) {
        heapNow -= malloc_usable_size(block);
        std::free(block);
    }
}

void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}

BENCHMARK_MAIN();
