#include "settings/SettingsPages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>

#include "base/CodePage.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "settings/LogFilePath.h"
#include "settings/NumberField.h"
#include "settings/SettingsSheetPage.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakePageControls.h"

namespace velmo {
namespace {

using ::testing::ElementsAre;

using testing::FakePageControls;

TEST(NumberField, ShowsSixSignificantDigits) {
    EXPECT_EQ(FormatNumberField(MillisecondsToSeconds(3000)), "3");
    EXPECT_EQ(FormatNumberField(MillisecondsToSeconds(2500)), "2.5");
    EXPECT_EQ(FormatNumberField(MillisecondsToMinutes(600000)), "10");
    EXPECT_EQ(FormatNumberField(MillisecondsToSeconds(0)), "0");
    EXPECT_EQ(FormatNumberField(1234567.0f), "1.23457e+06");
}

TEST(NumberField, ReadsNumbersInTheDecimalFormOnly) {
    float value = -1;
    EXPECT_TRUE(ParseNumberField(" 1e3 ", value));
    EXPECT_EQ(value, 1000.0f);
    EXPECT_TRUE(ParseNumberField("\t.5", value));
    EXPECT_EQ(value, 0.5f);
    EXPECT_TRUE(ParseNumberField("0", value));
    EXPECT_EQ(value, 0.0f);
    EXPECT_TRUE(ParseNumberField("0.000", value));
    EXPECT_TRUE(ParseNumberField("-2.5", value));
    EXPECT_EQ(value, -2.5f);
    value = 7;
    for (const char* bad :
         {"abc", "", "  ", "-0", ".0", "0x1", "1,5", "2.5s", "inf", "nan", "1e999", "--1", "e5"}) {
        EXPECT_FALSE(ParseNumberField(bad, value)) << bad;
    }
    EXPECT_EQ(value, 7.0f);  // a failed read leaves the value alone
}

TEST(NumberField, ReadsAtMostThirtyOneCharacters) {
    float value = 0;
    std::string digits(31, '1');
    EXPECT_TRUE(ParseNumberField(digits + "x", value));  // the 32nd character is never looked at
    EXPECT_FALSE(ParseNumberField(std::string(30, '1') + "x", value));
}

TEST(NumberField, ConvertsUnitsWithTruncation) {
    EXPECT_EQ(SecondsToMilliseconds(2.5f), 2500);
    EXPECT_EQ(SecondsToMilliseconds(0.7f), 699);  // held just below 0.7
    EXPECT_EQ(SecondsToMilliseconds(-0.0004f), 0);
    EXPECT_EQ(MinutesToMilliseconds(10.0f), 600000);
    EXPECT_EQ(SecondsToMilliseconds(1e30f), 2147483647);  // saturates, never undefined
    EXPECT_EQ(SecondsToMilliseconds(-1e30f), -2147483647 - 1);
}

TEST(CPropGeneralSetting, EnablesEachIntervalWithItsBox) {
    FakePageControls controls;
    CPropGeneralSetting page;
    page.UpdateStatusConnect = true;
    page.UpdateStatusConnectSeconds = 2.5f;
    page.DoDataExchange(Exchange::Load, controls);
    EXPECT_TRUE(controls.IsEnabled(IDC_UPDATE_CONNECT_SECONDS));
    EXPECT_FALSE(controls.IsEnabled(IDC_UPDATE_DISCONNECT_SECONDS));
    EXPECT_EQ(controls.texts[IDC_UPDATE_CONNECT_SECONDS], "2.5");
    controls.checks[IDC_UPDATE_CONNECT] = false;
    controls.checks[IDC_UPDATE_DISCONNECT] = true;
    page.RefreshControls(controls);
    EXPECT_FALSE(controls.IsEnabled(IDC_UPDATE_CONNECT_SECONDS));
    EXPECT_TRUE(controls.IsEnabled(IDC_UPDATE_DISCONNECT_SECONDS));
}

TEST(CPropGeneralSetting, BadNumberKeepsThePageAndReportsTheField) {
    FakePageControls controls;
    CPropGeneralSetting page;
    page.DoDataExchange(Exchange::Load, controls);
    controls.texts[IDC_UPDATE_CONNECT_SECONDS] = "abc";
    controls.texts[IDC_UPDATE_DISCONNECT_SECONDS] = "x";
    controls.checks[IDC_UPDATE_DISCONNECT] = true;
    EXPECT_FALSE(page.DoDataExchange(Exchange::Save, controls));
    EXPECT_THAT(controls.failedFields, ElementsAre(IDC_UPDATE_CONNECT_SECONDS));
    EXPECT_FALSE(page.UpdateStatusDisconnect);  // the exchange stopped at the first bad field
}

TEST(CPropLogSetting, UntickingLogCaptureGreysFiveControlsAndTheButton) {
    FakePageControls controls;
    CPropLogSetting page;
    page.UpdateLog = true;
    page.UpdateLogMinutes = 10;
    page.DoDataExchange(Exchange::Load, controls);
    controls.checks[IDC_UPDATE_LOG] = false;
    page.RefreshControls(controls);
    for (int id : {IDC_RECORD_LOGIN, IDC_RECORD_LOGOUT, IDC_RECORD_SUBINFO, IDC_UPDATE_LOG_MINUTES,
                   IDC_LOG_FILE_NAME, IDC_CHOOSE_LOG_FILE}) {
        EXPECT_FALSE(controls.IsEnabled(id)) << id;
    }
}

TEST(CPropAutoDisconnectSetting, DatePickerNeedsBothBoxes) {
    for (bool on : {false, true}) {
        for (bool dated : {false, true}) {
            FakePageControls controls;
            CPropAutoDisconnectSetting page;
            page.AutoDisconnect = on;
            page.AutoDisconnectSelectDay = dated;
            page.DoDataExchange(Exchange::Load, controls);
            EXPECT_EQ(controls.IsEnabled(IDC_DATE_PICKER), on && dated);
            EXPECT_EQ(controls.IsEnabled(IDC_TIME_PICKER), on);
            EXPECT_EQ(controls.IsEnabled(IDC_SET_NOW), on);
            EXPECT_EQ(controls.IsEnabled(IDC_SELECT_DAY), on);
            EXPECT_TRUE(controls.IsEnabled(IDC_CONFIRM_FIRST));
        }
    }
}

TEST(CPropAutoDisconnectSetting, TakesTheDateFromOnePickerAndTheTimeFromTheOther) {
    FakePageControls controls;
    CPropAutoDisconnectSetting page;
    page.AutoDisconnectTime = DateTime::FromParts(2026, 1, 2, 3, 4, 5);
    page.OnInitDialog(controls);
    EXPECT_EQ(controls.formats[IDC_DATE_PICKER], Utf8ToSjis("yyy'年 'MM'月 'dd'日('dddd')'"));
    EXPECT_EQ(controls.formats[IDC_TIME_PICKER], Utf8ToSjis("HH'時 'mm'分 'ss'秒'"));
    controls.pickers[IDC_DATE_PICKER] = DateTime::FromParts(2027, 7, 8, 9, 10, 11);
    controls.pickers[IDC_TIME_PICKER] = DateTime::FromParts(1999, 1, 1, 23, 30, 0);
    page.DoDataExchange(Exchange::Save, controls);
    EXPECT_EQ(page.AutoDisconnectTime, DateTime::FromParts(2027, 7, 8, 23, 30, 0));
}

TEST(CPropAutoDisconnectSetting, SetNowPutsBothPickersAtNow) {
    FakePageControls controls;
    testing::FakeClock clock(DateTime::FromParts(2026, 12, 8, 21, 0, 0));
    CPropAutoDisconnectSetting page;
    page.OnInitDialog(controls);
    page.SetNowTime(controls, clock);
    page.DoDataExchange(Exchange::Save, controls);
    EXPECT_EQ(page.AutoDisconnectTime, DateTime::FromParts(2026, 12, 8, 21, 0, 0));
}

class FakeLogFileChooser final : public LogFileChooser {
  public:
    bool ChooseSaveFile(const std::string&, std::string&) override {
        ++runs;
        return false;
    }
    int runs = 0;
};

// The command table: which click reaches which handler on which page. Ids
// are shared between pages (1021 is "補助情報記録" on one and "自動切断" on
// another), so the page decides, not the id alone.
TEST(SettingsSheetPage, RoutesEachClickByPageAndControl) {
    enum class Effect { Nothing, Refresh, ChooseFile, SetNow };
    using enum SettingsPageKind;
    struct Row {
        SettingsPageKind page;
        int control;
        Effect effect;
    };
    const Row rows[] = {
        {General, IDC_UPDATE_CONNECT, Effect::Refresh},
        {General, IDC_UPDATE_DISCONNECT, Effect::Refresh},
        {General, IDC_INIT_MINIMIZE, Effect::Nothing},
        {General, IDC_UPDATE_LOG, Effect::Nothing},
        {General, IDC_CHOOSE_LOG_FILE, Effect::Nothing},
        {Log, IDC_UPDATE_LOG, Effect::Refresh},
        {Log, IDC_CHOOSE_LOG_FILE, Effect::ChooseFile},
        {Log, IDC_RECORD_LOGIN, Effect::Nothing},
        {Log, IDC_RECORD_SUBINFO, Effect::Nothing},
        {Log, IDC_SET_NOW, Effect::Nothing},
        {AutoDisconnect, IDC_AUTO_DISCONNECT, Effect::Refresh},
        {AutoDisconnect, IDC_SELECT_DAY, Effect::Refresh},
        {AutoDisconnect, IDC_SET_NOW, Effect::SetNow},
        {AutoDisconnect, IDC_CONFIRM_FIRST, Effect::Nothing},
        {AutoDisconnect, IDC_UPDATE_CONNECT, Effect::Nothing},
        {Notify, IDC_NOTIFY_ACCESS, Effect::Nothing},
        {Notify, IDC_NOTIFY_LINE, Effect::Nothing},
        {Notify, IDC_START_WITH_WINDOWS, Effect::Nothing},
        {Notify, IDC_SET_NOW, Effect::Nothing},
        {Notify, IDC_UPDATE_LOG, Effect::Nothing},
    };
    // A control whose enabled state each page's reload sets.
    const std::map<SettingsPageKind, int> governed = {{General, IDC_UPDATE_CONNECT_SECONDS},
                                                      {Log, IDC_LOG_FILE_NAME},
                                                      {AutoDisconnect, IDC_DATE_PICKER},
                                                      {Notify, IDC_NOTIFY_ACCESS}};
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "page " << static_cast<int>(row.page) << ", control " << row.control);
        SettingsPages pages;
        testing::FakeClock clock(DateTime::FromParts(2026, 5, 6, 7, 8, 9));
        SettingsSheetPage page(row.page, pages, clock);
        FakePageControls controls;
        controls.texts = {{IDC_UPDATE_CONNECT_SECONDS, "3"},
                          {IDC_UPDATE_DISCONNECT_SECONDS, "10"},
                          {IDC_UPDATE_LOG_MINUTES, "10"}};
        FakeLogFileChooser chooser;
        page.OnClicked(row.control, controls, chooser);
        EXPECT_EQ(chooser.runs, row.effect == Effect::ChooseFile ? 1 : 0);
        EXPECT_EQ(controls.calls == 0, row.effect == Effect::Nothing);
        EXPECT_EQ(controls.WasEnabledOrDisabled(governed.at(row.page)), row.effect != Effect::Nothing);
        if (row.effect == Effect::SetNow) {
            EXPECT_EQ(controls.pickers[IDC_DATE_PICKER], clock.Now());
            EXPECT_EQ(controls.pickers[IDC_TIME_PICKER], clock.Now());
        } else {
            EXPECT_TRUE(controls.pickers.empty() || row.page == AutoDisconnect);
        }
    }
}

