// The notification-area icon, hiding into it and the mouse on it.
#include <gmock/gmock.h>

#include "app/Timers.h"
#include "res/resource.h"
#include "sim/LogPageBuilder.h"
#include "tests/unit/app/WindowFixture.h"

namespace velmo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TrayIconTest : public testing::WindowFixture {};

const std::string kDown = testing::EnglishStatusPage("-", "Ready");

TEST_F(TrayIconTest, IsAddedWithTheNotReachablePictureThenFollowsTheState) {
    WriteSettings("InitMinimize=0\r\n");
    router_.Serve("", "top");
    router_.Serve("status.htm", kDown);
    auto window = MakeWindow();
    window->OnInitDialog();
    Settle();
    EXPECT_THAT(tray_.calls, ElementsAre("add 1 132", "modify 1 135"));
    EXPECT_EQ(tray_.tooltip, CRouterStatusDlg::Caption());
}

TEST_F(TrayIconTest, WarningPictureWinsOverEveryStateUntilTimerFive) {
    auto window = OpenWindow("UpdateLogFileName=log.txt\r\n", kDown);
    router_.Serve("syslog.htm", SystemLogPageBody({{1000, "Unrecognized access from 203.0.113.7"}}));
    window->CaptureSystemLog();
    Settle();
    ASSERT_TRUE(window->AccessWarning());
    window->UpdateTrayIcon();
    EXPECT_EQ(tray_.picture, IDI_ACCESS_WARNING);
    window->OnTimer(kTimerAccessWarningEnd);
    Settle();
    EXPECT_FALSE(window->AccessWarning());
    EXPECT_EQ(tray_.picture, IDI_LINE_DOWN);
}

TEST_F(TrayIconTest, MinimisingHidesTheWindowWithoutAddingTheIconTwice) {
    auto window = OpenWindow("", kDown);
    window->OnSizeMinimized();
    Settle();
    EXPECT_TRUE(host_.hidden);
    EXPECT_THAT(tray_.calls, IsEmpty());
}

TEST_F(TrayIconTest, LeftClickHidesAndTheNextRestoresToTheFront) {
    auto window = OpenWindow("", kDown);
    window->OnTrayNotify(TrayMouse::LeftDown);
    Settle();
    EXPECT_THAT(host_.calls, ElementsAre("minimize"));
    window->OnTrayNotify(TrayMouse::Other);  // the release and a double click are ignored
    Settle();
    window->OnTrayNotify(TrayMouse::LeftDown);
    Settle();
    EXPECT_THAT(host_.calls, ElementsAre("minimize", "restore", "foreground"));
}

TEST_F(TrayIconTest, RightClickOpensTheMenuWhichKnowsWhetherBalloonsAreMuted) {
    auto window = OpenWindow("", kDown);
    bool menuShown = false;
    host_.onShowTrayMenu = [&] { menuShown = true; };
    window->OnTrayNotify(TrayMouse::RightDown);
    Settle();
    EXPECT_TRUE(menuShown);
    EXPECT_FALSE(host_.menuShownMuted);
    window->OnCommand(ID_MENU_MUTE_1H);
    window->OnTrayNotify(TrayMouse::RightDown);
    EXPECT_TRUE(host_.menuShownMuted);  // 通知を再開 can be chosen
}

TEST_F(TrayIconTest, ClickWhileAModalWindowIsUpOnlyBringsItToTheFront) {
    auto window = OpenWindow("", kDown);
    host_.enabled = false;
    bool menuShown = false;
    host_.onShowTrayMenu = [&] { menuShown = true; };
    window->OnTrayNotify(TrayMouse::LeftDown);
    Settle();
    window->OnTrayNotify(TrayMouse::RightDown);
    Settle();
    window->OnRightButtonUp();
    Settle();
    EXPECT_THAT(host_.calls, ElementsAre("popup to front", "popup to front"));
    EXPECT_FALSE(menuShown);
}

TEST_F(TrayIconTest, RebuiltTaskbarGetsTheIconBackWithThePresentPicture) {
    auto window = OpenWindow("", kDown);
    window->OnTaskbarCreated();
    Settle();
    EXPECT_THAT(tray_.calls, ElementsAre("add 1 135"));
}

TEST_F(TrayIconTest, CloseRemovesTheIconOnce) {
    auto window = OpenWindow("", kDown);
    window->OnClose();
    window->RemoveTrayIcon();
    EXPECT_THAT(tray_.calls, ElementsAre("delete 1"));
}

}  // namespace
}  // namespace velmo
