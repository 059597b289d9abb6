// The settings sheet as the window runs it, and the log capture's triggers.
#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>

#include <string>
#include <utility>

#include "app/Timers.h"
#include "base/FileSystem.h"
#include "logview/LogIndex.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsStore.h"
#include "sim/LogPageBuilder.h"
#include "tests/support/ReadOnlyFile.h"
#include "tests/unit/app/WindowFixture.h"

namespace velmo {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

const std::string kDown = testing::EnglishStatusPage("-", "Ready");

class SettingsAndLogTest : public testing::WindowFixture {
  protected:
    std::string IniBytes() {
        std::string bytes;
        ReadFileBytes(dir_.File("Velmo tool.ini"), bytes);
        return bytes;
    }
    std::string LogBytes() {
        std::string bytes;
        ReadFileBytes(dir_.File("log.txt"), bytes);
        return bytes;
    }
    static std::string IniValue(const std::string& ini, const std::string& key) {
        const std::string prefix = key + "=";
        const std::size_t at = ini.find("\r\n" + prefix);
        if (at == std::string::npos) {
            return "(none)";
        }
        const std::size_t start = at + 2 + prefix.size();
        return ini.substr(start, ini.find("\r\n", start) - start);
    }
    std::size_t CallIndex(const std::string& call) {
        auto it = std::find(host_.calls.begin(), host_.calls.end(), call);
        return static_cast<std::size_t>(it - host_.calls.begin());
    }
};

TEST_F(SettingsAndLogTest, OkAppliesSavesAndPointsTheClientAtTheNewAddress) {
    auto window = OpenWindow("UpdateStatusDisconnect=1\r\nUpdateStatusDisconnectTime=5000\r\n", kDown);
    host_.onSettingsSheet = [](SettingsPages& pages) {
        pages.general.RutorAddress = "127.0.0.1:9";
        pages.general.UpdateStatusConnect = true;
        pages.general.UpdateStatusConnectSeconds = 2.5f;
        pages.general.UpdateStatusDisconnectSeconds = 0;  // switches the refresh off
        return IDOK;
    };
    window->OnCommand(IDC_SETTINGS);
    Settle();
    EXPECT_EQ(window->Router().routerAddress, "127.0.0.1:9");
    EXPECT_EQ(window->Settings().UpdateStatusConnectTime, 2500);
    EXPECT_FALSE(window->Settings().UpdateStatusDisconnect);
    const std::string ini = IniBytes();
    EXPECT_EQ(IniValue(ini, "RutorAddress"), "127.0.0.1:9");
    EXPECT_EQ(IniValue(ini, "UpdateStatusConnectTime"), "2500");
    EXPECT_EQ(IniValue(ini, "UpdateStatusDisconnect"), "0");
    // The refresh after the sheet goes to the new address, and timer 1 stays off.
    EXPECT_EQ(host_.timers.count(kTimerRefresh), 0u);
}

TEST_F(SettingsAndLogTest, CancelAppliesNothingButRestartsThePeriodicWork) {
    auto window = OpenWindow(
        "UpdateStatusDisconnect=1\r\nUpdateStatusDisconnectTime=5000\r\nUpdateLog=1\r\nUpdateLogTime="
        "60000\r\n"
        "UpdateLogFileName=log.txt\r\n",
        kDown);
    window->SaveSettings();
    const std::string before = IniBytes();
    router_.Serve("syslog.htm", SystemLogPageBody({{1000, "PPP up"}}));
    router_.ClearRequests();
    host_.onSettingsSheet = [](SettingsPages& pages) {
        pages.general.RutorAddress = "changed";
        return IDCANCEL;
    };
    window->OnSettings();
    Settle();
    EXPECT_EQ(window->Settings().RutorAddress, "127.0.0.1");
    EXPECT_EQ(IniBytes(), before);
    // The polls stop before the sheet; refresh, capture and the timers follow it.
    EXPECT_LT(CallIndex("stop 1"), CallIndex("settings sheet"));
    EXPECT_LT(CallIndex("stop 4"), CallIndex("settings sheet"));
    EXPECT_THAT(host_.calls, Contains("start 1 5000"));
    EXPECT_THAT(host_.calls, Contains("start 4 60000"));
    EXPECT_THAT(router_.Requests(), ElementsAre("", "banner.htm", "status.htm", "syslog.htm"));
    EXPECT_THAT(LogBytes(), HasSubstr("  PPP up\r\n"));
}

// The language at the start follows the file's setting or the display
// language; a change on the sheet shows in the windows at once.
TEST_F(SettingsAndLogTest, TheLanguageFollowsTheSettingOrTheDisplayLanguageAndSwitchesOnOk) {
    const struct {
        unsigned display;
        const char* stored;  // the file's Language line
        const char* chosen;  // on the sheet
        Language atStart, afterOk;
    } cases[] = {
        {0x0411, "", "en", Language::Japanese, Language::English},
        {0x0409, "", "auto", Language::English, Language::English},
        {0x0409, "Language=ja\r\n", "auto", Language::Japanese, Language::English},
        {0x0411, "Language=xx\r\n", "ja", Language::Japanese, Language::Japanese},
    };
    for (const auto& c : cases) {
        host_.displayLanguageId = c.display;
        host_.calls.clear();
        auto window = OpenWindow(c.stored, kDown);
        EXPECT_EQ(TextLanguage(), c.atStart) << c.chosen;
        host_.onSettingsSheet = [&](SettingsPages& pages) {
            pages.general.Language = c.chosen;
            return IDOK;
        };
        window->OnSettings();
        Settle();
        EXPECT_EQ(TextLanguage(), c.afterOk) << c.chosen;
        EXPECT_EQ(std::count(host_.calls.begin(), host_.calls.end(), "language"),
                  c.atStart == c.afterOk ? 0 : 1);
        EXPECT_EQ(host_.fields[IDC_AUTODISCONNECT_TIME], TableString(IDS_NOT_SET, c.afterOk));
        EXPECT_EQ(IniValue(IniBytes(), "Language"), c.chosen);
        window->OnClose();
        Settle();
    }
}

TEST_F(SettingsAndLogTest, MenuCaptureRunsWhateverUpdateLogSays) {
    auto window = OpenWindow("UpdateLog=0\r\nUpdateLogFileName=log.txt\r\n", kDown);
    router_.Serve("syslog.htm", SystemLogPageBody({{1000, "PPP up"}}));
    window->OnCommand(ID_MENU_CAPTURE_LOG);
    Settle();
    EXPECT_THAT(LogBytes(), HasSubstr("  PPP up\r\n"));
    EXPECT_THAT(LogBytes(), HasSubstr("   Last Log Update\r\n"));
}

TEST_F(SettingsAndLogTest, ACaptureExtendsTheIndexTheViewerSavedAndBuildsNoneItself) {
    auto window = OpenWindow("UpdateLog=0\r\nUpdateLogFileName=log.txt\r\n", kDown);
    router_.Serve("syslog.htm", SystemLogPageBody({{1000, "PPP up"}}));
    window->OnCommand(ID_MENU_CAPTURE_LOG);
    Settle();
    EXPECT_FALSE(std::filesystem::exists(dir_.File("log.txt.idx")));
    LogIndex saved, rebuilt;
    ArchiveFile archive(dir_.File("log.txt"));
    ASSERT_EQ(UpdateLogIndex(archive, saved, NeverCancelled()), IndexOutcome::Extended);
    ASSERT_TRUE(ReplaceFileAtomically(dir_.File("log.txt.idx"), SaveLogIndex(saved)));

    router_.Serve("syslog.htm",
                  SystemLogPageBody({{1000, "PPP up"}, {500, "Unrecognized access from 203.0.113.7"}}));
    window->OnCommand(ID_MENU_CAPTURE_LOG);
    Settle();
    EXPECT_THAT(LogBytes(), HasSubstr("203.0.113.7"));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(dir_.File("log.txt.idx"), bytes) && LoadLogIndex(bytes, saved));
    UpdateLogIndex(archive, rebuilt, NeverCancelled());
    EXPECT_EQ(saved, rebuilt);
    EXPECT_THAT(saved.runs.back().sources, HasSubstr("203.0.113.7"));
}

