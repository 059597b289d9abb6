// RequestPage against the router simulator on 127.0.0.1.
#include <gtest/gtest.h>

#include <chrono>

#include "router/HttpRequest.h"
#include "router/RouterClient.h"
#include "sim/RouterSimulator.h"
#include "sim/SimulatorPages.h"

namespace velmo {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

std::string Letters(std::size_t size) {
    std::string text(size, 'A');
    for (std::size_t i = 0; i < size; ++i) {
        text[i] = static_cast<char>('A' + i % 26);
    }
    return text;
}

class RequestPageTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(sim.Start()); }

    bool Request(const std::string& path, std::string& text, const RequestLimits& limits = RequestLimits{}) {
        return RequestPage(sim.Address(), path, text, limits);
    }

    RouterSimulator sim;
};

TEST_F(RequestPageTest, TopPageIsTheRootOfTheServer) {
    std::string text;
    EXPECT_TRUE(Request("", text));
    EXPECT_EQ(text, TopPageBody());
    EXPECT_EQ(sim.RequestLines(), std::vector<std::string>{"GET / HTTP/1.0"});
}

TEST_F(RequestPageTest, CommandStringsGoAsTheyAreWithTheirApostrophe) {
    std::string text;
    EXPECT_TRUE(Request(std::string(RouterClient::dialCommands[0]), text));
    EXPECT_TRUE(Request(std::string(RouterClient::dialCommands[9]), text));
    EXPECT_EQ(sim.RequestLines(),
              (std::vector<std::string>{"GET /cgi-bin/dial?RC=@&A=D&M=1&T=180000' HTTP/1.0",
                                        "GET /cgi-bin/dial?rc=@&A=H0&rd=status HTTP/1.0"}));
}

TEST_F(RequestPageTest, ControlBytesAndBlanksInAPathCannotBreakTheRequestLine) {
    std::string text;
    EXPECT_TRUE(Request("status.htm HTTP/1.0\r\nX-Injected: 1\r\n\r\nGET /x", text));  // read as a 404 page
    EXPECT_EQ(sim.RequestLines(),
              std::vector<std::string>{
                  "GET /status.htm%20HTTP/1.0%0D%0AX-Injected:%201%0D%0A%0D%0AGET%20/x HTTP/1.0"});
    EXPECT_EQ(text, ErrorPageBody(404));
}

TEST_F(RequestPageTest, BodiesOf128And300BytesAreReadWhole) {
    for (long size : {128L, 300L}) {
        sim.SetFault("status.htm", Fault{Fault::Kind::BodySize, size});
        std::string text;
        EXPECT_TRUE(Request("status.htm", text)) << size;
        EXPECT_EQ(text, Letters(static_cast<std::size_t>(size)));
    }
}

TEST_F(RequestPageTest, RedirectFailsWhileNotFoundAndServerErrorAreRead) {
    std::string text;
    sim.SetFault("status.htm", Fault{Fault::Kind::Status, 302});
    EXPECT_FALSE(Request("status.htm", text));
    EXPECT_EQ(text, "");
    sim.SetFault("status.htm", Fault{Fault::Kind::Status, 401});
    EXPECT_FALSE(Request("status.htm", text));
    EXPECT_EQ(text, "");
    for (int code : {404, 500}) {
        sim.SetFault("status.htm", Fault{Fault::Kind::Status, code});
        text.clear();
        EXPECT_TRUE(Request("status.htm", text)) << code;
        EXPECT_EQ(text, ErrorPageBody(code));
    }
}

TEST_F(RequestPageTest, CloseInTheMiddleOfTheBodyFailsWithTheChunksRead) {
    sim.SetFault("status.htm", Fault{Fault::Kind::CloseAfter, 200});
    std::string text;
    EXPECT_FALSE(Request("status.htm", text));
    const std::string page = StatusPageBody(sim.Options(), SimulatedLine::Phase::Down, 0s);
    ASSERT_GT(page.size(), 200u);
    EXPECT_EQ(text, page.substr(0, 128));
}

TEST_F(RequestPageTest, SilentRouterEndsAtTheTimeWithoutData) {
    sim.SetFault("status.htm", Fault{Fault::Kind::Silent});
    RequestLimits limits;
    limits.idleTimeout = 200ms;
    std::string text = "kept";
    const auto start = SteadyClock::now();
    EXPECT_FALSE(Request("status.htm", text, limits));
    const auto took = SteadyClock::now() - start;
    EXPECT_GE(took, 200ms);
    EXPECT_LT(took, 2s);
    EXPECT_EQ(text, "kept");
}

TEST_F(RequestPageTest, SlowRouterEndsAtTheTimeForTheWholeExchange) {
    sim.SetFault("status.htm", Fault{Fault::Kind::Delay, 5000});
    RequestLimits limits;
    limits.totalTimeout = 300ms;
    std::string text;
    const auto start = SteadyClock::now();
    EXPECT_FALSE(Request("status.htm", text, limits));
    EXPECT_LT(SteadyClock::now() - start, 2s);
}

TEST_F(RequestPageTest, DelayedAnswerWithinTheLimitsIsRead) {
    sim.SetFault("banner.htm", Fault{Fault::Kind::Delay, 100});
    std::string text;
    EXPECT_TRUE(Request("banner.htm", text));
    EXPECT_EQ(text, BannerPageBody(sim.Options()));
}

TEST(RequestPage, NothingListeningFailsWithEmptyText) {
    RouterSimulator sim;
    ASSERT_TRUE(sim.Start());
    const std::string address = sim.Address();
    sim.Stop();
    std::string text;
    EXPECT_FALSE(RequestPage(address, "", text));
    EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace velmo
