// The settings sheet's fourth page "通知" in the real VelmoTool.exe under
// Wine: its two notification boxes reach the settings file, and "Windows の
// 起動時に開始する" makes and removes the shortcut in the user's Startup folder
// of the Wine prefix. The tool points at the simulator VELMO_SIM_A.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "base/Wide_win32.h"
#include "res/resource.h"
#include "settings/PasswordScramble.h"
#include "tests/e2e/Driver.h"

namespace velmo::e2e {
namespace {

constexpr WPARAM kNotifyPage = 3;

class NotifyPageE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* sim = std::getenv("VELMO_SIM_A");
        ASSERT_NE(sim, nullptr) << "run through scripts/with-routersim (ctest does)";
        workDir_ = MakeTempDirectory(L"velmo-e2e-notify-");
        // Always a simulator; no notification keys: they load switched on.
        std::string ini = "[Setting]\r\nRutorAddress=" + std::string(sim) + "\r\n";
        ini += "RootPasswd=" + EncodePassword("admin") + "\r\n";
        ini += "InitMinimize=0\r\nUpdateStatusDisconnectTime=10000\r\nUpdateLog=0\r\n";
        ASSERT_TRUE(WriteBytes(IniPath(), ini));
        ASSERT_FALSE(StartupFolder().empty());
    }

    // Nothing of this test stays in the prefix's Startup folder, whatever
    // failed: a shortcut left there would start the tool with Wine.
    void TearDown() override {
        tool_.Kill();
        if (!blocker_.empty()) {
            RemoveDirectoryW(blocker_.c_str());
        }
        for (const std::wstring& file : OurShortcuts()) {
            DeleteFileW(file.c_str());
        }
    }

    std::wstring IniPath() const { return workDir_ + L"\\Velmo tool.ini"; }
    std::string SettingsFile() const {
        std::string bytes;
        ReadBytes(IniPath(), bytes);
        return bytes;
    }

    // The shortcuts in the Startup folder that start a program in this test's folder.
    std::vector<std::wstring> OurShortcuts() const {
        std::vector<std::wstring> ours;
        for (const std::wstring& file : StartupShortcutFiles()) {
            ShortcutInfo info;
            if (ReadShortcut(file, info) && SamePath(info.workingFolder, workDir_)) {
                ours.push_back(file);
            }
        }
        return ours;
    }

    HWND Start() {
        HWND window = tool_.StartMainWindow(workDir_);
        EXPECT_NE(window, nullptr);
        return window;
    }

    // Opens the sheet from the main window's button and shows "通知".
    HWND OpenNotifyPage(HWND window, HWND& sheet) {
        ClickButton(window, IDC_SETTINGS);
        sheet = tool_.WaitForWindow(Wide("設定"), 10000);
        if (sheet == nullptr) {
            ADD_FAILURE() << "no settings sheet";
            return nullptr;
        }
        SendMessageW(sheet, PSM_SETCURSEL, kNotifyPage, 0);
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        EXPECT_EQ(WindowText(page), Wide("通知"));
        return page;
    }

    void Press(HWND sheet, int button) {
        Post(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }, 10000));
    }

    std::wstring workDir_;
    std::wstring blocker_;  // a folder in the way of the shortcut
    ToolProcess tool_;
};

bool Ticked(HWND page, int box) {
    return SendMessageW(GetDlgItem(page, box), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Whether one of the window's children (a message box's text) reads `text`.
bool HasChildText(HWND window, const std::wstring& text) {
    struct Search {
        const std::wstring* text;
        bool found;
    } search{&text, false};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            s->found = s->found || WindowText(child) == *s->text;
            return !s->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Whether the shortcut `name` lies in some user's Startup folder of the Wine
// prefix, looked at from the host's side of the prefix (WINEPREFIX).
bool InPrefixStartupFolder(const std::wstring& name) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix == nullptr) {
        ADD_FAILURE() << "WINEPREFIX is not set (scripts/wine-run sets it)";
        return false;
    }
    const std::wstring users = FromHostPath(prefix) + L"\\drive_c\\users\\";
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((users + L"*").c_str(), &found);
    bool there = false;
    while (search != INVALID_HANDLE_VALUE && !there) {
        const std::wstring link = users + found.cFileName +
                                  L"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\" +
                                  name;
        there = GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!FindNextFileW(search, &found)) {
            break;
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    return there;
}

// A click as the user's: the box toggles and the page hears of it.
void Click(HWND page, int box) {
    SendMessageW(GetDlgItem(page, box), BM_CLICK, 0, 0);
}

TEST_F(NotifyPageE2E, NotificationBoxesSaveToTheFileOnOkOnly) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND sheet = nullptr;
    HWND page = OpenNotifyPage(window, sheet);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ControlText(page, IDC_NOTIFY_ACCESS), Wide("不正アクセスを通知する"));
    EXPECT_EQ(ControlText(page, IDC_NOTIFY_LINE), Wide("回線の切断・接続を通知する"));
    EXPECT_EQ(ControlText(page, IDC_START_WITH_WINDOWS), Wide("Windows の起動時に開始する"));
    EXPECT_TRUE(Ticked(page, IDC_NOTIFY_ACCESS));  // a file without the keys: both on
    EXPECT_TRUE(Ticked(page, IDC_NOTIFY_LINE));
    EXPECT_FALSE(Ticked(page, IDC_START_WITH_WINDOWS));
    Sleep(400);
    SaveScreenshot(ArtifactPath(L"settings-notify.bmp"));
    Click(page, IDC_NOTIFY_ACCESS);
    Click(page, IDC_NOTIFY_LINE);
    Press(sheet, PSBTN_OK);
    std::string saved = SettingsFile();
    EXPECT_NE(saved.find("\r\nAutoDisconnectDlg=0\r\nNotifyAccess=0\r\nNotifyLine=0\r\n"), std::string::npos)
        << saved;

    // Cancel keeps the file; the page shows what was saved.
    page = OpenNotifyPage(window, sheet);
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(Ticked(page, IDC_NOTIFY_ACCESS));
    EXPECT_FALSE(Ticked(page, IDC_NOTIFY_LINE));
    Click(page, IDC_NOTIFY_LINE);
    Press(sheet, PSBTN_CANCEL);
    EXPECT_EQ(SettingsFile(), saved);

    page = OpenNotifyPage(window, sheet);
    ASSERT_NE(page, nullptr);
    Click(page, IDC_NOTIFY_ACCESS);
    Press(sheet, PSBTN_OK);
    saved = SettingsFile();
    EXPECT_NE(saved.find("\r\nNotifyAccess=1\r\nNotifyLine=0\r\n"), std::string::npos) << saved;

    ClickButton(window, IDC_EXIT);
    ASSERT_TRUE(tool_.WaitForExit(20000));
    saved = SettingsFile();
    EXPECT_NE(saved.find("\r\nNotifyAccess=1\r\nNotifyLine=0\r\n"), std::string::npos) << saved;
    EXPECT_TRUE(OurShortcuts().empty());  // the start-up box was never touched
}

