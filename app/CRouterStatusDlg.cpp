#include "app/CRouterStatusDlg.h"

#include <utility>

#include "app/Timers.h"
#include "base/FileSystem.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace velmo {

CRouterStatusDlg::CRouterStatusDlg(WindowHost& host, TrayHost& tray, Clock& clock)
    : host_(host), tray_(tray), clock_(clock) {
    LoadFromCurrentDirectory();
}

CRouterStatusDlg::CRouterStatusDlg(WindowHost& host, TrayHost& tray, Clock& clock, RequestFunction request)
    : router(std::move(request)), host_(host), tray_(tray), clock_(clock) {
    LoadFromCurrentDirectory();
}

void CRouterStatusDlg::LoadFromCurrentDirectory() {
    // "Velmo tool.ini" in the current directory; the bare name when the
    // directory cannot be read.
    settingsPath = CurrentDirectoryWithSeparator() + TableString(IDS_APPNAME) + ".ini";
    LoadSettings();
}

CRouterStatusDlg::~CRouterStatusDlg() {
    // Every exit writes the settings file: the close sequence did, unless the
    // window goes without one. A failed write has nobody left to tell, so its
    // result is dropped here.
    if (!closeSequenceDone_) {
        SaveSettings();
    }
    router.CancelAndWaitForAllWorkers();
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
    CopyWorkingSettings();
    AddTrayIcon();
    RefreshAll();  // before the window is first shown
    if (settings.UpdateStatusDisconnect) {
        StartTimer(kTimerRefresh, settings.UpdateStatusDisconnectTime);
    }
    if (settings.UpdateLog) {
        StartTimer(kTimerLogCapture, settings.UpdateLogTime);  // no capture at start-up
    }
    CheckAutoDisconnect();
    host_.CenterWindow();
    if (settings.InitMinimize) {
        host_.SetMinimizedPlacement();
        host_.PostMinimizedSize();  // the size handler hides it into the tray
    }
    return true;
}

void CRouterStatusDlg::OnClose() {
    if (closeSequenceDone_) {
        return;  // a second close message queued behind the first
    }
    if (confirmationOpen_) {
        // The user asked to exit while the auto-disconnect question is open:
        // it is answered as Cancel, and the close runs once the check that
        // asked has returned (see HangUpAutomatically). Nothing is hung up.
        closeAfterConfirmation_ = true;
        host_.Hide();
        host_.EndAutoDisconnectConfirm();
        return;
    }
    closeSequenceDone_ = true;
    // The tool leaves the screen at once, and the settings reach the file
    // before anything waits on the router; a failed write here stays silent
    // (nothing can be done about it at exit).
    host_.Hide();
    RemoveTrayIcon();
    SaveSettings();
    if (settings.UpdateLog) {
        CaptureSystemLog();  // one last time
    }
    for (int timerId : kAllTimers) {
        host_.StopTimer(timerId);
    }
    // Requests still on their way are cancelled, so none of them holds the exit.
    router.CancelAndWaitForAllWorkers();
    host_.EndDialog(IDCANCEL);
}

void CRouterStatusDlg::OnExit() {
    host_.PostClose();
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
        case IDC_CONNECT:
        case ID_MENU_CONNECT:
            OnConnect();
            return true;
        case IDC_DISCONNECT:
        case ID_MENU_DISCONNECT:
            OnDisconnect();
            return true;
        case IDC_SETTINGS:
        case ID_MENU_SETTINGS:
            OnSettings();
            return true;
        case ID_MENU_CAPTURE_LOG:
            CaptureSystemLog();  // whatever UpdateLog says
            return true;
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

bool CRouterStatusDlg::OnConnect() {
    BeginCommandFollowUp();
    return router.SendDialCommand();
}

bool CRouterStatusDlg::OnDisconnect() {
    BeginCommandFollowUp();
    return router.SendHangUpCommand();
}

void CRouterStatusDlg::CopyWorkingSettings() {
    router.routerAddress = settings.RutorAddress;
    router.rootPassword = settings.RootPasswd;
    recordLogin = settings.UpdateLogRecordLogIn;
    recordLogout = settings.UpdateLogRecordLogOut;
    recordSubInfo = settings.UpdateLogRecordSubInfo;
}

void CRouterStatusDlg::LoadSettings() {
    velmo::LoadSettings(settings, settingsPath, clock_);
}

bool CRouterStatusDlg::SaveSettings(std::string* reason) {
    return velmo::SaveSettings(settings, settingsPath, reason);
}

}  // namespace velmo
