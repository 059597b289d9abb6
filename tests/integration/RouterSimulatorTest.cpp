// The simulator's pages read by the router client's own readers, and its
// shutdown with silent connections open.
#include <gtest/gtest.h>

#include <chrono>

#include "base/CodePage.h"
#include "base/SjisText.h"
#include "base/Socket.h"
#include "router/HttpRequest.h"
#include "router/RouterClient.h"
#include "router/StatusPage.h"
#include "sim/LogPageBuilder.h"
#include "sim/RouterSimulator.h"

namespace velmo {
namespace {

using namespace std::chrono_literals;

std::string Fetch(RouterSimulator& sim, std::string_view path) {
    std::string text;
    EXPECT_TRUE(RequestPage(sim.Address(), std::string(path), text));
    return text;
}

TEST(RouterSimulator, BothBannerVariantsCarryTheModelLine) {
    for (int variant : {1, 2}) {
        RouterSimulatorOptions options;
        options.bannerVariant = variant;
        options.model = Utf8ToSjis("VR-2400 ルーター");
        RouterSimulator sim(options);
        ASSERT_TRUE(sim.Start());
        EXPECT_EQ(ModelLine(true, Fetch(sim, RouterClient::bannerPage), true), options.model) << variant;
    }
}

TEST(RouterSimulator, EveryStatusWordingReadsTheSame) {
    const std::pair<PageLanguage, ModemLabel> wordings[] = {
        {PageLanguage::Japanese, ModemLabel::JapaneseBlank},
        {PageLanguage::Japanese, ModemLabel::JapaneseNoBlank},
        {PageLanguage::English, ModemLabel::English},
    };
    for (const auto& [language, label] : wordings) {
        RouterSimulatorOptions options;
        options.language = language;
        options.modemLabel = label;
        RouterSimulator sim(options);
        ASSERT_TRUE(sim.Start());
        const RouterStatus status = ParseStatusPage(Fetch(sim, RouterClient::statusPage));
        EXPECT_EQ(status.connectionTime, Utf8ToSjis("未接続"));
        EXPECT_EQ(status.modemState, Utf8ToSjis("レディ"));
        EXPECT_FALSE(status.connected);
    }
}

TEST(RouterSimulator, ConnectedLineShowsARunningTime) {
    RouterSimulatorOptions options;
    options.connected = true;
    RouterSimulator sim(options);
    ASSERT_TRUE(sim.Start());
    const RouterStatus status = ParseStatusPage(Fetch(sim, RouterClient::statusPage));
    EXPECT_TRUE(status.connected);
    EXPECT_EQ(status.connectionTime, "00:00:00");
    sim.SetConnected(false);
    EXPECT_FALSE(ParseStatusPage(Fetch(sim, RouterClient::statusPage)).connected);
}

TEST(RouterSimulator, WanTypeWordsTeachTheCommandIndex) {
    const std::pair<WanType, int> cases[] = {{WanType::DialUp, 0},
                                             {WanType::Pppoe, 2},
                                             {WanType::Pptp, 4},
                                             {WanType::Static, 6},
                                             {WanType::None, 10000}};
    for (PageLanguage language : {PageLanguage::Japanese, PageLanguage::English}) {
        for (const auto& [wan, index] : cases) {
            RouterSimulatorOptions options;
            options.language = language;
            options.wanType = wan;
            RouterSimulator sim(options);
            ASSERT_TRUE(sim.Start());
            RouterClient client;
            client.LearnDialCommandIndex(Fetch(sim, RouterClient::statusPage));
            EXPECT_EQ(client.dialCommandIndex, index);
        }
    }
}

TEST(RouterSimulator, SystemLogIsShownFromAnAcceptedLoginUntilTheLogout) {
    RouterSimulator sim;
    sim.SetPassword("pa ss&x");
    ASSERT_TRUE(sim.Start());
    const auto logShown = [&] {
        return Fetch(sim, RouterClient::syslogPage).find("function L2(w,x)") != npos;
    };
    EXPECT_FALSE(logShown());
    Fetch(sim, "cgi-bin/logi?RC=%40&PWD=pa+ss&SE=1");  // "&x" lost: not encoded
    EXPECT_FALSE(sim.IsLoggedIn());
    Fetch(sim, "cgi-bin/logi?SE=1&PWD=pa+ss%26x");  // a hidden field missing
    EXPECT_FALSE(sim.IsLoggedIn());
    Fetch(sim, "cgi-bin/logi?SE=1&PWD=pa+ss%26x&RC=%40");
    EXPECT_TRUE(sim.IsLoggedIn());
    EXPECT_TRUE(logShown());
    Fetch(sim, "cgi-bin/logo?RC=@");
    EXPECT_FALSE(sim.IsLoggedIn());
    EXPECT_FALSE(logShown());
}

TEST(RouterSimulator, LogAgesAreMillisecondsOnTheLogClock) {
    RouterSimulatorOptions options;
    options.logAlwaysReadable = true;
    RouterSimulator sim(options);
    sim.SetLogClock([] { return std::int64_t{10'000'500}; });
    sim.SetLogEntries({{false, 9'995'300, "x"}, {true, 0, "y"}});
    ASSERT_TRUE(sim.Start());
    Fetch(sim, "sim/add-log?Hello%20%E3%81%82");
    EXPECT_EQ(Fetch(sim, RouterClient::syslogPage),
              SystemLogPageBody({{5200, "x"}, {{}, "y"}, {0, Utf8ToSjis("Hello あ")}}));
}

TEST(RouterSimulator, StopsQuicklyWithASilentConnectionOpen) {
    RouterSimulator sim;
    ASSERT_TRUE(sim.Start());
    sim.SetFault("status.htm", Fault{Fault::Kind::Silent});
    Socket socket = Socket::Connect("127.0.0.1", sim.Port(), 1s);
    ASSERT_TRUE(socket.IsOpen());
    ASSERT_TRUE(socket.SendAll("GET /status.htm HTTP/1.0\r\n\r\n", 1s));
    for (int i = 0; i < 100 && sim.RequestLines().empty(); ++i) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(sim.RequestLines(), std::vector<std::string>{"GET /status.htm HTTP/1.0"});

    const auto start = std::chrono::steady_clock::now();
    sim.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    char byte;
    std::size_t received = 0;
    EXPECT_EQ(socket.Receive(&byte, 1, 1s, received), ReceiveResult::Closed);
}

}  // namespace
}  // namespace velmo
