// The real VelmoTool.exe under Wine against router simulators on loopback:
// live status, dial-up and hang-up, the log capture from the menu, the
// settings sheet and the auto-disconnect confirmation. The simulators run
// natively beside the test (scripts/with-routersim); their addresses come in
// VELMO_SIM_A (log behind the password "admin", entries seeded) and
// VELMO_SIM_B (another model).
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>

#include "base/CodePage.h"
#include "base/Wide_win32.h"
#include "res/resource.h"
#include "router/HttpRequest.h"
#include "settings/PasswordScramble.h"
#include "tests/e2e/Driver.h"

namespace velmo::e2e {
namespace {

bool Shows(HWND window, int controlId, const std::wstring& part) {
    return ControlText(window, controlId).find(part) != std::wstring::npos;
}

// A running connection time ("00:01:23") shows the line is up.
bool LineUp(HWND window) {
    return Shows(window, IDC_CONNECTION_TIME, L":");
}

// The warning picture's yellow triangle in the notification area (the
// bottom-right corner of the Wine desktop).
bool WarningIconShows() {
    const RECT trayCorner{GetSystemMetrics(SM_CXSCREEN) - 160, GetSystemMetrics(SM_CYSCREEN) - 32,
                          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return CountScreenPixels(trayCorner, RGB(250, 205, 30), 40) >= 20;
}

// A control request to a simulator ("sim/connect", "sim/add-log?TEXT").
bool SimControl(const std::string& address, const std::string& path) {
    std::string answer;
    return RequestPage(address, path, answer);
}

class RouterE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        simA_ = SimAddress("VELMO_SIM_A");
        simB_ = SimAddress("VELMO_SIM_B");
        ASSERT_FALSE(simA_.empty() || simB_.empty()) << "run through scripts/with-routersim (ctest does)";
        ASSERT_TRUE(SimControl(simA_, "sim/disconnect"));
        workDir_ = MakeTempDirectory(L"velmo-e2e-router-");
    }

    // The settings file, written before the tool starts: always a simulator.
    void WriteSettings(const std::string& extra) {
        std::string ini = "[Setting]\r\nRutorAddress=" + simA_ + "\r\n";
        ini += "RootPasswd=" + EncodePassword("admin") + "\r\n";
        ini += "InitMinimize=0\r\nUpdateStatusConnect=1\r\nUpdateStatusConnectTime=1000\r\n";
        // A command's follow-up polls start with the next full refresh: every 2 s.
        ini += "UpdateStatusDisconnect=1\r\nUpdateStatusDisconnectTime=2000\r\n";
        ini += "UpdateLogFileName=syslog.txt\r\n" + extra;
        ASSERT_TRUE(WriteBytes(IniPath(), ini));
    }

    HWND Start() {
        HWND window = tool_.StartMainWindow(workDir_);
        EXPECT_NE(window, nullptr);
        return window;
    }

    void Close(HWND window) { EXPECT_TRUE(tool_.ExitWithButton(window)); }

    std::wstring IniPath() const { return workDir_ + L"\\Velmo tool.ini"; }
    std::string FileBytes(const std::wstring& name) const {
        std::string bytes;
        ReadBytes(workDir_ + L"\\" + name, bytes);
        return bytes;
    }

    std::string simA_;
    std::string simB_;
    std::wstring workDir_;
    ToolProcess tool_;
};

TEST_F(RouterE2E, ShowsLiveStatusAndDialsUpAndHangsUp) {
    WriteSettings("UpdateLog=0\r\n");
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    // The first refresh runs beside the window: its fields come when it ends.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return Shows(window, IDC_MODEL, L"(BR-8600-A)") &&
                   ControlText(window, IDC_CONNECTION_TIME) == Wide("未接続") &&
                   ControlText(window, IDC_MODEM_STATE) == Wide("レディ");
        },
        10000))
        << "model, connection time, modem state";

    // The line comes up at the router: the next refresh (every 2 s) shows it.
    ASSERT_TRUE(SimControl(simA_, "sim/connect"));
    EXPECT_TRUE(WaitUntil([&] { return LineUp(window); }, 5000));
    ASSERT_TRUE(SimControl(simA_, "sim/disconnect"));
    EXPECT_TRUE(WaitUntil([&] { return !LineUp(window); }, 5000));

    ClickButton(window, IDC_CONNECT);
    EXPECT_TRUE(WaitUntil([&] { return LineUp(window); }, 15000));
    Sleep(300);
    SaveScreenshot(ArtifactPath(L"connected.bmp"));

    ClickButton(window, IDC_DISCONNECT);
    EXPECT_TRUE(WaitUntil([&] { return !LineUp(window); }, 15000));
    Close(window);
}

