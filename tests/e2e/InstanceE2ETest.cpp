// The real VelmoTool.exe under Wine: one instance per settings folder, and
// where its dialogs open. Every start has a settings file pointing at a
// router simulator on loopback (scripts/with-routersim exports VELMO_SIM_A
// and VELMO_SIM_B).
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "res/resource.h"
#include "tests/e2e/Driver.h"
#include "win32/Messages.h"

namespace velmo::e2e {
namespace {

// The settings file of one folder, pointing at `simAddress`.
bool WriteSettings(const std::wstring& folder, const std::string& simAddress, const std::string& extra) {
    std::string ini = "[Setting]\r\nRutorAddress=" + simAddress + "\r\n";
    ini += "UpdateStatusConnect=1\r\nUpdateStatusConnectTime=3000\r\n";
    ini += "UpdateStatusDisconnect=1\r\nUpdateStatusDisconnectTime=10000\r\nUpdateLog=0\r\n" + extra;
    return WriteBytes(folder + L"\\Velmo tool.ini", ini);
}

std::string SettingsBytes(const std::wstring& folder) {
    std::string bytes;
    ReadBytes(folder + L"\\Velmo tool.ini", bytes);
    return bytes;
}

std::wstring Upper(std::wstring text) {
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

RECT RectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

POINT CentreOf(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::string Describe(const RECT& rect) {
    char text[80];
    std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", rect.left, rect.top, rect.right, rect.bottom);
    return text;
}

// Wholly on the screen: the Wine desktop.
bool OnScreen(const RECT& rect) {
    return rect.left >= 0 && rect.top >= 0 && rect.right <= GetSystemMetrics(SM_CXSCREEN) &&
           rect.bottom <= GetSystemMetrics(SM_CYSCREEN);
}

// The centres of the two rectangles lie within a few pixels of each other.
bool CentredOn(const RECT& rect, const RECT& reference) {
    const POINT a = CentreOf(rect);
    const POINT b = CentreOf(reference);
    return std::abs(a.x - b.x) <= 3 && std::abs(a.y - b.y) <= 3;
}

void MoveTo(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class InstanceE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        simA_ = SimAddress("VELMO_SIM_A");
        simB_ = SimAddress("VELMO_SIM_B");
        ASSERT_FALSE(simA_.empty() || simB_.empty()) << "run through scripts/with-routersim (ctest does)";
        folder_ = MakeTempDirectory(L"velmo-e2e-instance-");
    }

    HWND StartIn(ToolProcess& tool, const std::wstring& folder, bool visible = true) {
        EXPECT_TRUE(tool.Start(ToolExe(), folder));
        HWND window = tool.WaitForWindow(kMainCaption, 30000, visible);
        EXPECT_NE(window, nullptr);
        return window;
    }

    void Close(ToolProcess& tool, HWND window) {
        ClickButton(window, IDC_EXIT);
        EXPECT_TRUE(tool.WaitForExit(20000));
    }

    std::string simA_;
    std::string simB_;
    std::wstring folder_;
};

TEST_F(InstanceE2E, ASecondStartFromTheSameFolderBringsTheFirstUpAndEnds) {
    ASSERT_TRUE(WriteSettings(folder_, simA_, "InitMinimize=1\r\n"));
    ToolProcess first;
    HWND window = StartIn(first, folder_, false);
    ASSERT_NE(window, nullptr);
    Sleep(1500);
    ASSERT_FALSE(IsWindowVisible(window));  // in the notification area
    const std::string settings = SettingsBytes(folder_);

    // The same folder spelled otherwise: letter case and a trailing separator.
    ToolProcess second;
    ASSERT_TRUE(second.Start(ToolExe(), Upper(folder_) + L"\\"));
    EXPECT_TRUE(second.WaitForExit(20000));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000)) << "not restored";
    EXPECT_FALSE(IsIconic(window));
    // The second start neither read nor wrote the settings: nothing saved at its exit.
    EXPECT_EQ(SettingsBytes(folder_), settings);

    // With the window shown, another start leaves it shown.
    ToolProcess third;
    ASSERT_TRUE(third.Start(ToolExe(), folder_));
    EXPECT_TRUE(third.WaitForExit(20000));
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindow(window));
    Close(first, window);
    EXPECT_NE(SettingsBytes(folder_), settings);  // the first one saved its settings, in full

    // Once the first has ended, a start from the folder runs again.
    ToolProcess again;
    window = StartIn(again, folder_, false);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(again.WaitForExit(1000));
    Close(again, window);
}

// Two starts from one folder at the same moment, in every order the race
// takes: one ends, the other's window is up as the settings say, never hidden
// by the first start's request to come to the front.
TEST_F(InstanceE2E, TwoStartsAtTheSameMomentLeaveOneWindowAsTheSettingsSay) {
    for (const bool minimized : {false, false, true}) {
        ASSERT_TRUE(WriteSettings(folder_, simA_, minimized ? "InitMinimize=1\r\n" : "InitMinimize=0\r\n"));
        ToolProcess tools[2];
        ASSERT_TRUE(tools[0].Start(ToolExe(), folder_));
        ASSERT_TRUE(tools[1].Start(ToolExe(), folder_));
        EXPECT_TRUE(WaitUntil([&] { return tools[0].WaitForExit(0) || tools[1].WaitForExit(0); }, 40000));
        ToolProcess& survivor = tools[0].WaitForExit(0) ? tools[1] : tools[0];
        ASSERT_FALSE(survivor.WaitForExit(0)) << "both ended";
        HWND window = survivor.WaitForWindow(kMainCaption, 10000, false);
        ASSERT_NE(window, nullptr);
        Sleep(1500);  // a late hide or show would have happened by now
        EXPECT_EQ(IsWindowVisible(window) != FALSE, !minimized) << (minimized ? "shown" : "hidden");
        Close(survivor, window);
    }
}

