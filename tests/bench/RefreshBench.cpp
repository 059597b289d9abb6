// What one full refresh costs against the router simulator on loopback, from
// the start of its job to its result shown, next to the three plain GETs it
// is made of; and, against a router that never answers, how long starting a
// refresh holds the window's thread and when its result comes. Prints figures.
// Run: build/<preset>/tests/bench/velmo_refresh_bench
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>

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

// Starts a full refresh and waits, as the window's message loop would, for
// its result, then shows it.
void RefreshAndWait(CRouterStatusDlg& window, testing::FakeWindowHost& host) {
    const int before = host.jobsDone.load();
    window.RefreshAll();
    while (host.jobsDone.load() == before) {
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    window.OnJobDone();
}

void CompareRefreshWithPlainGets() {
    RouterSimulator simulator;
    simulator.Start();
    testing::FakeWindowHost host;
    testing::FakeTrayHost tray;
    auto window = WindowFor(simulator.Address(), host, tray);
    constexpr int kRuns = 200;
    RefreshAndWait(*window, host);  // warm-up
    const double refresh = MeanMilliseconds(kRuns, [&] { RefreshAndWait(*window, host); });
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
    std::printf("three FetchPage calls:                  %8.3f ms (mean of %d)\n", fetches, kRuns);
    std::printf("RefreshAll to its result shown:         %8.3f ms (mean of %d)\n", refresh, kRuns);
    std::printf("three plain GETs of the same pages:     %8.3f ms (mean of %d)\n", gets, kRuns);
    std::printf("ratio (the job's hand-over and parsing): %7.2f\n", refresh / gets);
    simulator.Stop();
}

void AgainstASilentRouter() {
    RouterSimulator simulator;
    simulator.Start();
    for (const char* path : {"", "banner.htm", "status.htm"}) {
        simulator.SetFault(path, Fault{Fault::Kind::Silent, 0});
    }
    testing::FakeWindowHost host;
    testing::FakeTrayHost tray;
    auto window = WindowFor(simulator.Address(), host, tray);
    std::printf("silent router, RefreshAll holds the window: %8.3f ms\n",
                MillisecondsOf([&] { window->RefreshAll(); }));
    const auto start = Clock::now();
    while (host.jobsDone.load() == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::printf("silent router, its result comes after:      %8.1f ms (three requests at their bound)\n",
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    window->OnJobDone();
    simulator.Stop();
}

}  // namespace
}  // namespace velmo

int main() {
    velmo::testing::ScopedCurrentDirectory directory;
    velmo::CompareRefreshWithPlainGets();
    velmo::AgainstASilentRouter();
    return 0;
}