TEST_F(RouterE2E, MenuCaptureLogsInAndAppendsOnlyNewEntries) {
    WriteSettings(
        "UpdateLog=0\r\nUpdateLogRecordLogIn=1\r\nUpdateLogRecordLogOut=1\r\nUpdateLogRecordSubInfo=1\r\n");
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    const std::string marker = "Last Log Update";
    EXPECT_FALSE(WarningIconShows());

    // The simulator's seeded log holds an access report: new to the file, it
    // turns the icon to the warning picture for 10 s.
    Post(window, WM_COMMAND, ID_MENU_CAPTURE_LOG);
    ASSERT_TRUE(WaitUntil([&] { return FileBytes(L"syslog.txt").find(marker) != std::string::npos; }, 20000));
    const std::string first = FileBytes(L"syslog.txt");
    EXPECT_EQ(first.find(Utf8ToSjis("ログの取得に失敗しました")), std::string::npos) << first;
    EXPECT_TRUE(WaitUntil([&] { return WarningIconShows(); }, 5000));
    Sleep(300);
    SaveScreenshot(ArtifactPath(L"access-warning.bmp"));
    EXPECT_TRUE(WaitUntil([&] { return !WarningIconShows(); }, 15000));

    const std::string news = "Unrecognized access from 203.0.113.9";
    ASSERT_TRUE(SimControl(simA_, "sim/add-log?Unrecognized%20access%20from%20203.0.113.9"));
    Post(window, WM_COMMAND, ID_MENU_CAPTURE_LOG);
    ASSERT_TRUE(WaitUntil([&] { return FileBytes(L"syslog.txt").find(news) != std::string::npos; }, 20000));
    EXPECT_TRUE(WaitUntil([&] { return WarningIconShows(); }, 5000));
    Close(window);

    // Every line ends in CR LF, none is there twice, one update marker ends the file.
    const std::string second = FileBytes(L"syslog.txt");
    std::set<std::string> lines;
    std::size_t markers = 0;
    for (std::size_t start = 0, end; (end = second.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        const std::string line = second.substr(start, end - start);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        markers += line.find(marker) != std::string::npos;
        EXPECT_TRUE(lines.insert(line).second) << "twice: " << line;
    }
    EXPECT_EQ(markers, 1u);
    EXPECT_TRUE(second.ends_with(marker + "\r\n"));
    EXPECT_EQ(second.substr(0, first.rfind('[')), first.substr(0, first.rfind('[')));
}

HWND SheetPage(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void SetControlText(HWND page, int controlId, const std::wstring& text) {
    SendMessageW(GetDlgItem(page, controlId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

TEST_F(RouterE2E, SettingsSheetAppliesOnOkOnlyAndKeepsABadNumberOnThePage) {
    WriteSettings("UpdateLog=0\r\n");
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    const std::wstring sheetCaption = Wide("設定");

    // OK: the new address and interval are applied and saved at once.
    ClickButton(window, IDC_SETTINGS);
    HWND sheet = tool_.WaitForWindow(sheetCaption, 10000);
    ASSERT_NE(sheet, nullptr);
    const wchar_t* const pictures[] = {L"settings-general.bmp", L"settings-log.bmp",
                                       L"settings-autodisconnect.bmp"};
    for (int page = 2; page >= 0; --page) {
        SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
        Sleep(400);
        SaveScreenshot(ArtifactPath(pictures[page]));
    }
    HWND general = SheetPage(sheet);
    SetControlText(general, IDC_ROUTER_ADDRESS, SjisToWide(simB_));
    SetControlText(general, IDC_UPDATE_CONNECT_SECONDS, L"2.5");
    Post(sheet, PSM_PRESSBUTTON, PSBTN_OK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return Shows(window, IDC_MODEL, L"(VR-2400-B)"); }, 10000));
    const std::string saved = FileBytes(L"Velmo tool.ini");
    EXPECT_NE(saved.find("RutorAddress=" + simB_ + "\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("UpdateStatusConnectTime=2500\r\n"), std::string::npos) << saved;

    // Cancel: nothing changes in the file.
    ClickButton(window, IDC_SETTINGS);
    sheet = tool_.WaitForWindow(sheetCaption, 10000);
    ASSERT_NE(sheet, nullptr);
    SetControlText(SheetPage(sheet), IDC_ROUTER_ADDRESS, L"127.0.0.1:9");
    Post(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }, 10000));
    EXPECT_EQ(FileBytes(L"Velmo tool.ini"), saved);

    // A number that does not read: the message, and the sheet stays open.
    ClickButton(window, IDC_SETTINGS);
    sheet = tool_.WaitForWindow(sheetCaption, 10000);
    ASSERT_NE(sheet, nullptr);
    SetControlText(SheetPage(sheet), IDC_UPDATE_CONNECT_SECONDS, L"abc");
    Post(sheet, PSM_PRESSBUTTON, PSBTN_OK);
    HWND message = tool_.WaitForWindow(L"Velmo tool", 10000);
    ASSERT_NE(message, nullptr);
    Sleep(300);
    SaveScreenshot(ArtifactPath(L"settings-bad-number.bmp"));
    Post(message, WM_COMMAND, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(message); }, 10000));
    EXPECT_TRUE(IsWindow(sheet));
    Post(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }, 10000));
    EXPECT_EQ(FileBytes(L"Velmo tool.ini"), saved);
    Close(window);
}