TEST_F(SettingsAndLogTest, LogViewOpensOnTheArchiveAndAddsASourceToTheIgnoreListOnce) {
    auto window = OpenWindow("UpdateLogFileName=log.txt\r\nNotifyIgnore=192.0.2.1\r\n", kDown);
    window->OnSysCommand(IDM_LOG_VIEW);
    EXPECT_EQ(host_.logViewPath, "log.txt");
    host_.logViewPath.clear();
    window->OnCommand(ID_MENU_LOG_VIEW);
    EXPECT_EQ(host_.logViewPath, "log.txt");
    host_.ignoreSource("2001:db8::7");
    host_.ignoreSource("2001:db8::7");
    ToolSettings reread;
    LoadSettings(reread, window->SettingsPath(), clock_);
    EXPECT_EQ(reread.NotifyIgnore, "192.0.2.1 2001:db8::7");
}

TEST_F(SettingsAndLogTest, NewUnrecognisedAccessShowsTheWarningForTenSeconds) {
    auto window = OpenWindow("UpdateLogFileName=log.txt\r\n", kDown);
    router_.Serve("syslog.htm", SystemLogPageBody({{1000, "Unrecognized access from 203.0.113.7"}}));
    window->CaptureSystemLog();
    Settle();
    EXPECT_EQ(tray_.picture, IDI_ACCESS_WARNING);
    EXPECT_EQ(host_.timers[kTimerAccessWarningEnd], 10000u);
    window->OnTimer(kTimerAccessWarningEnd);
    Settle();
    EXPECT_EQ(tray_.picture, IDI_LINE_DOWN);
    // The same entry again is no news.
    window->CaptureSystemLog();
    Settle();
    EXPECT_EQ(tray_.picture, IDI_LINE_DOWN);
}

