// The auto-disconnect as the window runs it, with the fake clock: timer 6 and
// field 1009 follow the schedule, the hang-up is sent again only while the
// router does not answer, and the confirmation and the hidden window are honoured. The
// schedule's own arithmetic is tested in tests/unit/autodisconnect.
#include <gmock/gmock.h>

#include "app/Timers.h"
#include "res/resource.h"
#include "tests/unit/app/WindowFixture.h"

namespace velmo {
namespace {

using ::testing::ElementsAre;

const std::string kHangUp = "cgi-bin/dial?RC=@&A=H&M=0&T=2000'";  // the PPPoE pair
const std::string kUpPppoe = testing::EnglishStatusPage("00:01:00", "Ready", "PPPoE\n");

class AutoDisconnectTest : public testing::WindowFixture {
  protected:
    // Opens the window at `start` with auto-disconnect set to `moment`.
    std::unique_ptr<CRouterStatusDlg> Open(DateTime start, const std::string& moment, bool dated,
                                           const std::string& extra = "") {
        clock_.SetNow(start);
        router_.Serve(kHangUp, "ok");
        return OpenWindow("AutoDisconnect=1\r\nAutoDisconnectSelectDay=" + std::string(dated ? "1" : "0") +
                              "\r\nAutoDisconnectTime=" + moment + "\r\n" + extra,
                          kUpPppoe);
    }
    // Moves the clock by `seconds` and delivers the tick of timer 6.
    void Tick(CRouterStatusDlg& window, std::int64_t seconds) {
        clock_.SetNow(clock_.Now().PlusSeconds(seconds));
        window.OnTimer(kTimerAutoDisconnect);
        Settle();
    }
    // The user (or the countdown) answers the open question.
    void Answer(CRouterStatusDlg& window, bool goAhead) {
        ASSERT_TRUE(host_.confirmOpen);
        host_.confirmOpen = false;
        window.OnAutoDisconnectAnswer(goAhead);
        Settle();
    }
    long HangUps() {
        auto requests = router_.Requests();
        return std::count(requests.begin(), requests.end(), kHangUp);
    }
};

const DateTime kNoon = DateTime::FromParts(2026, 12, 8, 12, 0, 0);

TEST_F(AutoDisconnectTest, DatedMomentTenSecondsAheadHangsUpAtTheTickThenSwitchesOff) {
    auto window = Open(kNoon, "2026/12/08 12:00:10", true);
    EXPECT_EQ(host_.timers.at(kTimerAutoDisconnect), 10000u);
    EXPECT_EQ(Field(IDC_AUTODISCONNECT_TIME), "2026/12/08 12:00:10");
    router_.ClearRequests();
    Tick(*window, 10);
    // The hang-up answered at once; the refresh after it shows its effect.
    EXPECT_THAT(router_.Requests(), ElementsAre(kHangUp, "", "banner.htm", "status.htm"));
    EXPECT_FALSE(window->Settings().AutoDisconnect);
    EXPECT_FALSE(host_.TimerRunning(kTimerAutoDisconnect));
    EXPECT_EQ(Field(IDC_AUTODISCONNECT_TIME), Utf8ToSjis("未設定"));
}

TEST_F(AutoDisconnectTest, DailyTimeAlreadyPastTodayShowsTomorrow) {
    auto window = Open(kNoon, "2020/01/01 08:30:00", false);
    EXPECT_TRUE(window->Settings().AutoDisconnect);
    EXPECT_EQ(Field(IDC_AUTODISCONNECT_TIME), "2026/12/09 08:30:00");
    EXPECT_EQ(host_.timers.at(kTimerAutoDisconnect), 300000u);
    EXPECT_EQ(HangUps(), 0);
}

TEST_F(AutoDisconnectTest, RefusedConfirmationSendsNothingAndHidesTheWindowAgain) {
    auto window = Open(kNoon, "2026/12/08 12:00:10", true, "AutoDisconnectDlg=1\r\n");
    host_.minimized = true;  // hidden in the notification area
    host_.calls.clear();
    Tick(*window, 10);
    Answer(*window, false);
    EXPECT_EQ(HangUps(), 0);
    EXPECT_THAT(host_.calls, ::testing::IsSupersetOf({"restore", "foreground", "confirm", "minimize"}));
    EXPECT_TRUE(host_.minimized);
    EXPECT_FALSE(window->Settings().AutoDisconnect);
}

TEST_F(AutoDisconnectTest, CloseWhileTheQuestionIsOpenAnswersCancelAndClosesWithoutHangingUp) {
    auto window = Open(kNoon, "2026/12/08 12:00:10", true, "AutoDisconnectDlg=1\r\n");
    Tick(*window, 10);
    ASSERT_TRUE(host_.confirmOpen);
    window->OnClose();  // the tray menu's 終了 while it is open
    // The question went with the window, unanswered.
    EXPECT_FALSE(host_.confirmOpen);
    EXPECT_EQ(host_.endResult, IDCANCEL);
    EXPECT_EQ(HangUps(), 0);
    EXPECT_TRUE(host_.timers.empty());
}

TEST_F(AutoDisconnectTest, ConfirmedHangUpRunsInFrontOfTheUser) {
    auto window = Open(kNoon, "2026/12/08 12:00:10", true, "AutoDisconnectDlg=1\r\n");
    host_.calls.clear();
    Tick(*window, 10);
    Tick(*window, 10);  // the question still up answers for a later tick too
    EXPECT_EQ(HangUps(), 0);
    Answer(*window, true);
    EXPECT_EQ(HangUps(), 1);
    EXPECT_EQ(std::count(host_.calls.begin(), host_.calls.end(), "confirm"), 1);
    EXPECT_EQ(std::count(host_.calls.begin(), host_.calls.end(), "minimize"), 0);  // it was not hidden
}

TEST_F(AutoDisconnectTest, QuestionHoldsThePollsEvenWhenAResultArrivesWhileItIsOpen) {
    auto window = Open(kNoon, "2026/12/08 12:00:10", true, "AutoDisconnectDlg=1\r\nUpdateLog=1\r\n");
    window->RefreshAll();  // on its way when the question opens
    Tick(*window, 10);     // the refresh's result arrives while the question is up
    for (int id : {kTimerRefresh, kTimerStatusPoll, kTimerLogCapture}) {
        EXPECT_FALSE(host_.TimerRunning(id)) << id;
    }
    Answer(*window, true);
    EXPECT_TRUE(host_.TimerRunning(kTimerRefresh));
    EXPECT_TRUE(host_.TimerRunning(kTimerLogCapture));
    EXPECT_EQ(HangUps(), 1);
}

TEST_F(AutoDisconnectTest, RouterThatFailsTheHangUpIsTriedTenTimesHalfASecondApart) {
    auto window = Open(kNoon, "2026/12/08 12:00:10", true);
    router_.Serve(kHangUp, "");
    router_.GoAway();
    router_.Serve("", "top");
    router_.Serve("status.htm", kUpPppoe);
    clock_.sleeps.clear();
    Tick(*window, 10);
    EXPECT_EQ(HangUps(), 10);
    EXPECT_THAT(clock_.sleeps, ElementsAre(500, 500, 500, 500, 500, 500, 500, 500, 500, 500));
}

TEST_F(AutoDisconnectTest, NoKnownCommandSendsNothingAndDoesNotWait) {
    clock_.SetNow(kNoon);
    auto window = OpenWindow("AutoDisconnect=1\r\nAutoDisconnectTime=2026/12/08 12:00:10\r\n",
                             testing::EnglishStatusPage("00:01:00", "Ready", "Static IP\n"));
    clock_.sleeps.clear();
    Tick(*window, 10);
    EXPECT_EQ(window->Router().dialCommandIndex, 6);
    EXPECT_THAT(clock_.sleeps, ::testing::IsEmpty());
    for (const std::string& path : router_.Requests()) {
        EXPECT_EQ(path.find("cgi-bin/dial"), std::string::npos) << path;
    }
}

}  // namespace
}  // namespace velmo
