#include "app/CRouterStatusDlg.h"

#include "app/StringTable.h"
#include "app/Timers.h"
#include "base/CodePage.h"
#include "base/FileSystem.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace velmo {

CRouterStatusDlg::CRouterStatusDlg(WindowHost& host, Clock& clock) : host_(host), clock_(clock) {
    // The file is "Velmo tool.ini" in the current directory; the bare name
    // when the directory cannot be read.
    settingsPath_ = CurrentDirectoryWithSeparator() + TableString(IDS_APPNAME) + ".ini";
    LoadSettings();
}

CRouterStatusDlg::~CRouterStatusDlg() {
    // Every exit writes the settings file; a failed write has nobody left to
    // tell, so its result is dropped here.
    SaveSettings();
}

std::string CRouterStatusDlg::Caption() {
    return TableString(IDS_APPNAME) + " ver. " + TableString(IDS_VERSION);
}

bool CRouterStatusDlg::OnInitDialog() {
    host_.AddAboutItemToSystemMenu("&" + TableString(IDS_ABOUTBOX) + "...");
    host_.SetWindowIcons();
    host_.SetCaption(Caption());
    followUpActive = false;
    trayIconAdded = false;
    accessWarning = false;
    lastDisconnectCheck = clock_.Now();
    routerAddress = settings_.RutorAddress;
    rootPassword = settings_.RootPasswd;
    recordLogout = settings_.UpdateLogRecordLogOut;
    recordLogin = settings_.UpdateLogRecordLogIn;
    recordSubInfo = settings_.UpdateLogRecordSubInfo;
    RefreshAll();  // before the window is first shown
    if (settings_.UpdateStatusDisconnect) {
        host_.StartTimer(kTimerRefresh, static_cast<std::uint32_t>(settings_.UpdateStatusDisconnectTime));
    }
    host_.CenterWindow();
    if (settings_.InitMinimize) {
        host_.SetMinimizedPlacement();
        host_.PostMinimizedSize();
    }
    return true;
}

void CRouterStatusDlg::OnClose() {
    if (closeSequenceDone_) {
        return;  // a second close message already queued behind the first
    }
    closeSequenceDone_ = true;
    for (int timerId : kAllTimers) {
        host_.StopTimer(timerId);
    }
    host_.EndDialog(kIdCancel);
}

void CRouterStatusDlg::OnExit() {
    host_.PostClose();
}

void CRouterStatusDlg::OnTimer(int timerId) {
    if (timerId == kTimerRefresh) {
        host_.StopTimer(kTimerRefresh);
        RefreshAll();
        host_.StartTimer(kTimerRefresh, static_cast<std::uint32_t>(settings_.UpdateStatusDisconnectTime));
    }
}

bool CRouterStatusDlg::OnSysCommand(unsigned commandId) {
    if ((commandId & 0xFFF0u) != IDM_ABOUTBOX) {
        return false;
    }
    host_.RunAboutBox();
    return true;
}

bool CRouterStatusDlg::OnCommand(int commandId) {
    switch (commandId) {
        case IDC_EXIT:
        case ID_MENU_EXIT:
            OnExit();
            return true;
        case ID_MENU_REFRESH:
            RefreshAll();
            return true;
        default:
            return false;
    }
}

void CRouterStatusDlg::RefreshAll() {
    ShowAutoDisconnectTime();
}

void CRouterStatusDlg::ShowAutoDisconnectTime() {
    static const std::string kNotSet = Utf8ToSjis("未設定");
    std::string text = kNotSet;
    if (settings_.AutoDisconnect) {
        text = settings_.AutoDisconnectTime.Format(TableString(IDS_DATETIME_FORMAT));
    }
    host_.SetFieldText(IDC_AUTODISCONNECT_TIME, text);
}

void CRouterStatusDlg::LoadSettings() {
    velmo::LoadSettings(settings_, settingsPath_, clock_);
}

bool CRouterStatusDlg::SaveSettings() {
    return velmo::SaveSettings(settings_, settingsPath_);
}

}  // namespace velmo