TEST_F(SettingsAndLogTest, LogTimerStopsCapturesAndStartsAgain) {
    auto window = OpenWindow("UpdateLog=1\r\nUpdateLogTime=120000\r\nUpdateLogFileName=log.txt\r\n", kDown);
    router_.Serve("syslog.htm", SystemLogPageBody({{1000, "PPP up"}}));
    window->OnTimer(kTimerLogCapture);
    Settle();
    EXPECT_THAT(host_.calls, ElementsAre("stop 4", "start 4 120000"));
    EXPECT_THAT(LogBytes(), HasSubstr("  PPP up\r\n"));
}

TEST_F(SettingsAndLogTest, CloseCapturesOnceMoreBeforeTheTimersStopOnlyWhenLoggingIsOn) {
    auto window = OpenWindow("UpdateLog=1\r\nUpdateLogFileName=log.txt\r\n", kDown);
    router_.Serve("syslog.htm", SystemLogPageBody({{1000, "PPP up"}}));
    router_.ClearRequests();
    window->RefreshAll();  // still waiting when the close comes: dropped
    window->OnClose();
    EXPECT_EQ(host_.endResult, IDCANCEL);  // the window does not wait for the router
    Settle();                              // the last capture runs after the window has gone
    EXPECT_THAT(router_.Requests(), ElementsAre("syslog.htm"));
    EXPECT_THAT(LogBytes(), HasSubstr("  PPP up\r\n"));

    auto quiet = OpenWindow("UpdateLog=0\r\nUpdateLogFileName=log.txt\r\n", kDown);
    quiet->OnClose();
    Settle();
    EXPECT_THAT(router_.Requests(), Not(Contains("syslog.htm")));
}

TEST_F(SettingsAndLogTest, CloseSavesTheSettingsBeforeItAsksTheRouterAnything) {
    auto window = OpenWindow("UpdateLog=1\r\nUpdateLogFileName=log.txt\r\nUpdateLogTime=120000\r\n", kDown);
    ASSERT_TRUE(ReplaceFileAtomically(dir_.File("Velmo tool.ini"), "[Setting]\r\n"));
    router_.ClearRequests();
    std::string iniWhenTheRouterWasAsked = "(never asked)";
    router_.onRequest = [&] { iniWhenTheRouterWasAsked = IniBytes(); };
    window->OnClose();
    Settle();
    EXPECT_EQ(IniValue(iniWhenTheRouterWasAsked, "UpdateLogTime"), "120000");
    EXPECT_THAT(router_.Requests(), Contains("syslog.htm"));
    // The window went first, the dialog ended last.
    EXPECT_EQ(host_.calls.front(), "hide");
    EXPECT_EQ(host_.calls.back(), "end 2");
}

TEST_F(SettingsAndLogTest, SettingsThatCannotBeSavedAfterOkAreReportedAndKeptForTheNextSave) {
    // A "%s" in the folder's name must reach the message as it is.
    std::filesystem::create_directory("a%sb");
    std::filesystem::current_path("a%sb");
    auto window = OpenWindow("UpdateStatusConnectTime=3000\r\n", kDown);
    const std::string before = IniBytes();
    const std::string settingsFile = dir_.File("Velmo tool.ini");
    host_.onSettingsSheet = [](SettingsPages& pages) {
        pages.general.UpdateStatusConnectSeconds = 2.5f;
        return IDOK;
    };
    {
        const velmo::testing::ReadOnlyFile readOnly(settingsFile);
        ASSERT_FALSE(readOnly.Writable()) << "the settings file could not be made read-only";
        window->OnCommand(IDC_SETTINGS);
        Settle();
    }
    EXPECT_EQ(IniBytes(), before);
    ASSERT_EQ(host_.messages.size(), 1u);
    const std::string& message = host_.messages[0];
    EXPECT_EQ(message.rfind("Velmo tool|" + Utf8ToSjis("設定を保存できませんでした。") + "\n" +
                                window->SettingsPath() + "\n",
                            0),
              0u)
        << message;
    EXPECT_GT(message.size(), message.rfind('\n') + 1) << "no reason given";
    EXPECT_EQ(window->Settings().UpdateStatusConnectTime, 2500);  // kept in memory

    // Writable again: the next save writes the change that was kept.
    host_.onSettingsSheet = [](SettingsPages&) { return IDOK; };
    window->OnCommand(IDC_SETTINGS);
    Settle();
    EXPECT_EQ(IniValue(IniBytes(), "UpdateStatusConnectTime"), "2500");
    EXPECT_EQ(host_.messages.size(), 1u);

    // A failed save at exit is silent, and the destructor does not save a
    // second time after an orderly close.
    {
        const velmo::testing::ReadOnlyFile readOnly(settingsFile);
        window->OnClose();
        EXPECT_EQ(host_.messages.size(), 1u);
    }
    const std::string afterClose = IniBytes();
    window.reset();
    EXPECT_EQ(IniBytes(), afterClose);
}

}  // namespace
}  // namespace velmo