// A dated hang-up a few seconds ahead, confirmation on.
class AutoDisconnectE2E : public RouterE2E {
  protected:
    HWND StartWithHangUpAhead() {
        EXPECT_TRUE(SimControl(simA_, "sim/connect"));
        WriteSettings("UpdateLog=0\r\nAutoDisconnect=1\r\nAutoDisconnectSelectDay=1\r\nAutoDisconnectTime=" +
                      LocalTimeText(4) + "\r\nAutoDisconnectDlg=1\r\n");
        return Start();
    }
    HWND WaitForConfirmation() {
        HWND confirm = tool_.WaitForWindow(Wide("自動切断確認"), 20000);
        EXPECT_NE(confirm, nullptr);
        return confirm;
    }
    void ExpectLineDown(HWND window) {
        EXPECT_TRUE(WaitUntil([&] { return !LineUp(window); }, 20000));
        EXPECT_EQ(ControlText(window, IDC_AUTODISCONNECT_TIME), Wide("未設定"));
    }
};

TEST_F(AutoDisconnectE2E, ConfirmedWithOkHangsUp) {
    HWND window = StartWithHangUpAhead();
    ASSERT_NE(window, nullptr);
    HWND confirm = WaitForConfirmation();
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(ControlText(confirm, IDC_COUNTDOWN).rfind(Wide("自動切断まで"), 0), 0u);
    Sleep(300);
    SaveScreenshot(ArtifactPath(L"autodisconnect-confirm.bmp"));
    ClickButton(confirm, IDOK);
    ExpectLineDown(window);
    Close(window);
}

TEST_F(AutoDisconnectE2E, CountdownRunningOutHangsUp) {
    HWND window = StartWithHangUpAhead();
    ASSERT_NE(window, nullptr);
    HWND confirm = WaitForConfirmation();
    ASSERT_NE(confirm, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(confirm); }, 45000));
    ExpectLineDown(window);
    Close(window);
}

}  // namespace
}  // namespace velmo::e2e
