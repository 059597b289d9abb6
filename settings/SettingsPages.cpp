#include "settings/SettingsPages.h"

#include "base/CodePage.h"
#include "base/FileSystem.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "settings/LogFilePath.h"
#include "settings/NumberField.h"

namespace velmo {

namespace {

void ExchangeCheck(Exchange direction, PageControls& controls, int id, bool& value) {
    if (direction == Exchange::Save) {
        value = controls.Checked(id);
    } else {
        controls.SetChecked(id, value);
    }
}

void ExchangeText(Exchange direction, PageControls& controls, int id, std::string& value) {
    if (direction == Exchange::Save) {
        value = controls.Text(id);
    } else {
        controls.SetText(id, value);
    }
}

bool ExchangeNumber(Exchange direction, PageControls& controls, int id, float& value) {
    if (direction == Exchange::Load) {
        controls.SetText(id, FormatNumberField(value));
        return true;
    }
    if (!ParseNumberField(controls.Text(id), value)) {
        controls.NumberFieldFailed(id);
        return false;
    }
    return true;
}

}  // namespace

bool CPropGeneralSetting::DoDataExchange(Exchange direction, PageControls& controls) {
    ExchangeCheck(direction, controls, IDC_UPDATE_CONNECT, UpdateStatusConnect);
    ExchangeCheck(direction, controls, IDC_UPDATE_DISCONNECT, UpdateStatusDisconnect);
    if (!ExchangeNumber(direction, controls, IDC_UPDATE_CONNECT_SECONDS, UpdateStatusConnectSeconds) ||
        !ExchangeNumber(direction, controls, IDC_UPDATE_DISCONNECT_SECONDS, UpdateStatusDisconnectSeconds)) {
        return false;
    }
    ExchangeText(direction, controls, IDC_ROOT_PASSWORD, RootPasswd);
    ExchangeText(direction, controls, IDC_ROUTER_ADDRESS, RutorAddress);
    ExchangeCheck(direction, controls, IDC_INIT_MINIMIZE, InitMinimize);
    if (direction == Exchange::Load) {
        controls.Enable(IDC_UPDATE_CONNECT_SECONDS, UpdateStatusConnect);
        controls.Enable(IDC_UPDATE_DISCONNECT_SECONDS, UpdateStatusDisconnect);
    }
    return true;
}

void CPropGeneralSetting::RefreshControls(PageControls& controls) {
    if (DoDataExchange(Exchange::Save, controls)) {
        DoDataExchange(Exchange::Load, controls);
    }
}

bool CPropLogSetting::DoDataExchange(Exchange direction, PageControls& controls) {
    ExchangeCheck(direction, controls, IDC_UPDATE_LOG, UpdateLog);
    ExchangeCheck(direction, controls, IDC_RECORD_LOGIN, UpdateLogRecordLogIn);
    ExchangeCheck(direction, controls, IDC_RECORD_LOGOUT, UpdateLogRecordLogOut);
    ExchangeCheck(direction, controls, IDC_RECORD_SUBINFO, UpdateLogRecordSubInfo);
    if (!ExchangeNumber(direction, controls, IDC_UPDATE_LOG_MINUTES, UpdateLogMinutes)) {
        return false;
    }
    ExchangeText(direction, controls, IDC_LOG_FILE_NAME, UpdateLogFileName);
    if (direction == Exchange::Load) {
        for (int id : {IDC_RECORD_LOGIN, IDC_RECORD_LOGOUT, IDC_RECORD_SUBINFO, IDC_UPDATE_LOG_MINUTES,
                       IDC_LOG_FILE_NAME, IDC_CHOOSE_LOG_FILE}) {
            controls.Enable(id, UpdateLog);
        }
    }
    return true;
}

void CPropLogSetting::RefreshControls(PageControls& controls) {
    if (DoDataExchange(Exchange::Save, controls)) {
        DoDataExchange(Exchange::Load, controls);
    }
}

void CPropLogSetting::ChooseLogFile(PageControls& controls, LogFileChooser& chooser) {
    if (!DoDataExchange(Exchange::Save, controls)) {
        return;
    }
    const std::string currentDirectory = CurrentDirectoryWithSeparator();
    std::string initialDirectory = InitialDirectoryFor(UpdateLogFileName, currentDirectory, kPathSeparator);
    std::string fileName = FitFileNameBuffer(UpdateLogFileName);
    if (chooser.ChooseSaveFile(initialDirectory, fileName)) {
        UpdateLogFileName = fileName;
    }
    UpdateLogFileName = RelativeToDirectory(UpdateLogFileName, currentDirectory);
    // The dialog may have moved the process's current directory: put it back.
    if (!currentDirectory.empty()) {
        ChangeCurrentDirectory(currentDirectory);
    }
    DoDataExchange(Exchange::Load, controls);
}

bool CPropAutoDisconnectSetting::DoDataExchange(Exchange direction, PageControls& controls) {
    ExchangeCheck(direction, controls, IDC_AUTO_DISCONNECT, AutoDisconnect);
    ExchangeCheck(direction, controls, IDC_SELECT_DAY, AutoDisconnectSelectDay);
    ExchangeCheck(direction, controls, IDC_CONFIRM_FIRST, AutoDisconnectDlg);
    if (direction == Exchange::Load) {
        controls.Enable(IDC_SELECT_DAY, AutoDisconnect);
        controls.Enable(IDC_TIME_PICKER, AutoDisconnect);
        controls.Enable(IDC_SET_NOW, AutoDisconnect);
        controls.Enable(IDC_DATE_PICKER, AutoDisconnect && AutoDisconnectSelectDay);
        controls.Enable(IDC_CONFIRM_FIRST, true);
    } else {
        CalendarTime date = controls.PickerTime(IDC_DATE_PICKER).Calendar();
        CalendarTime time = controls.PickerTime(IDC_TIME_PICKER).Calendar();
        AutoDisconnectTime =
            DateTime::FromParts(date.year, date.month, date.day, time.hour, time.minute, time.second);
    }
    return true;
}

void CPropAutoDisconnectSetting::RefreshControls(PageControls& controls) {
    if (DoDataExchange(Exchange::Save, controls)) {
        DoDataExchange(Exchange::Load, controls);
    }
}

bool CPropAutoDisconnectSetting::OnInitDialog(PageControls& controls) {
    DoDataExchange(Exchange::Load, controls);
    controls.SetPickerFormat(IDC_DATE_PICKER, Utf8ToSjis("yyy'年 'MM'月 'dd'日('dddd')'"));
    controls.SetPickerFormat(IDC_TIME_PICKER, Utf8ToSjis("HH'時 'mm'分 'ss'秒'"));
    controls.SetPickerTime(IDC_DATE_PICKER, AutoDisconnectTime);
    controls.SetPickerTime(IDC_TIME_PICKER, AutoDisconnectTime);
    return true;
}

void CPropAutoDisconnectSetting::SetNowTime(PageControls& controls, Clock& clock) {
    if (!DoDataExchange(Exchange::Save, controls)) {
        return;
    }
    controls.SetPickerTime(IDC_DATE_PICKER, clock.Now());
    controls.SetPickerTime(IDC_TIME_PICKER, clock.Now());
    DoDataExchange(Exchange::Load, controls);
}

bool CPropNotifySetting::DoDataExchange(Exchange direction, PageControls& controls) {
    ExchangeCheck(direction, controls, IDC_NOTIFY_ACCESS, NotifyAccess);
    ExchangeCheck(direction, controls, IDC_NOTIFY_LINE, NotifyLine);
    ExchangeText(direction, controls, IDC_NOTIFY_IGNORE, NotifyIgnore);
    ExchangeCheck(direction, controls, IDC_AUTO_REDIAL, AutoRedial);
    ExchangeCheck(direction, controls, IDC_START_WITH_WINDOWS, StartWithWindows);
    if (direction == Exchange::Load) {
        controls.SetText(IDC_STARTUP_NOTE, StartupTurnedOff ? TableString(IDS_STARTUP_TURNED_OFF) : "");
    }
    return true;
}

SettingsPages PagesFromSettings(const ToolSettings& settings) {
    SettingsPages pages;
    pages.general.RutorAddress = settings.RutorAddress;
    pages.general.RootPasswd = settings.RootPasswd;
    pages.general.InitMinimize = settings.InitMinimize;
    pages.general.UpdateStatusConnect = settings.UpdateStatusConnect;
    pages.general.UpdateStatusDisconnect = settings.UpdateStatusDisconnect;
    pages.general.UpdateStatusConnectSeconds = MillisecondsToSeconds(settings.UpdateStatusConnectTime);
    pages.general.UpdateStatusDisconnectSeconds = MillisecondsToSeconds(settings.UpdateStatusDisconnectTime);
    pages.log.UpdateLog = settings.UpdateLog;
    pages.log.UpdateLogMinutes = MillisecondsToMinutes(settings.UpdateLogTime);
    pages.log.UpdateLogFileName = settings.UpdateLogFileName;
    pages.log.UpdateLogRecordLogIn = settings.UpdateLogRecordLogIn;
    pages.log.UpdateLogRecordLogOut = settings.UpdateLogRecordLogOut;
    pages.log.UpdateLogRecordSubInfo = settings.UpdateLogRecordSubInfo;
    pages.autoDisconnect.AutoDisconnect = settings.AutoDisconnect;
    pages.autoDisconnect.AutoDisconnectSelectDay = settings.AutoDisconnectSelectDay;
    pages.autoDisconnect.AutoDisconnectDlg = settings.AutoDisconnectDlg;
    pages.autoDisconnect.AutoDisconnectTime = settings.AutoDisconnectTime;
    pages.notify.NotifyAccess = settings.NotifyAccess;
    pages.notify.NotifyLine = settings.NotifyLine;
    pages.notify.NotifyIgnore = settings.NotifyIgnore;
    pages.notify.AutoRedial = settings.AutoRedial;
    return pages;
}

void ApplySettingsPages(const SettingsPages& pages, ToolSettings& settings) {
    const CPropGeneralSetting& general = pages.general;
    settings.RutorAddress = general.RutorAddress;
    settings.RootPasswd = general.RootPasswd;
    settings.InitMinimize = general.InitMinimize;
    settings.UpdateStatusConnect = general.UpdateStatusConnect;
    settings.UpdateStatusConnectTime = SecondsToMilliseconds(general.UpdateStatusConnectSeconds);
    if (settings.UpdateStatusConnectTime <= 0) {
        settings.UpdateStatusConnect = false;
    }
    settings.followUpPollTime = settings.UpdateStatusConnect ? settings.UpdateStatusConnectTime : 10000;
    settings.UpdateStatusDisconnect = general.UpdateStatusDisconnect;
    settings.UpdateStatusDisconnectTime = SecondsToMilliseconds(general.UpdateStatusDisconnectSeconds);
    if (settings.UpdateStatusDisconnectTime <= 0) {
        settings.UpdateStatusDisconnect = false;
    }
    settings.UpdateLog = pages.log.UpdateLog;
    settings.UpdateLogTime = MinutesToMilliseconds(pages.log.UpdateLogMinutes);
    if (settings.UpdateLogTime <= 0) {
        settings.UpdateLog = false;
    }
    settings.UpdateLogFileName = pages.log.UpdateLogFileName;
    settings.UpdateLogRecordLogIn = pages.log.UpdateLogRecordLogIn;
    settings.UpdateLogRecordLogOut = pages.log.UpdateLogRecordLogOut;
    settings.UpdateLogRecordSubInfo = pages.log.UpdateLogRecordSubInfo;
    settings.AutoDisconnect = pages.autoDisconnect.AutoDisconnect;
    settings.AutoDisconnectSelectDay = pages.autoDisconnect.AutoDisconnectSelectDay;
    settings.AutoDisconnectTime = pages.autoDisconnect.AutoDisconnectTime;
    settings.NotifyAccess = pages.notify.NotifyAccess;
    settings.NotifyLine = pages.notify.NotifyLine;
    settings.NotifyIgnore = pages.notify.NotifyIgnore;
    settings.AutoRedial = pages.notify.AutoRedial;
}

}  // namespace velmo
