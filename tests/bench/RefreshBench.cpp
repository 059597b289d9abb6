// What one full refresh costs against the router simulator on loopback,
// next to the three plain GETs it is made of, and how long a refresh holds
// the window's thread when the router never answers. Prints figures.
// Run: build/<preset>/tests/bench/velmo_refresh_bench
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "app/CRouterStatusDlg.h"
#include "base/FileSystem.h"
#include "router/HttpRequest.h"
#include "router/RouterClient.h"
#include "sim/RouterSimulator.h"
#include "tests/support/FakeTrayHost.h"
#include "tests/support/FakeWindowHost.h"
#include "tests/support/TempDirectory.h"

namespace velmo {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double MeanMilliseconds(int runs, const std::function<void()>& work) {
    double total = 0;
    for (int i = 0; i < runs; ++i) {
        total += MillisecondsOf(work);
    }
    return total / runs;
}

// A main window on the real clock and HTTP client, its settings pointing at `address`.
std::unique_ptr<CRouterStatusDlg> WindowFor(const std::string& address, testing::FakeWindowHost& host,
                                            testing::FakeTrayHost& tray) {
    ReplaceFileAtomically(CurrentDirectoryWithSeparator() + "Velmo tool.ini",
                          "[Setting]\r\nRutorAddress=" + address + "\r\nInitMinimize=0\r\n");
    auto window = std::make_unique<CRouterStatusDlg>(host, tray, SystemClock());
    window->CopyWorkingSettings();  // as OnInitDialog does, without its refresh
    return window;
}

void CompareRefreshWithPlainGets() {
    RouterSimulator simulator;
    simulator.Start();
    testing::FakeWindowHost host;
    testing::FakeTrayHost tray;
    auto window = WindowFor(simulator.Address(), host, tray);
    constexpr int kRuns = 200;
    window->RefreshAll();  // warm-up
    const double refresh = MeanMilliseconds(kRuns, [&] { window->RefreshAll(); });
    const double gets = MeanMilliseconds(kRuns, [&] {
        std::string text;
        for (const char* path : {"", "banner.htm", "status.htm"}) {
            text.clear();
            RequestPage(simulator.Address(), path, text);
        }
    });
    RouterClient client;
    client.routerAddress = simulator.Address();
    const double fetches = MeanMilliseconds(kRuns, [&] {
        std::string text;
        for (const char* path : {"", "banner.htm", "status.htm"}) {
            text.clear();
            client.FetchPage(text, path);
        }
    });
    std::printf("three FetchPage calls (worker threads): %8.3f ms (mean of %d)\n", fetches, kRuns);
    std::printf("RefreshAll against the simulator:       %8.3f ms (mean of %d)\n", refresh, kRuns);
    std::printf("three plain GETs of the same pages:     %8.3f ms (mean of %d)\n", gets, kRuns);
    std::printf("ratio (worker threads and parsing):     %8.2f\n", refresh / gets);
    simulator.Stop();
}

void BlockingAgainstASilentRouter() {
    RouterSimulator simulator;
    simulator.Start();
    for (const char* path : {"", "banner.htm", "status.htm"}) {
        simulator.SetFault(path, Fault{Fault::Kind::Silent, 0});
    }
    testing::FakeWindowHost host;
    testing::FakeTrayHost tray;
    auto window = WindowFor(simulator.Address(), host, tray);
    std::printf("silent router, first RefreshAll:        %8.1f ms\n",
                MillisecondsOf([&] { window->RefreshAll(); }));
    for (int i = 2; i <= 4; ++i) {
        std::printf("silent router, RefreshAll #%d:           %8.1f ms (three workers still waiting)\n", i,
                    MillisecondsOf([&] { window->RefreshAll(); }));
    }
    simulator.Stop();  // ends the silent connections, so the window's workers end
}

}  // namespace
}  // namespace velmo

int main() {
    velmo::testing::ScopedCurrentDirectory directory;
    velmo::CompareRefreshWithPlainGets();
    velmo::BlockingAgainstASilentRouter();
    return 0;
}
