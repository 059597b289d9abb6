// The real VelmoTool.exe under Wine: start-up with a prepared settings file,
// the main window's texts, and the settings file written at exit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "base/Wide_win32.h"
#include "res/resource.h"
#include "settings/PasswordScramble.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "tests/e2e/Driver.h"
#include "win32/Messages.h"

namespace velmo::e2e {
namespace {

// Values of "key=value" lines in file order.
std::vector<std::pair<std::string, std::string>> KeyLines(const std::string& file) {
    std::vector<std::pair<std::string, std::string>> lines;
    std::size_t pos = 0;
    while (pos < file.size()) {
        std::size_t end = file.find("\r\n", pos);
        if (end == std::string::npos) {
            end = file.size();
        }
        std::string line = file.substr(pos, end - pos);
        std::size_t eq = line.find('=');
        if (eq != std::string::npos) {
            lines.emplace_back(line.substr(0, eq), line.substr(eq + 1));
        }
        pos = end + 2;
    }
    return lines;
}

class MainWindowE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        workDir_ = MakeTempDirectory(L"velmo-e2e-");
        password_ = Utf8ToSjis("管理者pass word");
        password_ += Utf8ToSjis("表");  // its trail byte is 0x5C, the backslash
        logFileName_ = Utf8ToSjis("ログ\\記録表.txt");
        // Every key in the order the tool writes them, so that the file the
        // tool writes back keeps that order.
        std::string ini = "[Setting]\r\n";
        ini += "RutorAddress=127.0.0.1:" + std::to_string(ClosedLoopbackPort()) + "\r\n";
        ini += "RootPasswd=" + EncodePassword(password_) + "\r\n";
        ini += "InitMinimize=0\r\nUpdateStatusConnect=1\r\nUpdateStatusConnectTime=3000\r\n";
        ini += "UpdateStatusDisconnect=1\r\nUpdateStatusDisconnectTime=10000\r\n";
        ini += "UpdateLog=0\r\nUpdateLogTime=600000\r\n";
        ini += "UpdateLogFileName=" + logFileName_ + "\r\n";
        ini += "UpdateLogRecordLogIn=1\r\nUpdateLogRecordLogOut=1\r\nUpdateLogRecordSubInfo=1\r\n";
        ini += "AutoDisconnect=0\r\nAutoDisconnectSelectDay=1\r\nAutoDisconnectTime=2026/12/08 23:30:00\r\n";
        ini += "AutoDisconnectDlg=0\r\n";
        ASSERT_TRUE(WriteBytes(IniPath(), ini));
    }

    std::wstring IniPath() const { return workDir_ + L"\\Velmo tool.ini"; }

    HWND StartAndFindWindow() {
        EXPECT_TRUE(tool_.Start(ToolExe(), workDir_));
        HWND window = tool_.WaitForWindow(kMainCaption, 30000);
        EXPECT_NE(window, nullptr) << "no main window";
        return window;
    }

    void ExpectSettingsWrittenInFull() {
        std::string file;
        ASSERT_TRUE(ReadBytes(IniPath(), file));
        auto lines = KeyLines(file);
        // Every key of the table, in the table's order.
        std::vector<std::string> keys;
        for (const SettingRow& row : kSettingRows) {
            keys.emplace_back(row.key);
        }
        ASSERT_EQ(lines.size(), keys.size()) << file;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            EXPECT_EQ(lines[i].first, keys[i]);
        }
        EXPECT_EQ(DecodePassword(lines[1].second), password_);
        EXPECT_NE(lines[1].second, password_);  // stored scrambled
        EXPECT_EQ(lines[2].second, "0");
        EXPECT_EQ(lines[9].second, logFileName_);
    }

    std::wstring workDir_;
    std::string password_;
    std::string logFileName_;
    ToolProcess tool_;
};

TEST_F(MainWindowE2E, MissingKeysAreAddedToTheSection) {
    // Only the address (never the factory one: no traffic leaves loopback) and one key.
    ASSERT_TRUE(WriteBytes(IniPath(), "[Setting]\r\nRutorAddress=127.0.0.1:" +
                                          std::to_string(ClosedLoopbackPort()) + "\r\nInitMinimize=0\r\n"));
    HWND window = StartAndFindWindow();
    ASSERT_NE(window, nullptr);
    ClickButton(window, IDC_EXIT);
    ASSERT_TRUE(tool_.WaitForExit(20000));
    std::string file;
    ASSERT_TRUE(ReadBytes(IniPath(), file));
    EXPECT_EQ(KeyLines(file).size(), kSettingsKeyCount) << file;
}