// The sheet's life of one page: loaded when created, reloaded each time it
// is shown again, read back when left; a bad number keeps the user there; a
// page never opened keeps the values copied in.
TEST(SettingsSheetPage, LoadsWhenShownAndReadsBackWhenLeft) {
    SettingsPages pages;
    pages.general.UpdateStatusConnectSeconds = 3;
    pages.log.UpdateLogFileName = "keep.txt";
    testing::FakeClock clock;
    std::array<SettingsSheetPage, 4> sheet = SettingsSheetPages(pages, clock);
    EXPECT_EQ(sheet[0].TemplateId(), IDD_GENERAL_SETTING);
    EXPECT_EQ(sheet[1].TemplateId(), IDD_LOG_SETTING);
    EXPECT_EQ(sheet[2].TemplateId(), IDD_AUTODISCONNECT_SETTING);
    EXPECT_EQ(sheet[3].TemplateId(), IDD_NOTIFY_SETTING);

    SettingsSheetPage& general = sheet[0];
    FakePageControls controls;
    general.OnInitDialog(controls);
    EXPECT_EQ(controls.texts[IDC_UPDATE_CONNECT_SECONDS], "3");
    controls.texts[IDC_UPDATE_CONNECT_SECONDS] = "2.5";
    general.OnSetActive(controls);  // first shown: what OnInitDialog loaded stays
    EXPECT_EQ(controls.texts[IDC_UPDATE_CONNECT_SECONDS], "2.5");
    EXPECT_TRUE(general.OnKillActive(controls));
    EXPECT_EQ(pages.general.UpdateStatusConnectSeconds, 2.5f);

    pages.general.UpdateStatusConnectSeconds = 4;
    general.OnSetActive(controls);  // shown again: reloaded from the page
    EXPECT_EQ(controls.texts[IDC_UPDATE_CONNECT_SECONDS], "4");

    controls.texts[IDC_UPDATE_DISCONNECT_SECONDS] = "x";
    EXPECT_FALSE(general.OnKillActive(controls));
    EXPECT_THAT(controls.failedFields, ElementsAre(IDC_UPDATE_DISCONNECT_SECONDS));

    FakePageControls autoControls;
    sheet[2].OnInitDialog(autoControls);  // the pickers get their formats
    EXPECT_EQ(autoControls.formats.size(), 2u);
    EXPECT_EQ(pages.log.UpdateLogFileName, "keep.txt");  // the log page was never opened
}

