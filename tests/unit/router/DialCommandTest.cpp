#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "base/CodePage.h"
#include "router/RouterClient.h"

namespace velmo {
namespace {

// A router client whose requests only record the path asked for.
class DialCommandTest : public ::testing::Test {
  protected:
    DialCommandTest()
        : client([this](const std::string& host, const std::string& path, std::string&, const CancelToken&) {
              std::lock_guard lock(mutex);
              requests.push_back(host + " " + path);
              return true;
          }) {
        client.routerAddress = "127.0.0.1:8080";
    }

    std::vector<std::string> Requests() {
        std::lock_guard lock(mutex);
        return requests;
    }

    std::mutex mutex;
    std::vector<std::string> requests;
    RouterClient client;
};

TEST_F(DialCommandTest, TableHoldsTheTwelveCommandsExactly) {
    const char* const expected[12] = {
        "cgi-bin/dial?RC=@&A=D&M=1&T=180000'", "cgi-bin/dial?rc=@&A=D1&rd=status",
        "cgi-bin/dial?RC=@&A=D&M=0&T=10000'",  "cgi-bin/dial?rc=@&A=D0&rd=status",
        "cgi-bin/dial?RC=@&A=D&M=0&T=10000'",  "cgi-bin/dial?rc=@&A=D0&rd=status",
        "cgi-bin/dial?RC=@&A=H&M=1&T=14000'",  "cgi-bin/dial?rc=@&A=H1&rd=status",
        "cgi-bin/dial?RC=@&A=H&M=0&T=2000'",   "cgi-bin/dial?rc=@&A=H0&rd=status",
        "cgi-bin/dial?RC=@&A=H&M=0&T=2000'",   "cgi-bin/dial?rc=@&A=H0&rd=status",
    };
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(RouterClient::dialCommands[i], expected[i]) << i;
    }
    EXPECT_EQ(client.dialCommandIndex, 10000);
}

TEST_F(DialCommandTest, HangUpStringTeachesItsDialPartner) {
    client.LearnDialCommandIndex("<A HREF=\"/cgi-bin/dial?rc=@&A=H0&rd=status\">");
    EXPECT_EQ(client.dialCommandIndex, 3);
    EXPECT_TRUE(client.SendDialCommand());
    EXPECT_TRUE(client.SendHangUpCommand());
    EXPECT_EQ(Requests(), (std::vector<std::string>{"127.0.0.1:8080 cgi-bin/dial?rc=@&A=D0&rd=status",
                                                    "127.0.0.1:8080 cgi-bin/dial?rc=@&A=H0&rd=status"}));
}

TEST_F(DialCommandTest, DialGroupIsSearchedBeforeHangUpGroup) {
    client.LearnDialCommandIndex(
        "x cgi-bin/dial?RC=@&A=H&M=0&T=2000' y cgi-bin/dial?RC=@&A=D&M=1&T=180000' z");
    EXPECT_EQ(client.dialCommandIndex, 0);
}

TEST_F(DialCommandTest, CommandStringWinsOverTheWanType) {
    client.LearnDialCommandIndex("PPTP cgi-bin/dial?rc=@&A=D1&rd=status");
    EXPECT_EQ(client.dialCommandIndex, 1);
}

TEST_F(DialCommandTest, WanTypeWordsSelectTheirIndex) {
    const std::pair<std::string, int> cases[] = {
        {Utf8ToSjis("<TD>ダイヤルアップ IP</TD>"), 0},
        {"<TD>Dial-up IP</TD>", 0},
        {"<TD>PPPoE</TD>", 2},
        {"<TD>PPTP</TD>", 4},
        {Utf8ToSjis("<TD>静的IP</TD>"), 6},
        {"<TD>Static IP</TD>", 6},
        // Dial-up IP is looked for first, then PPPoE, PPTP and the static address.
        {"PPTP PPPoE", 2},
        {"Static IP Dial-up IP", 0},
    };
    for (const auto& [page, index] : cases) {
        client.dialCommandIndex = 10000;
        client.LearnDialCommandIndex(page);
        EXPECT_EQ(client.dialCommandIndex, index) << page;
    }
}

TEST_F(DialCommandTest, PptpSendsThePppoeTexts) {
    client.LearnDialCommandIndex("WAN PPTP");
    ASSERT_EQ(client.dialCommandIndex, 4);
    client.SendDialCommand();
    client.SendHangUpCommand();
    EXPECT_EQ(Requests(), (std::vector<std::string>{"127.0.0.1:8080 cgi-bin/dial?RC=@&A=D&M=0&T=10000'",
                                                    "127.0.0.1:8080 cgi-bin/dial?RC=@&A=H&M=0&T=2000'"}));
}

TEST_F(DialCommandTest, StaticAddressAndNothingLearnedSendNothing) {
    EXPECT_FALSE(client.SendDialCommand());
    client.LearnDialCommandIndex("Static IP");
    ASSERT_EQ(client.dialCommandIndex, 6);
    EXPECT_FALSE(client.SendDialCommand());
    EXPECT_FALSE(client.SendHangUpCommand());
    EXPECT_TRUE(Requests().empty());
}

TEST_F(DialCommandTest, ApostropheIsPartOfTheString) {
    client.LearnDialCommandIndex("location.href='/cgi-bin/dial?RC=@&A=D&M=1&T=180000\"");
    EXPECT_EQ(client.dialCommandIndex, 10000);
    client.LearnDialCommandIndex("location.href='/cgi-bin/dial?RC=@&A=D&M=1&T=180000'\"");
    EXPECT_EQ(client.dialCommandIndex, 0);
    client.SendDialCommand();
    EXPECT_EQ(Requests(), std::vector<std::string>{"127.0.0.1:8080 cgi-bin/dial?RC=@&A=D&M=1&T=180000'"});
}

TEST_F(DialCommandTest, UnmatchedPageKeepsTheLearnedIndex) {
    client.LearnDialCommandIndex("PPPoE");
    client.LearnDialCommandIndex("<HTML>404 Not Found</HTML>");
    EXPECT_EQ(client.dialCommandIndex, 2);
}

}  // namespace
}  // namespace velmo
