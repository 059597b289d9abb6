// The settings sheet's four pages: what each holds, how it exchanges data
// with its controls, and which controls are enabled. Which member of a page
// edits which setting, through which control, is the settings table's
// (SettingsTable.h); a page adds its own rules. The controls themselves are
// the platform's, reached through the PageControls port.
#pragma once

#include <span>
#include <string>

#include "base/Clock.h"
#include "base/DateTime.h"
#include "res/resource.h"
#include "settings/ToolSettings.h"

namespace velmo {

// One item of a drop-down list: the value the setting holds and the text
// shown for it.
struct Choice {
    const char* value;
    int textId;
};

// One page's controls, by id. A drop-down list's text is the value of its
// selected item; setting a value selects its item (the first when none has it).
class PageControls {
  public:
    virtual ~PageControls() = default;
    virtual std::string Text(int controlId) = 0;
    virtual void SetText(int controlId, const std::string& text) = 0;
    virtual bool Checked(int controlId) = 0;
    virtual void SetChecked(int controlId, bool checked) = 0;
    // Fills a drop-down list with `choices`, in their order.
    virtual void SetChoices(int controlId, std::span<const Choice> choices) = 0;
    virtual void Enable(int controlId, bool enabled) = 0;
    virtual DateTime PickerTime(int controlId) = 0;
    virtual void SetPickerTime(int controlId, const DateTime& time) = 0;
    virtual void SetPickerFormat(int controlId, const std::string& format) = 0;
    // Says "数字を入力してください。" and puts the focus back into the field.
    virtual void NumberFieldFailed(int controlId) = 0;
};

// Runs the system's save-file dialog for the log file.
class LogFileChooser {
  public:
    virtual ~LogFileChooser() = default;
    // `fileName` holds the proposed name and receives the chosen full name.
    virtual bool ChooseSaveFile(const std::string& initialDirectory, std::string& fileName) = 0;
};

// The values of the Language setting, as the General page offers them.
inline constexpr Choice kLanguageChoices[] = {
    {"auto", IDS_LANGUAGE_AUTO}, {"ja", IDS_LANGUAGE_JA}, {"en", IDS_LANGUAGE_EN}};

// Exchange direction, as the framework calls it.
enum class Exchange { Load, Save };

// "一般": address, password, refresh intervals, start minimised.
class CPropGeneralSetting {
  public:
    bool UpdateStatusConnect = false;
    bool UpdateStatusDisconnect = false;
    float UpdateStatusConnectSeconds = 0;
    float UpdateStatusDisconnectSeconds = 0;
    std::string RootPasswd;
    std::string RutorAddress;
    bool InitMinimize = false;
    std::string Language;

    // False when a number field does not read (save direction).
    bool DoDataExchange(Exchange direction, PageControls& controls);
    void RefreshControls(PageControls& controls);
};

// "ログ": log capture.
class CPropLogSetting {
  public:
    bool UpdateLog = false;
    bool UpdateLogRecordLogIn = false;
    bool UpdateLogRecordLogOut = false;
    bool UpdateLogRecordSubInfo = false;
    float UpdateLogMinutes = 0;
    std::string UpdateLogFileName;

    bool DoDataExchange(Exchange direction, PageControls& controls);
    void RefreshControls(PageControls& controls);
    // Button "選択": the save-file dialog, then the name made relative to the
    // current directory when it lies inside it.
    void ChooseLogFile(PageControls& controls, LogFileChooser& chooser);
};

// "自動切断": auto-disconnect.
class CPropAutoDisconnectSetting {
  public:
    DateTime AutoDisconnectTime;
    bool AutoDisconnect = false;
    bool AutoDisconnectSelectDay = false;
    bool AutoDisconnectDlg = false;

    bool DoDataExchange(Exchange direction, PageControls& controls);
    void RefreshControls(PageControls& controls);
    bool OnInitDialog(PageControls& controls);
    // Button "今の時間を設定": both pickers to now.
    void SetNowTime(PageControls& controls, Clock& clock);
};

// "通知": balloon notifications, the sources they leave out, redialling
// after a drop, and starting with Windows. The last box
// stands for the shortcut in the user's Startup folder, not for a key of the
// settings file: the sheet fills it from the shortcut and makes the shortcut
// follow it on OK (StartupShortcut.h).
class CPropNotifySetting {
  public:
    bool NotifyAccess = false;
    bool NotifyLine = false;
    std::string NotifyIgnore;
    bool AutoRedial = false;
    bool StartWithWindows = false;
    // The shortcut is there but turned off in Task Manager: the box shows it
    // off and the note under it says so (filled by the sheet, like the box).
    bool StartupTurnedOff = false;

    bool DoDataExchange(Exchange direction, PageControls& controls);
};

struct SettingsPages {
    CPropGeneralSetting general;
    CPropLogSetting log;
    CPropAutoDisconnectSetting autoDisconnect;
    CPropNotifySetting notify;
};

// Copies the settings into the pages (milliseconds become seconds and
// minutes); "Windows の起動時に開始する" is left off for the sheet to fill.
SettingsPages PagesFromSettings(const ToolSettings& settings);

// Applies the pages of a confirmed sheet to the settings: an interval of 0 ms
// or less switches its feature off.
void ApplySettingsPages(const SettingsPages& pages, ToolSettings& settings);

}  // namespace velmo
