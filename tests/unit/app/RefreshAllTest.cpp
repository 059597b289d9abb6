// The full refresh, the status poll, the follow-up window and the commands.
#include <gmock/gmock.h>

#include "app/Timers.h"
#include "res/resource.h"
#include "tests/unit/app/WindowFixture.h"

namespace velmo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RefreshAllTest : public testing::WindowFixture {};

const std::string kUp = testing::EnglishStatusPage("00:12:34", "Ready", "Connection Type: PPPoE\n");
const std::string kDown = testing::EnglishStatusPage("-", "Ready", "Connection Type: PPPoE\n");

TEST_F(RefreshAllTest, ShowsModelTimeAndTranslatedModemState) {
    auto window = OpenWindow("", kUp);
    EXPECT_EQ(Field(IDC_MODEL), "Broadband Router (BR-8600)");
    EXPECT_EQ(Field(IDC_CONNECTION_TIME), "00:12:34");
    EXPECT_EQ(Field(IDC_MODEM_STATE), Utf8ToSjis("レディ"));
    EXPECT_TRUE(window->Connected());
    EXPECT_EQ(tray_.picture, IDI_LINE_UP);
}

TEST_F(RefreshAllTest, RequestsTopBannerAndStatusPagesInOrder) {
    auto window = OpenWindow("", kDown);
    window->RefreshAll();
    Settle();
    EXPECT_THAT(router_.Requests(), ElementsAre("", "banner.htm", "status.htm"));
}

TEST_F(RefreshAllTest, LineDownShowsNotConnectedAndTheLineDownPicture) {
    auto window = OpenWindow("", kDown);
    EXPECT_EQ(Field(IDC_CONNECTION_TIME), Utf8ToSjis("未接続"));
    EXPECT_FALSE(window->Connected());
    EXPECT_TRUE(window->RouterReachable());
    EXPECT_EQ(tray_.picture, IDI_LINE_DOWN);
}

TEST_F(RefreshAllTest, RouterThatDoesNotAnswerEmptiesTheFields) {
    auto window = OpenWindow("", kUp);
    router_.GoAway();
    window->RefreshAll();
    Settle();
    EXPECT_EQ(Field(IDC_MODEL), Utf8ToSjis("ルーターに接続できません"));
    EXPECT_EQ(Field(IDC_CONNECTION_TIME), "");
    EXPECT_EQ(Field(IDC_MODEM_STATE), "");
    EXPECT_FALSE(window->RouterReachable());
    EXPECT_EQ(tray_.picture, IDI_NOT_REACHABLE);
    EXPECT_FALSE(host_.TimerRunning(kTimerStatusPoll));
}

TEST_F(RefreshAllTest, ConnectedReadingMakesTheRouterReachableEvenWhenTheTopPageFailed) {
    WriteSettings("InitMinimize=0\r\n");
    router_.Serve("banner.htm", testing::BannerPage("(BR-8600)"));
    router_.Serve("status.htm", kUp);  // the top page "" is not served: it fails
    auto window = MakeWindow();
    window->OnInitDialog();
    Settle();
    EXPECT_EQ(Field(IDC_MODEL), Utf8ToSjis("ルーターに接続できません"));  // read before the status
    EXPECT_TRUE(window->Connected());
    EXPECT_TRUE(window->RouterReachable());
    EXPECT_EQ(tray_.picture, IDI_LINE_UP);  // 136, not the not-reachable 132
    EXPECT_EQ(tray_.calls.back(), "modify 1 " + std::to_string(IDI_LINE_UP));
}

TEST_F(RefreshAllTest, PollsWhileConnectedWhenThePollIsOn) {
    auto window = OpenWindow("UpdateStatusConnectTime=2500\r\n", kUp);
    EXPECT_EQ(host_.timers.at(kTimerStatusPoll), 2500u);
    window->OnTimer(kTimerStatusPoll);
    Settle();
    EXPECT_THAT(host_.calls, ElementsAre("stop 2", "start 2 2500"));
}

TEST_F(RefreshAllTest, NoStatusOnlyPollWhenThePollIsOff) {
    auto window = OpenWindow("UpdateStatusConnect=0\r\n", kUp);
    EXPECT_TRUE(window->Connected());
    EXPECT_FALSE(host_.TimerRunning(kTimerStatusPoll));
}

TEST_F(RefreshAllTest, RefreshTickStopsWorksAndRestarts) {
    auto window = OpenWindow("UpdateStatusDisconnectTime=7000\r\n", kDown);
    window->OnTimer(kTimerRefresh);
    Settle();
    EXPECT_THAT(host_.calls, ElementsAre("stop 1", "start 1 7000"));
}

TEST_F(RefreshAllTest, ConnectRefreshesOpensTheFollowUpWindowThenSendsTheLearnedCommand) {
    auto window = OpenWindow("UpdateStatusConnect=0\r\n", kDown);
    EXPECT_EQ(window->Router().dialCommandIndex, 2);  // PPPoE
    window->OnCommand(IDC_CONNECT);
    Settle();
    EXPECT_THAT(router_.Requests(),
                ElementsAre("", "banner.htm", "status.htm", "cgi-bin/dial?RC=@&A=D&M=0&T=10000'"));
    EXPECT_TRUE(window->FollowUpActive());
    EXPECT_EQ(host_.timers.at(kTimerFollowUpEnd), 120000u);
    // The follow-up window polls the line, with the follow-up interval (10 s: the poll is off).
    EXPECT_EQ(host_.timers.at(kTimerStatusPoll), 10000u);
    window->OnTimer(kTimerFollowUpEnd);
    Settle();
    EXPECT_FALSE(window->FollowUpActive());
}

