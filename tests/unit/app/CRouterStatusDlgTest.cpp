#include "app/CRouterStatusDlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "app/Timers.h"
#include "base/CodePage.h"
#include "base/FileSystem.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"
#include "tests/unit/app/WindowFixture.h"

namespace velmo {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::string kIniName = "Velmo tool.ini";

class CRouterStatusDlgTest : public testing::WindowFixture {
  protected:
    std::string SettingsFile() {
        std::string bytes;
        ReadFileBytes(dir_.File(kIniName), bytes);
        return bytes;
    }
};

TEST_F(CRouterStatusDlgTest, SettingsFileLiesInTheCurrentDirectory) {
    WriteSettings("RutorAddress=127.0.0.1:8080\r\nUpdateStatusConnectTime=2500\r\n");
    auto window = MakeWindow();
    EXPECT_EQ(window->SettingsPath(), CurrentDirectoryWithSeparator() + kIniName);
    EXPECT_EQ(window->Settings().RutorAddress, "127.0.0.1:8080");
    EXPECT_EQ(window->Settings().UpdateStatusConnectTime, 2500);
}

TEST_F(CRouterStatusDlgTest, InitialisationSetsCaptionMenuIconsAndCentres) {
    WriteSettings("InitMinimize=0\r\n");
    auto window = MakeWindow();
    EXPECT_TRUE(window->OnInitDialog());
    Settle();
    EXPECT_EQ(host_.caption, CRouterStatusDlg::Caption());
    EXPECT_EQ(host_.aboutItem, "&About Velmo tool...");
    EXPECT_TRUE(host_.iconsSet);
    EXPECT_TRUE(host_.centred);
    EXPECT_FALSE(host_.minimized);
    EXPECT_EQ(host_.fields[IDC_AUTODISCONNECT_TIME], Utf8ToSjis("未設定"));
}

TEST_F(CRouterStatusDlgTest, InitialisationStartsTheRefreshTimerOnlyWhenItIsOn) {
    WriteSettings("InitMinimize=0\r\nUpdateStatusDisconnectTime=7000\r\n");
    auto window = MakeWindow();
    window->OnInitDialog();
    Settle();
    EXPECT_EQ(host_.timers[kTimerRefresh], 7000u);

    testing::FakeWindowHost otherHost;
    WriteSettings("UpdateStatusDisconnect=0\r\n");
    CRouterStatusDlg second(otherHost, tray_, clock_, router_.Function());
    second.OnInitDialog();
    EXPECT_FALSE(otherHost.TimerRunning(kTimerRefresh));
}

TEST_F(CRouterStatusDlgTest, InitMinimizeStartsMinimisedAndHidesThroughTheSizeMessage) {
    WriteSettings("InitMinimize=1\r\n");
    auto window = MakeWindow();
    window->OnInitDialog();
    Settle();
    EXPECT_TRUE(host_.minimized);
    EXPECT_THAT(host_.calls, ::testing::Contains("post size minimized"));
}

TEST_F(CRouterStatusDlgTest, AutoDisconnectFieldShowsTheSetMomentWhenOn) {
    WriteSettings("InitMinimize=0\r\nAutoDisconnect=1\r\nAutoDisconnectTime=2027/01/02 03:04:05\r\n");
    auto window = MakeWindow();
    window->OnInitDialog();
    Settle();
    EXPECT_EQ(host_.fields[IDC_AUTODISCONNECT_TIME], "2027/01/02 03:04:05");
}

TEST_F(CRouterStatusDlgTest, CloseSequenceHidesFirstStopsEveryTimerAndEndsTheDialogOnce) {
    auto window = MakeWindow();
    window->OnInitDialog();
    Settle();
    host_.calls.clear();
    window->OnClose();
    window->OnCancel();  // a second close queued behind the first does nothing
    Settle();
    EXPECT_EQ(host_.calls.front(), "hide");
    EXPECT_EQ(host_.calls.back(), "end 2");
    EXPECT_EQ(std::count(host_.calls.begin(), host_.calls.end(), "end 2"), 1);
    EXPECT_TRUE(host_.timers.empty());
    EXPECT_EQ(tray_.calls.back(), "delete 1");
}

TEST_F(CRouterStatusDlgTest, EnterAndEscapeRunTheCloseSequence) {
    for (bool enter : {true, false}) {
        testing::FakeWindowHost host;
        CRouterStatusDlg window(host, tray_, clock_, router_.Function());
        window.OnInitDialog();
        enter ? window.OnOK() : window.OnCancel();
        EXPECT_EQ(host.endResult, IDCANCEL);
        EXPECT_TRUE(host.timers.empty());
    }
}

TEST_F(CRouterStatusDlgTest, ExitButtonAndMenuItemPostTheCloseMessage) {
    auto window = MakeWindow();
    EXPECT_TRUE(window->OnCommand(IDC_EXIT));
    EXPECT_TRUE(window->OnCommand(ID_MENU_EXIT));
    EXPECT_THAT(host_.calls, ElementsAre("post close", "post close"));
    EXPECT_EQ(host_.endResult, -1);
}

TEST_F(CRouterStatusDlgTest, AboutItemOpensTheAboutBoxWhateverTheLowBitsAndHoldsThePolls) {
    auto window = MakeWindow();
    window->OnInitDialog();
    Settle();
    host_.calls.clear();
    EXPECT_TRUE(window->OnSysCommand(IDM_ABOUTBOX));
    // No refresh, poll or capture falls due while the box is open.
    EXPECT_THAT(host_.calls, ElementsAre("stop 1", "about", "start 1 10000"));
    EXPECT_TRUE(window->OnSysCommand(IDM_ABOUTBOX | 0x3));
    EXPECT_FALSE(window->OnSysCommand(0xF060));  // SC_CLOSE goes to default handling
    EXPECT_EQ(std::count(host_.calls.begin(), host_.calls.end(), "about"), 2);
}

TEST_F(CRouterStatusDlgTest, DestructionWritesEveryKeyEvenWithoutChanges) {
    MakeWindow().reset();
    std::string file = SettingsFile();
    EXPECT_THAT(file, HasSubstr("[Setting]\r\nRutorAddress="));
    EXPECT_THAT(file, HasSubstr("\r\nAutoDisconnectDlg=0\r\n"));
}

TEST_F(CRouterStatusDlgTest, DestructionKeepsOtherSectionsOfTheFile) {
    ASSERT_TRUE(
        ReplaceFileAtomically(dir_.File(kIniName), "[Other]\r\nmine=1\r\n[Setting]\r\nUpdateLog=1\r\n"));
    MakeWindow().reset();
    std::string file = SettingsFile();
    EXPECT_THAT(file, HasSubstr("[Other]\r\nmine=1\r\n"));
    EXPECT_THAT(file, HasSubstr("\r\nUpdateLog=1\r\n"));
}

TEST_F(CRouterStatusDlgTest, AutoDisconnectTurnedOffAtLoadIsSavedOff) {
    clock_.SetNow(DateTime::FromParts(2026, 5, 1, 23, 30, 0));
    WriteSettings("AutoDisconnect=1\r\nAutoDisconnectTime=not a time\r\n");
    MakeWindow().reset();
    std::string file = SettingsFile();
    EXPECT_THAT(file, HasSubstr("\r\nAutoDisconnect=0\r\n"));
    EXPECT_THAT(file, HasSubstr("\r\nAutoDisconnectTime=2026/05/01 23:30:00\r\n"));
}

}  // namespace
}  // namespace velmo
