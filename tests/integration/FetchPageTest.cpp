// The router client and the readings of its jobs against the simulator on 127.0.0.1.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "router/RouterClient.h"
#include "router/RouterReadings.h"
#include "router/StatusPage.h"
#include "sim/RouterSimulator.h"
#include "sim/SimulatorPages.h"
#include "tests/support/FakeClock.h"

namespace velmo {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// Requests bounded well below the simulator's silence.
bool ShortRequest(const std::string& host, const std::string& path, std::string& text,
                  const CancelToken& cancel) {
    RequestLimits limits;
    limits.idleTimeout = 500ms;
    return RequestPage(host, path, text, limits, cancel);
}

class FetchPageTest : public ::testing::Test {
  protected:
    FetchPageTest() : client(ShortRequest) {}

    void SetUp() override {
        ASSERT_TRUE(sim.Start());
        client.routerAddress = sim.Address();
    }

    RouterSimulator sim;
    RouterClient client;
};

TEST_F(FetchPageTest, CollectsAPageThatArrivesInTime) {
    std::string text;
    EXPECT_TRUE(client.FetchPage(text, RouterClient::bannerPage));
    EXPECT_EQ(ModelLine(true, text, true), "Broadband Router (VR-2400 Ver 2.10)");
    EXPECT_EQ(sim.RequestLines(), std::vector<std::string>{"GET /banner.htm HTTP/1.0"});
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

TEST_F(FetchPageTest, AutomaticHangUpToASlowRouterIsSentOnceAndThenRead) {
    RouterSimulatorOptions options = sim.Options();
    options.connected = true;
    sim.SetOptions(options);
    sim.SetFault("cgi-bin/dial", Fault{Fault::Kind::Delay, 300});
    client.dialCommandIndex = 2;  // PPPoE
    testing::FakeClock clock;
    const CommandReading reading = AutomaticHangUp(client, clock);
    EXPECT_TRUE(reading.sent);  // late, but within the bound: answered
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_EQ(sim.RequestLines(),
              (std::vector<std::string>{"GET /cgi-bin/dial?RC=@&A=H&M=0&T=2000' HTTP/1.0", "GET / HTTP/1.0",
                                        "GET /banner.htm HTTP/1.0", "GET /status.htm HTTP/1.0"}));
    EXPECT_TRUE(reading.refresh.topPageAnswered);
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