// "通知": the start-up box stands for the Startup shortcut, not for a setting;
// the page exchanges it with its fields and shows the note under it, and none
// of its boxes governs another.
TEST(SettingsSheetPage, NotifyPageExchangesTheStartUpBoxAndShowsItsNote) {
    SettingsPages pages;
    pages.notify.StartWithWindows = true;
    pages.notify.StartupTurnedOff = true;
    testing::FakeClock clock;
    SettingsSheetPage notify = SettingsSheetPages(pages, clock)[3];
    FakePageControls controls;
    notify.OnInitDialog(controls);
    EXPECT_TRUE(controls.checks[IDC_START_WITH_WINDOWS]);
    EXPECT_EQ(controls.texts[IDC_STARTUP_NOTE], TableString(IDS_STARTUP_TURNED_OFF));
    controls.checks[IDC_START_WITH_WINDOWS] = false;
    EXPECT_TRUE(notify.OnKillActive(controls));
    EXPECT_FALSE(pages.notify.StartWithWindows);
    EXPECT_FALSE(controls.WasEnabledOrDisabled(IDC_NOTIFY_ACCESS));
}

TEST(SettingsPages, CopyInShowsSecondsAndMinutes) {
    ToolSettings settings;
    settings.UpdateStatusConnectTime = 2500;
    settings.UpdateLogTime = 600000;
    SettingsPages pages = PagesFromSettings(settings);
    EXPECT_EQ(pages.general.UpdateStatusConnectSeconds, 2.5f);
    EXPECT_EQ(pages.general.UpdateStatusDisconnectSeconds, 10.0f);
    EXPECT_EQ(pages.log.UpdateLogMinutes, 10.0f);
}