TEST_F(MainWindowE2E, ShowsTheStatusWindowAndSavesEverySettingOnExit) {
    HWND window = StartAndFindWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ControlText(window, IDC_CONNECT), Wide("接続"));
    EXPECT_EQ(ControlText(window, IDC_DISCONNECT), Wide("切断"));
    EXPECT_EQ(ControlText(window, IDC_SETTINGS), Wide("設定"));
    EXPECT_EQ(ControlText(window, IDC_EXIT), Wide("終了"));
    EXPECT_EQ(ControlText(window, IDC_AUTODISCONNECT_TIME), Wide("未設定"));
    Sleep(500);  // let the window paint before the picture is taken
    SaveScreenshot(ArtifactPath(L"main-window.bmp"));

    ClickButton(window, IDC_EXIT);
    ASSERT_TRUE(tool_.WaitForExit(20000));
    ExpectSettingsWrittenInFull();
}

TEST_F(MainWindowE2E, EscapeClosesLikeTheExitButton) {
    HWND window = StartAndFindWindow();
    ASSERT_NE(window, nullptr);
    Post(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    ASSERT_TRUE(tool_.WaitForExit(20000));
    ExpectSettingsWrittenInFull();
}

TEST_F(MainWindowE2E, CloseBoxClosesLikeTheExitButton) {
    HWND window = StartAndFindWindow();
    ASSERT_NE(window, nullptr);
    Post(window, WM_SYSCOMMAND, SC_CLOSE);
    ASSERT_TRUE(tool_.WaitForExit(20000));
    ExpectSettingsWrittenInFull();
}

TEST_F(MainWindowE2E, TrayClicksHideAndRestoreAndTheAboutBoxOpensFromTheSystemMenu) {
    HWND window = StartAndFindWindow();
    ASSERT_NE(window, nullptr);
    Sleep(500);
    SaveScreenshot(ArtifactPath(L"tray-icon.bmp"));  // the icon in the Wine taskbar

    // The notification-area callback: a left click hides, the next restores.
    Post(window, kTrayMessage, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 10000));
    Post(window, kTrayMessage, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000));

    // The system menu's about item; its low four bits belong to the system.
    Post(window, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3);
    HWND about = tool_.WaitForWindow(L"About Velmo tool", 10000);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(ControlText(about, IDC_VERSION_TEXT), L"Velmo tool Version 1.10");
    Sleep(300);
    SaveScreenshot(ArtifactPath(L"about-box.bmp"));
    ClickButton(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 10000));

    // A menu command posted as the tray menu sends it: 表示更新 keeps the window working.
    Post(window, WM_COMMAND, ID_MENU_REFRESH);
    ClickButton(window, IDC_EXIT);
    ASSERT_TRUE(tool_.WaitForExit(20000));
    ExpectSettingsWrittenInFull();
}

TEST_F(MainWindowE2E, InitMinimizeStartsInTheTrayAndOneClickShowsTheWindow) {
    std::string ini;
    ASSERT_TRUE(ReadBytes(IniPath(), ini));
    const std::size_t flag = ini.find("InitMinimize=0");
    ASSERT_NE(flag, std::string::npos);
    ini.replace(flag, 14, "InitMinimize=1");
    ASSERT_TRUE(WriteBytes(IniPath(), ini));

    ASSERT_TRUE(tool_.Start(ToolExe(), workDir_));
    HWND window = tool_.WaitForWindow(kMainCaption, 30000, false);
    ASSERT_NE(window, nullptr);
    // Hidden, and still hidden once the dialog's message loop has run idle.
    Sleep(2000);
    EXPECT_FALSE(IsWindowVisible(window));

    Post(window, kTrayMessage, 1, WM_LBUTTONDOWN);

    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000));
    EXPECT_FALSE(IsIconic(window));
    ClickButton(window, IDC_EXIT);
    ASSERT_TRUE(tool_.WaitForExit(20000));
}

}  // namespace
}  // namespace velmo::e2e