TEST_F(NotifyPageE2E, StartWithWindowsMakesAndRemovesTheStartupShortcut) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(OurShortcuts().empty());
    HWND sheet = nullptr;
    HWND page = OpenNotifyPage(window, sheet);
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(Ticked(page, IDC_START_WITH_WINDOWS));
    Click(page, IDC_START_WITH_WINDOWS);
    Press(sheet, PSBTN_OK);

    // One shortcut: this .exe, started in this folder, where its settings are.
    const std::vector<std::wstring> made = OurShortcuts();
    ASSERT_EQ(made.size(), 1u);
    ShortcutInfo info;
    ASSERT_TRUE(ReadShortcut(made[0], info));
    EXPECT_TRUE(SamePath(info.target, ToolExe())) << SjisToUtf8(WideToSjis(info.target));
    EXPECT_TRUE(SamePath(info.workingFolder, workDir_)) << SjisToUtf8(WideToSjis(info.workingFolder));
    const std::wstring name = made[0].substr(made[0].rfind(L'\\') + 1);
    EXPECT_EQ(name.rfind(L"Velmo tool (velmo-e2e-notify-", 0), 0u) << SjisToUtf8(WideToSjis(name));
    EXPECT_TRUE(InPrefixStartupFolder(name));
    EXPECT_EQ(SettingsFile().find("Start"), std::string::npos);  // the state lives in the shortcut

    // Turned off in Task Manager's start-up list: the box shows it off and says so.
    const wchar_t* approved =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";
    const BYTE off[12] = {3};
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, approved, name.c_str(), REG_BINARY, off, sizeof off),
              ERROR_SUCCESS);
    page = OpenNotifyPage(window, sheet);
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(Ticked(page, IDC_START_WITH_WINDOWS));
    EXPECT_EQ(ControlText(page, IDC_STARTUP_NOTE),
              Wide("タスク マネージャーのスタートアップで無効にされています。"));
    Sleep(400);
    SaveScreenshot(ArtifactPath(L"settings-notify-turned-off.bmp"));
    Press(sheet, PSBTN_CANCEL);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, approved, name.c_str());

    // The box shows the shortcut; unticked and confirmed, the shortcut goes.
    page = OpenNotifyPage(window, sheet);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(Ticked(page, IDC_START_WITH_WINDOWS));
    Sleep(400);
    SaveScreenshot(ArtifactPath(L"settings-notify-start-with-windows.bmp"));
    Click(page, IDC_START_WITH_WINDOWS);
    Press(sheet, PSBTN_OK);
    EXPECT_TRUE(OurShortcuts().empty());
    EXPECT_EQ(GetFileAttributesW(made[0].c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(InPrefixStartupFolder(name));

    // A folder where the shortcut would go: the user is told it failed.
    blocker_ = made[0];
    ASSERT_TRUE(CreateDirectoryW(blocker_.c_str(), nullptr));
    page = OpenNotifyPage(window, sheet);
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(Ticked(page, IDC_START_WITH_WINDOWS));
    Click(page, IDC_START_WITH_WINDOWS);
    Post(sheet, PSM_PRESSBUTTON, PSBTN_OK);
    HWND message = tool_.WaitForWindow(L"Velmo tool", 10000);
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(
        HasChildText(message, Wide("スタートアップフォルダーにショートカットを作成できませんでした。")));
    Sleep(300);
    SaveScreenshot(ArtifactPath(L"settings-startup-failed.bmp"));
    Post(message, WM_COMMAND, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(message); }, 10000));

    ClickButton(window, IDC_EXIT);
    EXPECT_TRUE(tool_.WaitForExit(20000));
}

}  // namespace
}  // namespace velmo::e2e
