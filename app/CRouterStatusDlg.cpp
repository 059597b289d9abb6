#include "app/CRouterStatusDlg.h"

#include <utility>

#include "app/NotifyIgnore.h"
#include "app/Timers.h"
#include "base/FileSystem.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace velmo {

CRouterStatusDlg::CRouterStatusDlg(WindowHost& host, TrayHost& tray, Clock& clock)
    : host_(host),
      tray_(tray),
      clock_(clock),
      record_(CurrentDirectoryWithSeparator()),
      jobs_(JobRunner::Mode::Thread, [&host] { host.PostJobDone(); }) {
    LoadFromCurrentDirectory();
}

CRouterStatusDlg::CRouterStatusDlg(WindowHost& host, TrayHost& tray, Clock& clock, RequestFunction request)
    : router(std::move(request)),
      host_(host),
      tray_(tray),
      clock_(clock),
      record_(CurrentDirectoryWithSeparator()),
      jobs_(JobRunner::Mode::Manual, [&host] { host.PostJobDone(); }) {
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
    if (closePhase_ != ClosePhase::Closed) {
        SaveSettings();
    }
    EndJobs();
}

bool CRouterStatusDlg::EndJobs() {
    return jobs_.Shutdown(JobRunner::kCloseBound);
}

void CRouterStatusDlg::OnJobDone() {
    if (closePhase_ != ClosePhase::Closed) {  // after the close nothing more is shown
        jobs_.DeliverFinished();
    }
}

bool CRouterStatusDlg::Submit(JobKind kind, JobOrigin origin, JobRunner::Work work) {
    return closePhase_ == ClosePhase::Open && jobs_.Submit(kind, origin, std::move(work));
}

std::string CRouterStatusDlg::Caption() {
    return TableString(IDS_APPNAME) + " ver. " + TableString(IDS_VERSION);
}

bool CRouterStatusDlg::OnInitDialog() {
    host_.AddAboutItemToSystemMenu("&" + TableString(IDS_ABOUTBOX) + "...");
    host_.AddSystemMenuItem(IDM_HISTORY, TableString(IDS_HISTORY_TITLE));
    host_.AddSystemMenuItem(IDM_LOG_VIEW, TableString(IDS_LOGVIEW_TITLE));
    host_.SetWindowIcons();
    host_.SetCaption(Caption());
    followUp = LineCommand::None;
    trayIconAdded = false;
    accessWarning = false;
    lastDisconnectCheck = clock_.Now();
    CopyWorkingSettings();
    taskbarTheme_ = tray_.CurrentTaskbarTheme();
    StartMuteTimer();
    line_ = ResumeLine(record_.Resume());
    AddTrayIcon();
    RefreshAll();  // its result starts timer 1 when that is on
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
    if (closePhase_ == ClosePhase::Closed) {
        return;  // a second close message queued behind the first
    }
    if (questionOpen_) {
        // The user asked to exit while the auto-disconnect question is open:
        // it is answered as Cancel, and the close runs once the check that
        // asked has returned (see HangUpAutomatically). Nothing is hung up.
        closePhase_ = ClosePhase::AfterQuestion;
        host_.Hide();
        host_.EndAutoDisconnectConfirm();
        return;
    }
    closePhase_ = ClosePhase::Closed;
    AnswerLineWaiters({Outcome::Closing, 0});
    // The tool leaves the screen at once and the settings reach the file
    // first; a failed write here stays silent (nothing can be done about it
    // at exit).
    host_.Hide();
    RemoveTrayIcon();
    SaveSettings();
    for (int timerId : kAllTimers) {
        host_.StopTimer(timerId);
    }
    // What waits is dropped and what runs is cut short; the last capture
    // runs after the window has gone, for as long as EndJobs allows.
    jobs_.CancelAll();
    if (settings.UpdateLog) {
        jobs_.Submit(JobKind::Capture, JobOrigin::User, CaptureJob());
    }
    host_.EndDialog(IDCANCEL);
}

void CRouterStatusDlg::OnExit() {
    host_.PostClose();
}

bool CRouterStatusDlg::OnSysCommand(unsigned commandId) {
    if ((commandId & 0xFFF0u) == IDM_HISTORY) {
        OnShowHistory();
        return true;
    }
    if ((commandId & 0xFFF0u) == IDM_LOG_VIEW) {
        OnShowLogView();
        return true;
    }
    if ((commandId & 0xFFF0u) != IDM_ABOUTBOX) {
        return false;
    }
    HoldPolls();
    host_.RunAboutBox();
    ResumePolls();
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
            CaptureSystemLog(JobOrigin::User);  // whatever UpdateLog says
            return true;
        case IDC_EXIT:
        case ID_MENU_EXIT:
            OnExit();
            return true;
        case ID_MENU_REFRESH:
            RefreshAll(JobOrigin::User);
            return true;
        case ID_MENU_HISTORY:
            OnShowHistory();
            return true;
        case ID_MENU_LOG_VIEW:
            OnShowLogView();
            return true;
        default:
            break;
    }
    MuteChoice choice{};
    if (MuteChoiceOf(commandId, choice)) {
        Mute(choice);
        return true;
    }
    return false;
}

bool CRouterStatusDlg::OnConnect() {
    return StartLineCommand(LineCommand::Connect);
}

bool CRouterStatusDlg::OnDisconnect() {
    return StartLineCommand(LineCommand::Disconnect);
}

void CRouterStatusDlg::CopyWorkingSettings() {
    router.routerAddress = settings.RutorAddress;
    router.rootPassword = settings.RootPasswd;
    recordLogin = settings.UpdateLogRecordLogIn;
    recordLogout = settings.UpdateLogRecordLogOut;
    recordSubInfo = settings.UpdateLogRecordSubInfo;
    ignoredSources_ = IgnoredSources(settings.NotifyIgnore);
}

void CRouterStatusDlg::LoadSettings() {
    velmo::LoadSettings(settings, settingsPath, clock_);
}

bool CRouterStatusDlg::SaveSettings(std::string* reason) {
    return velmo::SaveSettings(settings, settingsPath, reason);
}

}  // namespace velmo
