// The real VelmoTool.exe under Wine with an English display language (ctest
// starts this suite with LANG=en_US.UTF-8 and no Language key in the
// settings): every window in English, no text wider than its control at
// 100 %, 150 % and 200 % scaling, and the switch to Japanese on the settings
// sheet without a restart. The tool talks only to the simulator VELMO_SIM_EN
// on loopback, written into its settings file before it starts.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "router/HttpRequest.h"
#include "settings/PasswordScramble.h"
#include "tests/e2e/Driver.h"
#include "win32/Messages.h"

namespace velmo::e2e {
namespace {

// The pixels a control of `style` keeps for its own drawing beside its text.
int ControlFrame(const std::wstring& className, LONG style) {
    if (className != L"Button") {
        return 0;
    }
    const LONG kind = style & BS_TYPEMASK;
    if (kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX || kind == BS_AUTORADIOBUTTON ||
        kind == BS_RADIOBUTTON) {
        return GetSystemMetrics(SM_CXMENUCHECK) + 4;
    }
    return kind == BS_GROUPBOX ? 16 : 2 * GetSystemMetrics(SM_CXEDGE) + 4;
}

// Each control of `window` whose text, in its own font, needs more room than
// the control has: wider than a one-line control, or taller than a static
// text that wraps. Edits and lists are filled by the tool, not laid out.
std::vector<std::wstring> CutTexts(HWND window) {
    std::vector<std::wstring> cut;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        const std::wstring text = WindowText(child);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (text.empty() || !IsWindowVisible(child) ||
            (std::wstring(className) != L"Button" && std::wstring(className) != L"Static")) {
            continue;
        }
        RECT client{};
        GetClientRect(child, &client);
        const int width = client.right - ControlFrame(className, style);
        HDC dc = GetDC(child);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
        RECT needed{0, 0, width, 0};
        const bool wraps = std::wstring(className) == L"Static" && client.bottom >= 2 * 12;
        DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        SelectObject(dc, old);
        ReleaseDC(child, dc);
        if (needed.right > width || (wraps && needed.bottom > client.bottom)) {
            cut.push_back(text + L" (" + std::to_wstring(needed.right) + L" > " + std::to_wstring(width) +
                          L")");
        }
    }
    return cut;
}

class EnglishE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        sim_ = SimAddress("VELMO_SIM_EN");
        ASSERT_FALSE(sim_.empty()) << "run through scripts/with-routersim (ctest does)";
        workDir_ = MakeTempDirectory(L"velmo-e2e-english-");
        std::string ini = "[Setting]\r\nRutorAddress=" + sim_ + "\r\n";
        ini += "RootPasswd=" + EncodePassword("admin") + "\r\n";
        ini += "InitMinimize=0\r\nUpdateLog=0\r\nUpdateLogFileName=syslog.txt\r\n";
        ASSERT_TRUE(WriteBytes(workDir_ + L"\\Velmo tool.ini", ini));
    }
    void TearDown() override { SetScaling(96); }

    // Wine reads the scaling when a program starts.
    static void SetScaling(DWORD dpi) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
            RegCloseKey(key);
        }
    }
    // Opens the settings sheet and runs `onPage` on each page in turn.
    template <typename OnPage>
    HWND ForEachSettingsPage(HWND window, OnPage onPage) {
        ClickButton(window, IDC_SETTINGS);
        HWND sheet = tool_.WaitForWindow(L"Settings", 10000);
        EXPECT_NE(sheet, nullptr) << "no sheet captioned 'Settings'";
        for (int page = 0; sheet != nullptr && page < 4; ++page) {
            SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
            Sleep(300);
            onPage(page, reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)));
        }
        return sheet;
    }

    std::string sim_;
    std::wstring workDir_;
    ToolProcess tool_;
};

TEST_F(EnglishE2E, EveryWindowSpeaksEnglishUncutAtEachScalingAndSwitchesToJapaneseOnOk) {
    // At each scaling: the main window and the sheet's pages, nothing cut.
    for (const DWORD dpi : {192u, 144u, 96u}) {
        SetScaling(dpi);
        HWND window = tool_.StartMainWindow(workDir_);
        ASSERT_NE(window, nullptr);
        const std::wstring scale = std::to_wstring(dpi * 100 / 96);
        EXPECT_EQ(ControlText(window, IDC_CONNECT), L"Connect");
        EXPECT_EQ(CutTexts(window), std::vector<std::wstring>()) << dpi;
        Sleep(400);
        SaveScreenshot(ArtifactPath(L"english-main-window-" + scale + L".bmp"));
        HWND sheet = ForEachSettingsPage(window, [&](int page, HWND shown) {
            EXPECT_EQ(CutTexts(shown), std::vector<std::wstring>()) << "page " << page << " at " << dpi;
            SaveScreenshot(
                ArtifactPath(L"english-settings-" + std::to_wstring(page) + L"-" + scale + L".bmp"));
        });
        ASSERT_NE(sheet, nullptr);
        Post(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }, 10000));
        if (dpi != 96) {
            ASSERT_TRUE(tool_.ExitWithButton(window));
        }
    }
    HWND window = tool_.WaitForWindow(kMainCaption, 1000);
    ASSERT_NE(window, nullptr);

    // The tray menu (Wine keeps a menu's items in its own process: the
    // picture shows them).
    Post(window, kTrayMessage, 1, WM_RBUTTONDOWN);
    HWND menuWindow = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            return (menuWindow = FindWindowW(L"#32768", nullptr)) != nullptr && IsWindowVisible(menuWindow);
        },
        10000));
    Sleep(300);
    SaveScreenshot(ArtifactPath(L"english-tray-menu.bmp"));
    Post(menuWindow, WM_KEYDOWN, VK_ESCAPE);
    Post(window, WM_CANCELMODE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menuWindow); }, 10000));

    // A balloon: the line comes up, seen by a refresh.
    std::string answer;
    ASSERT_TRUE(RequestPage(sim_, "sim/connect", answer));
    bool shown = false;
    for (int attempt = 0; attempt < 10 && !shown; ++attempt) {
        Post(window, WM_COMMAND, ID_MENU_REFRESH);
        shown = WaitUntil([] { return !ShownBalloon({L"The line is connected"}).empty(); }, 2000);
    }
    EXPECT_TRUE(shown) << "no balloon 'The line is connected'";
    Sleep(300);
    SaveScreenshot(ArtifactPath(L"english-balloon.bmp"));

    // Japanese chosen on the General page: the window speaks it at once.
    ClickButton(window, IDC_SETTINGS);
    HWND sheet = tool_.WaitForWindow(L"Settings", 10000);
    ASSERT_NE(sheet, nullptr);
    HWND general = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    SendDlgItemMessageW(general, IDC_LANGUAGE, CB_SETCURSEL, 1, 0);  // 日本語
    Post(sheet, PSM_PRESSBUTTON, PSBTN_OK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(sheet); }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return ControlText(window, IDC_CONNECT) == Wide("接続"); }, 10000));
    EXPECT_EQ(CutTexts(window), std::vector<std::wstring>());
    Sleep(400);
    SaveScreenshot(ArtifactPath(L"english-switched-to-japanese.bmp"));
    std::string ini;
    ASSERT_TRUE(tool_.ExitWithButton(window) && ReadBytes(workDir_ + L"\\Velmo tool.ini", ini));
    EXPECT_NE(ini.find("\r\nLanguage=ja\r\n"), std::string::npos) << ini;
}

}  // namespace
}  // namespace velmo::e2e
