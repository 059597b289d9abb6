// The real VelmoTool.exe under Wine: balloon notifications in the Wine
// desktop's notification area, read back from the tooltip window the shell
// shows them in. The tool talks only to the simulator VELMO_SIM_A on loopback
// (scripts/with-routersim), written into its settings file before it starts.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "base/CodePage.h"
#include "res/resource.h"
#include "router/HttpRequest.h"
#include "settings/PasswordScramble.h"
#include "tests/e2e/Driver.h"

namespace velmo::e2e {
namespace {

bool SimControl(const std::string& address, const std::string& path) {
    std::string answer;
    return RequestPage(address, path, answer);
}

class NotifyE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* address = std::getenv("VELMO_SIM_A");
        ASSERT_NE(address, nullptr) << "run through scripts/with-routersim (ctest does)";
        sim_ = address;
        ASSERT_TRUE(SimControl(sim_, "sim/disconnect"));
        workDir_ = MakeTempDirectory(L"velmo-e2e-notify-");
        // The simulator, the log behind its password, no capture by timer.
        std::string ini = "[Setting]\r\nRutorAddress=" + sim_ + "\r\n";
        ini += "RootPasswd=" + EncodePassword("admin") + "\r\n";
        ini += "InitMinimize=0\r\nUpdateStatusConnect=1\r\nUpdateStatusConnectTime=1000\r\n";
        ini += "UpdateStatusDisconnect=1\r\nUpdateStatusDisconnectTime=2000\r\n";
        ini += "UpdateLog=0\r\nUpdateLogFileName=syslog.txt\r\n";
        ASSERT_TRUE(WriteBytes(workDir_ + L"\\Velmo tool.ini", ini));
    }
    // The same settings with the log file named `name`.
    void NameLogFile(const std::string& name) {
        std::string ini;
        ASSERT_TRUE(ReadBytes(workDir_ + L"\\Velmo tool.ini", ini));
        ini.replace(ini.find("syslog.txt"), 10, name);
        ASSERT_TRUE(WriteBytes(workDir_ + L"\\Velmo tool.ini", ini));
    }

    HWND Start() {
        HWND window = tool_.StartMainWindow(workDir_);
        EXPECT_NE(window, nullptr);
        return window;
    }
    void Close(HWND window) { EXPECT_TRUE(tool_.ExitWithButton(window)); }
    std::string LogBytes() const {
        std::string bytes;
        ReadBytes(workDir_ + L"\\syslog.txt", bytes);
        return bytes;
    }
    // Adds `text` to the simulator's log (blanks sent as %20).
    bool AddLog(std::string text) {
        for (std::size_t at; (at = text.find(' ')) != std::string::npos;) {
            text.replace(at, 1, "%20");
        }
        return SimControl(sim_, "sim/add-log?" + text);
    }
    // True when a balloon holding `part` shows within `timeoutMs`.
    static bool BalloonShows(const std::wstring& part, DWORD timeoutMs) {
        return WaitUntil([&] { return !ShownBalloon({part}).empty(); }, timeoutMs);
    }
    std::string Settings() const {
        std::string ini;
        ReadBytes(workDir_ + L"\\Velmo tool.ini", ini);
        return ini;
    }
    // Captures through the menu command and waits until the file holds `text`.
    bool CaptureUntilLogHolds(HWND window, const std::string& text) {
        Post(window, WM_COMMAND, ID_MENU_CAPTURE_LOG);
        return WaitUntil([&] { return LogBytes().find(text) != std::string::npos; }, 20000);
    }

    std::string sim_;
    std::wstring workDir_;
    ToolProcess tool_;
};

TEST_F(NotifyE2E, NewAccessEntryShowsOneBalloonWithItsCountAndText) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    // The simulator's log as it stands goes into the file first.
    ASSERT_TRUE(CaptureUntilLogHolds(window, "Last Log Update"));

    // One new report, of an address no other test uses.
    const std::string news =
        "Unrecognized access from 198.51.100." + std::to_string(GetTickCount() % 200 + 20);
    std::string query = news;
    for (std::size_t at; (at = query.find(' ')) != std::string::npos;) {
        query.replace(at, 1, "%20");
    }
    ASSERT_TRUE(SimControl(sim_, "sim/add-log?" + query));
    ASSERT_TRUE(CaptureUntilLogHolds(window, news));

    const std::wstring count = Wide("不正アクセスを 1 件記録しました");
    const std::wstring entry = Wide(news.c_str());
    std::wstring shown;
    EXPECT_TRUE(WaitUntil([&] { return !(shown = ShownBalloon({count, entry})).empty(); }, 10000));
    EXPECT_EQ(shown.find(count), 0u);
    // The tool keeps working while the balloon shows: the window still answers.
    EXPECT_EQ(WindowText(window), kMainCaption);
    Sleep(300);
    SaveScreenshot(ArtifactPath(L"notify-access-balloon.bmp"));
    Close(window);
}