TEST(SettingsPages, ApplyingZeroSwitchesTheFeatureOffThoughTicked) {
    ToolSettings settings;
    SettingsPages pages = PagesFromSettings(settings);
    pages.general.UpdateStatusConnect = true;
    pages.general.UpdateStatusConnectSeconds = 0;
    pages.log.UpdateLog = true;
    pages.log.UpdateLogMinutes = -1;
    ApplySettingsPages(pages, settings);
    EXPECT_EQ(settings.UpdateStatusConnectTime, 0);
    EXPECT_FALSE(settings.UpdateStatusConnect);
    EXPECT_EQ(settings.followUpPollTime, 10000);
    EXPECT_FALSE(settings.UpdateLog);
    EXPECT_EQ(settings.UpdateLogTime, -60000);
}

TEST(SettingsPages, ApplyingTwoAndAHalfSecondsStores2500) {
    ToolSettings settings;
    SettingsPages pages = PagesFromSettings(settings);
    pages.general.UpdateStatusConnectSeconds = 2.5f;
    ApplySettingsPages(pages, settings);
    EXPECT_EQ(settings.UpdateStatusConnectTime, 2500);
    EXPECT_EQ(settings.followUpPollTime, 2500);
}

TEST(LogFilePath, NamesInsideTheCurrentDirectoryBecomeRelative) {
    EXPECT_EQ(RelativeToDirectory("C:\\tools\\syslog.txt", "C:\\tools\\"), "syslog.txt");
    EXPECT_EQ(RelativeToDirectory("C:\\tools\\logs\\a.txt", "C:\\tools\\"), "logs\\a.txt");
    EXPECT_EQ(RelativeToDirectory("D:\\other\\a.txt", "C:\\tools\\"), "D:\\other\\a.txt");
    EXPECT_EQ(RelativeToDirectory("c:\\tools\\a.txt", "C:\\tools\\"), "c:\\tools\\a.txt");  // exact case only
    // A drive root is remembered with two separators: chosen names stay absolute.
    EXPECT_EQ(RelativeToDirectory("C:\\a.txt", "C:\\\\"), "C:\\a.txt");
}

TEST(LogFilePath, TrailBytesAreNeverSeparators) {
    std::string file = Utf8ToSjis("C:\\ログ\\表.txt");  // the trail byte of 表 is 0x5C
    EXPECT_EQ(InitialDirectoryFor(file, "C:\\cur\\", '\\'), Utf8ToSjis("C:\\ログ"));
    EXPECT_EQ(InitialDirectoryFor(Utf8ToSjis("表.txt"), "C:\\cur\\", '\\'), "C:\\cur\\");
    std::string name = std::string(258, 'a') + Utf8ToSjis("表");
    EXPECT_EQ(FitFileNameBuffer(name), std::string(258, 'a'));  // never half a character
}

}  // namespace
}  // namespace velmo