TEST_F(RefreshAllTest, DisconnectKeepsPollingUntilTheFollowUpWindowEnds) {
    auto window = OpenWindow("UpdateStatusConnectTime=3000\r\n", kUp);
    window->OnCommand(ID_MENU_DISCONNECT);
    Settle();
    EXPECT_EQ(router_.Requests().back(), "cgi-bin/dial?RC=@&A=H&M=0&T=2000'");
    router_.Serve("status.htm", kDown);
    window->OnTimer(kTimerStatusPoll);
    Settle();
    EXPECT_FALSE(window->Connected());
    EXPECT_EQ(host_.timers.at(kTimerStatusPoll), 3000u);
    window->OnTimer(kTimerFollowUpEnd);
    Settle();
    window->OnTimer(kTimerStatusPoll);
    Settle();
    EXPECT_FALSE(host_.TimerRunning(kTimerStatusPoll));
}

TEST_F(RefreshAllTest, CommandWhileTheRouterDoesNotAnswerClosesTheFollowUpWindow) {
    auto window = OpenWindow("", kDown);
    window->OnConnect();
    Settle();
    ASSERT_TRUE(window->FollowUpActive());
    router_.GoAway();
    window->OnDisconnect();
    Settle();
    EXPECT_FALSE(window->FollowUpActive());
    EXPECT_FALSE(host_.TimerRunning(kTimerFollowUpEnd));
}

TEST_F(RefreshAllTest, NothingIsSentBeforeTheCommandPairIsKnown) {
    auto window = OpenWindow("", testing::EnglishStatusPage("-", "Ready"));
    EXPECT_EQ(window->Router().dialCommandIndex, 10000);
    window->OnConnect();
    Settle();
    EXPECT_THAT(router_.Requests(), ElementsAre("", "banner.htm", "status.htm"));
}

TEST_F(RefreshAllTest, StaticAddressLineSendsNothing) {
    auto window = OpenWindow("", testing::EnglishStatusPage("00:00:01", "Ready", "Static IP\n"));
    EXPECT_EQ(window->Router().dialCommandIndex, 6);
    window->OnDisconnect();
    Settle();
    EXPECT_EQ(router_.Requests().size(), 3u);
}

TEST_F(RefreshAllTest, FailedPollKeepsTheLastReachabilitySoTheLineDownPictureShows) {
    auto window = OpenWindow("", kUp);
    router_.GoAway();
    window->OnTimer(kTimerStatusPoll);
    Settle();
    EXPECT_FALSE(window->Connected());
    EXPECT_TRUE(window->RouterReachable());
    EXPECT_EQ(tray_.picture, IDI_LINE_DOWN);
}

TEST_F(RefreshAllTest, SlowTopPageClearsTheAddressAndSaysSo) {
    auto window = OpenWindow("RutorAddress=127.0.0.1:8080\r\n", kUp);
    clock_.advancePerUnbiasedRead = 10001;
    window->RefreshAll();
    Settle();
    EXPECT_EQ(window->Settings().RutorAddress, "");
    EXPECT_EQ(window->Router().routerAddress, "");
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0],
              "Velmo tool|" + Utf8ToSjis("指定されたアドレスに接続できません.\n"
                                         "アドレスは無効化されました.\n再度指定してください."));
    EXPECT_THAT(host_.calls, ::testing::Contains("restore"));
}

TEST_F(RefreshAllTest, TopPageWithinTenSecondsKeepsTheAddress) {
    auto window = OpenWindow("RutorAddress=127.0.0.1:8080\r\n", kUp);
    clock_.advancePerUnbiasedRead = 10000;
    window->RefreshAll();
    Settle();
    EXPECT_EQ(window->Router().routerAddress, "127.0.0.1:8080");
    EXPECT_THAT(host_.messages, IsEmpty());
}

TEST_F(RefreshAllTest, MenuRefreshRunsAFullRefresh) {
    auto window = OpenWindow("", kDown);
    EXPECT_TRUE(window->OnCommand(ID_MENU_REFRESH));
    Settle();
    EXPECT_THAT(router_.Requests(), ElementsAre("", "banner.htm", "status.htm"));
}

// The computer sleeps for an hour and wakes up with its network still
// coming back: nothing polls while asleep, readings that fail in the first
// half minute are neither the router's silence nor news of the line, and the
// line read after it, an hour older, is the same session.
TEST_F(RefreshAllTest, AfterSleepTheRouterOutOfReachIsNoSilenceAndTheSessionGoesOn) {
    auto window = OpenWindow("UpdateStatusConnectTime=1000\r\n", kUp);
    window->OnSuspend();
    EXPECT_FALSE(host_.TimerRunning(kTimerRefresh));
    EXPECT_FALSE(host_.TimerRunning(kTimerStatusPoll));
    clock_.Suspend(3600000);
    router_.GoAway();
    window->OnResume();
    for (int reading = 0; reading < 10; ++reading) {
        Settle();
        clock_.Advance(2500);
        window->OnTimer(kTimerStatusPoll);
    }
    router_.Serve("", "top");
    router_.Serve("banner.htm", testing::BannerPage("(BR-8600)"));
    router_.Serve("status.htm", testing::EnglishStatusPage("01:13:00", "Ready", "Connection Type: PPPoE\n"));
    Settle();
    window->RefreshAll();
    Settle();
    EXPECT_THAT(tray_.balloons, IsEmpty());
    EXPECT_TRUE(window->Connected());
    std::string record;
    ReadFileBytes(dir_.File("Velmo tool history.csv"), record);
    EXPECT_EQ(record.find("\r\n") == record.rfind("\r\n"), true) << record;  // the header at most
    EXPECT_TRUE(host_.TimerRunning(kTimerStatusPoll));
}

}  // namespace
}  // namespace velmo