TEST_F(NotifyE2E, LogFileNamedAFolderShowsOneErrorBalloonNamingIt) {
    ASSERT_TRUE(CreateDirectoryW((workDir_ + L"\\logs").c_str(), nullptr));
    NameLogFile("logs");
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    Post(window, WM_COMMAND, ID_MENU_CAPTURE_LOG);
    const std::wstring named = Wide("ログファイル「logs」を開けません");
    std::wstring shown;
    EXPECT_TRUE(WaitUntil([&] { return !(shown = ShownBalloon({named})).empty(); }, 20000));
    // The first line names the file, the next gives the system's reason.
    EXPECT_EQ(shown.find(named + L"\n"), 0u);
    EXPECT_GT(shown.size(), named.size() + 1);
    Sleep(300);
    SaveScreenshot(ArtifactPath(L"notify-logfile-balloon.bmp"));
    Close(window);
}

// A report from a source of its own, unlike every other test's.
std::string AccessFrom(int host) {
    return "Unrecognized access from 198.51.100." + std::to_string(host) + ":" +
           std::to_string(GetTickCount() % 50000 + 1024) + " to port 23";
}

TEST_F(NotifyE2E, MuteFromTheMenuHoldsBackBalloonsAcrossARestartUntilResumed) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(CaptureUntilLogHolds(window, "Last Log Update"));
    Post(window, WM_COMMAND, ID_MENU_MUTE_4H);
    // The end is written at once, as the last key of the file.
    ASSERT_TRUE(WaitUntil([&] { return Settings().find("NotifyMuteUntil=2") != std::string::npos; }, 10000));
    Close(window);

    window = Start();
    ASSERT_NE(window, nullptr);
    const std::string muted = AccessFrom(11);
    ASSERT_TRUE(AddLog(muted));
    ASSERT_TRUE(CaptureUntilLogHolds(window, muted));  // recorded as always
    EXPECT_FALSE(BalloonShows(Wide(muted.c_str()), 4000));

    Post(window, WM_COMMAND, ID_MENU_MUTE_RESUME);
    const std::string heard = AccessFrom(12);
    ASSERT_TRUE(AddLog(heard));
    ASSERT_TRUE(CaptureUntilLogHolds(window, heard));
    EXPECT_TRUE(BalloonShows(Wide(heard.c_str()), 10000));
    Close(window);
    EXPECT_NE(Settings().find("NotifyMuteUntil=\r\n"), std::string::npos);
}

TEST_F(NotifyE2E, IgnoredSourceIsWrittenButGivesNoBalloon) {
    std::string ini = Settings() + "NotifyIgnore=192.0.2.1, 198.51.100.21 " + std::string(3000, '#') + "\r\n";
    ASSERT_TRUE(WriteBytes(workDir_ + L"\\Velmo tool.ini", ini));
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(CaptureUntilLogHolds(window, "Last Log Update"));
    const std::string ignored = AccessFrom(21);
    ASSERT_TRUE(AddLog(ignored));
    ASSERT_TRUE(CaptureUntilLogHolds(window, ignored));
    EXPECT_FALSE(BalloonShows(Wide(ignored.c_str()), 4000));

    const std::string other = AccessFrom(22);
    ASSERT_TRUE(AddLog(other));
    ASSERT_TRUE(CaptureUntilLogHolds(window, other));
    EXPECT_TRUE(BalloonShows(Wide(other.c_str()), 10000));
    Close(window);
    EXPECT_NE(Settings().find(ini.substr(ini.find("NotifyIgnore="))), std::string::npos);
}

