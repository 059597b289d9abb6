// The worker fetch and the router client against the simulator on 127.0.0.1.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "router/RouterClient.h"
#include "router/StatusPage.h"
#include "sim/RouterSimulator.h"
#include "sim/SimulatorPages.h"

namespace velmo {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// Requests bounded well below the simulator's silence, so given-up workers end.
bool ShortRequest(const std::string& host, const std::string& path, std::string& text,
                  const CancelToken& cancel) {
    RequestLimits limits;
    limits.idleTimeout = 1000ms;
    return RequestPage(host, path, text, limits, cancel);
}

class FetchPageTest : public ::testing::Test {
  protected:
    FetchPageTest() : client(ShortRequest) { client.fetchWorkers.waitTimeout = 100; }

    void SetUp() override {
        ASSERT_TRUE(sim.Start());
        client.routerAddress = sim.Address();
    }

    RouterSimulator sim;
    RouterClient client;  // destroyed first: waits for its workers while the simulator still runs
};

TEST_F(FetchPageTest, CollectsAPageThatArrivesInTime) {
    std::string text;
    EXPECT_TRUE(client.FetchPage(text, RouterClient::bannerPage));
    EXPECT_EQ(ModelLine(true, text, true), "Broadband Router (VR-2400 Ver 2.10)");
    EXPECT_EQ(sim.RequestLines(), std::vector<std::string>{"GET /banner.htm HTTP/1.0"});
}

TEST_F(FetchPageTest, SilentRouterLeavesThreeWorkersThenFailsAtOnce) {
    sim.SetFault("", Fault{Fault::Kind::Silent});
    std::string text = "before";
    for (int i = 0; i < 3; ++i) {
        const auto start = SteadyClock::now();
        EXPECT_FALSE(client.FetchPage(text, ""));
        EXPECT_GE(SteadyClock::now() - start, 100ms);
    }
    const auto start = SteadyClock::now();
    EXPECT_FALSE(client.FetchPage(text, ""));
    EXPECT_LT(SteadyClock::now() - start, 50ms);
    EXPECT_EQ(text, "before");
    EXPECT_EQ(client.fetchWorkers.PendingCount(), 3u);
    EXPECT_EQ(sim.RequestLines().size(), 3u);  // the fourth sent nothing

    // The workers' own time-out ends them; a sweep then frees the cap.
    client.WaitForAllWorkers();
    EXPECT_EQ(client.fetchWorkers.PendingCount(), 0u);
    sim.ClearFaults();
    EXPECT_TRUE(client.FetchPage(text, ""));
    EXPECT_EQ(text, TopPageBody());
}

TEST_F(FetchPageTest, MidBodyCloseGivesThePartialTextAndFalse) {
    sim.SetFault("status.htm", Fault{Fault::Kind::CloseAfter, 200});
    std::string text = "before";
    EXPECT_FALSE(client.FetchPage(text, RouterClient::statusPage));
    EXPECT_EQ(text, StatusPageBody(sim.Options(), SimulatedLine::Phase::Down, 0s).substr(0, 128));
}

TEST_F(FetchPageTest, ConnectAndDisconnectSendTheLearnedCommands) {
    RouterSimulatorOptions options = sim.Options();
    options.embeddedCommands = {9};
    options.commandDelay = 100ms;
    sim.SetOptions(options);

    std::string page;
    ASSERT_TRUE(client.FetchPage(page, RouterClient::statusPage));
    client.LearnDialCommandIndex(page);
    ASSERT_EQ(client.dialCommandIndex, 3);

    EXPECT_TRUE(client.SendDialCommand());
    EXPECT_EQ(sim.LinePhase(), SimulatedLine::Phase::Dialing);
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(sim.LinePhase(), SimulatedLine::Phase::Up);
    ASSERT_TRUE(client.FetchPage(page, RouterClient::statusPage));
    EXPECT_TRUE(ParseStatusPage(page).connected);

    EXPECT_TRUE(client.SendHangUpCommand());
    EXPECT_EQ(sim.LinePhase(), SimulatedLine::Phase::Hanging);
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(sim.LinePhase(), SimulatedLine::Phase::Down);

    const std::vector<std::string> lines = sim.RequestLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "GET /cgi-bin/dial?rc=@&A=D0&rd=status HTTP/1.0");
    EXPECT_EQ(lines[3], "GET /cgi-bin/dial?rc=@&A=H0&rd=status HTTP/1.0");
}

TEST_F(FetchPageTest, ApostropheCommandsAreSentWithTheirApostrophe) {
    RouterSimulatorOptions options = sim.Options();
    options.embeddedCommands = {0, 6};
    sim.SetOptions(options);
    std::string page;
    ASSERT_TRUE(client.FetchPage(page, RouterClient::statusPage));
    client.LearnDialCommandIndex(page);
    ASSERT_EQ(client.dialCommandIndex, 0);
    client.SendDialCommand();
    client.SendHangUpCommand();
    const std::vector<std::string> lines = sim.RequestLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "GET /cgi-bin/dial?RC=@&A=D&M=1&T=180000' HTTP/1.0");
    EXPECT_EQ(lines[2], "GET /cgi-bin/dial?RC=@&A=H&M=1&T=14000' HTTP/1.0");
}

TEST_F(FetchPageTest, StaticAddressSendsNoCommand) {
    RouterSimulatorOptions options = sim.Options();
    options.wanType = WanType::Static;
    sim.SetOptions(options);
    std::string page;
    ASSERT_TRUE(client.FetchPage(page, RouterClient::statusPage));
    client.LearnDialCommandIndex(page);
    EXPECT_EQ(client.dialCommandIndex, 6);
    EXPECT_FALSE(client.SendDialCommand());
    EXPECT_FALSE(client.SendHangUpCommand());
    EXPECT_EQ(sim.RequestLines().size(), 1u);
}

TEST_F(FetchPageTest, SlowPageShowsOneReadingLateInsteadOfNever) {
    // The router answers 50 ms after the wait has given up on it.
    sim.SetFault("status.htm", Fault{Fault::Kind::Delay, 150});
    std::string text = "before";
    EXPECT_FALSE(client.FetchPage(text, RouterClient::statusPage, 5s));
    EXPECT_EQ(text, "before");
    std::this_thread::sleep_for(150ms);
    // The next reading's own request is late again: the previous answer serves.
    EXPECT_TRUE(client.FetchPage(text, RouterClient::statusPage, 5s));
    EXPECT_EQ(text, StatusPageBody(sim.Options(), SimulatedLine::Phase::Down, 0s));
}

TEST_F(FetchPageTest, CancelledRequestToASilentRouterEndsAtOnce) {
    sim.SetFault("", Fault{Fault::Kind::Silent});
    CancelToken cancel;
    std::thread canceller([&cancel] {
        std::this_thread::sleep_for(50ms);
        cancel.Cancel();
    });
    std::string text;
    const auto start = SteadyClock::now();
    EXPECT_FALSE(RequestPage(sim.Address(), "", text, RequestLimits{}, cancel));  // idle time-out 15 s
    const auto took = SteadyClock::now() - start;
    canceller.join();
    EXPECT_GE(took, 50ms);
    EXPECT_LT(took, 500ms);
}

}  // namespace
}  // namespace velmo
