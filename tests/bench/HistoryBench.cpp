// Opening the 接続履歴 window on a record of 100 000 rows (a session every
// hour, about eleven years): reading the last 31 days from the file's end and
// working out the bars, the sums and the report. The window should be up
// within 200 ms. The file is made once in the temporary folder and removed.
// Run: build/<preset>/tests/bench/velmo_history_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "history/HistoryFile.h"
#include "history/HistorySums.h"

namespace {

const velmo::DateTime kNow = velmo::DateTime::FromParts(2026, 12, 8, 12, 0, 0);
constexpr long kRows = 100000;

// The record file, made on first use and removed when the program ends.
struct Record {
    Record();
    ~Record() { std::filesystem::remove(path); }
    std::string path = (std::filesystem::temp_directory_path() / "velmo-history-bench.csv").string();
};

Record::Record() {
    std::ofstream file(path, std::ios::binary);
    file << velmo::HistoryHeader();
    const velmo::EndCause causes[] = {velmo::EndCause::Drop, velmo::EndCause::User, velmo::EndCause::Unseen,
                                      velmo::EndCause::Auto};
    for (long i = kRows; i > 0; --i) {
        const velmo::DateTime start = kNow.PlusSeconds(-i * 3600);
        file << velmo::HistoryRow({start, start.PlusSeconds(3000 + i % 500), causes[i % 4]});
    }
}

void OpenHistoryWindow(benchmark::State& state) {
    static const Record record;
    const std::string& path = record.path;
    for (auto _ : state) {
        velmo::HistoryView view{velmo::ReadRecentSessions(path, kNow.PlusSeconds(-31 * 86400)), std::nullopt,
                                kNow};
        benchmark::DoNotOptimize(velmo::DayBars(view));
        benchmark::DoNotOptimize(velmo::Totals(view));
        benchmark::DoNotOptimize(velmo::ReportText(view));
        state.counters["rows"] = static_cast<double>(view.rows.size());
    }
}
BENCHMARK(OpenHistoryWindow)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