// SystemUsesLightTheme as Windows 10 and 11 keep it; Wine has none.
class TaskbarThemeE2E : public NotifyE2E {
  protected:
    static constexpr const wchar_t* kPersonalize =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    void TearDown() override { RegDeleteKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"SystemUsesLightTheme"); }
    static bool SetLightTaskbar(DWORD light) {
        return RegSetKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"SystemUsesLightTheme", REG_DWORD, &light,
                               sizeof light) == ERROR_SUCCESS;
    }
    // Pixels of `color` in the notification area (the Wine desktop's bottom-right corner).
    static int TrayPixels(COLORREF color) {
        const RECT corner{GetSystemMetrics(SM_CXSCREEN) - 160, GetSystemMetrics(SM_CYSCREEN) - 32,
                          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return CountScreenPixels(corner, color, 14);
    }
};

TEST_F(TaskbarThemeE2E, EachTaskbarGetsItsSetAtStartAndWhenTheColoursChange) {
    const COLORREF navy = RGB(28, 58, 110);    // the light set's body
    const COLORREF pale = RGB(222, 230, 242);  // the dark set's body
    ASSERT_TRUE(SetLightTaskbar(1));
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return TrayPixels(navy) >= 30 && TrayPixels(pale) < 10; }, 10000));
    SaveScreenshot(ArtifactPath(L"tray-icons-light-taskbar.bmp"));

    ASSERT_TRUE(SetLightTaskbar(0));
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"),
                        SMTO_BLOCK, 5000, &result);
    EXPECT_TRUE(WaitUntil([&] { return TrayPixels(pale) >= 30; }, 10000));
    SaveScreenshot(ArtifactPath(L"tray-icons-dark-taskbar.bmp"));
    Close(window);
}

// AutoRedial: the line drops at the router; half a minute later the tool
// sends the dial command, the simulator dials, and the balloon says so.
TEST_F(NotifyE2E, DropIsRedialledAfterHalfAMinute) {
    ASSERT_TRUE(WriteBytes(workDir_ + L"\\Velmo tool.ini", Settings() + "AutoRedial=1\r\n"));
    ASSERT_TRUE(SimControl(sim_, "sim/connect"));
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil(
        [&] { return ControlText(window, IDC_CONNECTION_TIME).find(L':') != std::wstring::npos; }, 15000));
    auto requests = [] {
        Sleep(200);  // the simulator prints what it received every 100 ms
        std::string bytes;
        ReadBytes(ArtifactPath(L"routersim-A.log"), bytes);
        return bytes;
    };
    const int dialsBefore = CountOccurrences(requests(), "A=D");
    const DWORD dropped = GetTickCount();
    ASSERT_TRUE(SimControl(sim_, "sim/disconnect"));
    EXPECT_TRUE(BalloonShows(Wide("回線が切断されました"), 10000));
    EXPECT_TRUE(WaitUntil([&] { return CountOccurrences(requests(), "A=D") > dialsBefore; }, 45000));
    EXPECT_GE(GetTickCount() - dropped, 29000u) << "the first try waits half a minute";
    EXPECT_TRUE(BalloonShows(Wide("回線を再接続しました"), 15000));
    Sleep(300);
    SaveScreenshot(ArtifactPath(L"notify-redial-balloon.bmp"));
    Close(window);
}

// The computer sleeps and wakes up; the router does not answer while the
// network comes back. That is neither the router's silence nor news of the
// line: no balloon, no record row, and the session goes on.
TEST_F(NotifyE2E, SleepAndResumeGiveNoSilenceBalloonAndNoRecordRow) {
    ASSERT_TRUE(SimControl(sim_, "sim/connect"));
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    auto lineShown = [&] {
        return ControlText(window, IDC_CONNECTION_TIME).find(L':') != std::wstring::npos;
    };
    ASSERT_TRUE(WaitUntil(lineShown, 15000));
    Post(window, WM_POWERBROADCAST, PBT_APMSUSPEND);
    Sleep(500);
    ASSERT_TRUE(SimControl(sim_, "sim/away?15000"));
    Post(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    // The status is polled every second: three missed readings would have
    // been announced long before the router answers again.
    EXPECT_FALSE(BalloonShows(Wide("ルーターに接続できません"), 22000));
    EXPECT_TRUE(WaitUntil(lineShown, 10000));
    std::string record;
    ReadBytes(workDir_ + L"\\Velmo tool history.csv", record);
    EXPECT_LE(CountOccurrences(record, "\r\n"), 1) << record;  // the header at most
    Close(window);
}

}  // namespace
}  // namespace velmo::e2e