TEST_F(InstanceE2E, StartsFromTwoFoldersRunSideBySide) {
    // Two routers, two folders (one with a Japanese name), two settings files.
    const std::wstring other = folder_ + L"\\" + Wide("ルーター２");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    ASSERT_TRUE(WriteSettings(folder_, simA_, "InitMinimize=0\r\n"));
    ASSERT_TRUE(WriteSettings(other, simB_, "InitMinimize=0\r\n"));
    ToolProcess a;
    ToolProcess b;
    HWND windowA = StartIn(a, folder_);
    HWND windowB = StartIn(b, other);
    ASSERT_NE(windowA, nullptr);
    ASSERT_NE(windowB, nullptr);
    EXPECT_NE(windowA, windowB);
    EXPECT_TRUE(WaitUntil(
        [&] { return ControlText(windowA, IDC_MODEL).find(L"(BR-8600-A)") != std::wstring::npos; }, 10000));
    EXPECT_TRUE(WaitUntil(
        [&] { return ControlText(windowB, IDC_MODEL).find(L"(VR-2400-B)") != std::wstring::npos; }, 10000));
    Close(a, windowA);
    Close(b, windowB);
    EXPECT_NE(SettingsBytes(folder_).find("RutorAddress=" + simA_ + "\r\n"), std::string::npos);
    EXPECT_NE(SettingsBytes(other).find("RutorAddress=" + simB_ + "\r\n"), std::string::npos);
}

TEST_F(InstanceE2E, TheConfirmationOpensCentredOnTheMainWindow) {
    ASSERT_TRUE(WriteSettings(folder_, simA_,
                              "InitMinimize=0\r\nAutoDisconnect=1\r\nAutoDisconnectSelectDay=1\r\n"
                              "AutoDisconnectTime=" +
                                  LocalTimeText(10) + "\r\nAutoDisconnectDlg=1\r\n"));
    ToolProcess tool;
    HWND window = StartIn(tool, folder_);
    ASSERT_NE(window, nullptr);
    // Away from the middle of the screen, where the tool puts it.
    MoveTo(window, 60, 40);
    HWND confirm = tool.WaitForWindow(Wide("自動切断確認"), 30000);
    ASSERT_NE(confirm, nullptr);
    const RECT main = RectOf(window);
    const RECT dialog = RectOf(confirm);
    EXPECT_TRUE(OnScreen(dialog)) << Describe(dialog);
    EXPECT_TRUE(CentredOn(dialog, main)) << Describe(dialog) << " on " << Describe(main);
    Sleep(300);
    SaveScreenshot(ArtifactPath(L"confirm-centred.bmp"));
    ClickButton(confirm, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(confirm); }, 10000));
    Close(tool, window);
}

TEST_F(InstanceE2E, DialogsStayOnTheScreenAndCentreOnItWhileTheWindowIsHidden) {
    ASSERT_TRUE(WriteSettings(folder_, simA_, "InitMinimize=0\r\n"));
    ToolProcess tool;
    HWND window = StartIn(tool, folder_);
    ASSERT_NE(window, nullptr);

    // The about box, centred on the window in the screen's middle part.
    MoveTo(window, 500, 150);
    Post(window, WM_SYSCOMMAND, IDM_ABOUTBOX);
    HWND about = tool.WaitForWindow(L"About Velmo tool", 10000);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(CentredOn(RectOf(about), RectOf(window))) << Describe(RectOf(about));
    ClickButton(about, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 10000));

    // The window half off the screen's bottom-right corner: the about box and
    // the settings sheet stay wholly on the screen.
    MoveTo(window, GetSystemMetrics(SM_CXSCREEN) - 120, GetSystemMetrics(SM_CYSCREEN) - 60);
    Post(window, WM_SYSCOMMAND, IDM_ABOUTBOX);
    about = tool.WaitForWindow(L"About Velmo tool", 10000);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(OnScreen(RectOf(about))) << Describe(RectOf(about));
    ClickButton(about, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 10000));
    const std::wstring sheetCaption = Wide("設定");
    ClickButton(window, IDC_SETTINGS);
    HWND sheet = tool.WaitForWindow(sheetCaption, 10000);
    ASSERT_NE(sheet, nullptr);
    Sleep(300);
    EXPECT_TRUE(OnScreen(RectOf(sheet))) << Describe(RectOf(sheet));
    Post(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }, 10000));

    // Hidden in the notification area: the sheet opens in the screen's middle.
    MoveTo(window, 40, 40);
    Post(window, kTrayMessage, 1, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 10000));
    Post(window, WM_COMMAND, ID_MENU_SETTINGS);
    sheet = tool.WaitForWindow(sheetCaption, 10000);
    ASSERT_NE(sheet, nullptr);
    Sleep(300);
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    EXPECT_TRUE(CentredOn(RectOf(sheet), workArea))
        << Describe(RectOf(sheet)) << " in " << Describe(workArea);
    SaveScreenshot(ArtifactPath(L"settings-centred-on-screen.bmp"));
    Post(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }, 10000));
    Post(window, kTrayMessage, 1, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000));
    Close(tool, window);
}

}  // namespace
}  // namespace velmo::e2e
