#include "app/CRouterStatusDlg.h"

#include <utility>

#include "app/NotifyIgnore.h"
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
    if (!closed_) {
        SaveSettings();
    }
    EndJobs();
}

bool CRouterStatusDlg::EndJobs() {
    const bool ended = jobs_.Shutdown(JobRunner::kCloseBound);
    // A line command whose job went as far as sending it, but whose result
    // is dropped with the close, is kept as sent: the change it may bring is
    // the tool's own at the next start.
    if (triedFlight_ == line_.flight && line_.inFlight != LineCommand::None && !line_.awaitedSince) {
        NoteCommandDone(line_, line_.flight, true, false, clock_.Tick());
        std::string reason;
        record_.Write({}, line_.kept, reason);
    }
    return ended;
}

void CRouterStatusDlg::OnJobDone() {
    if (closed_) {
        return;  // after the close nothing more is shown
    }
    jobs_.DeliverFinished();
    // A message a result asks for opens after every result that came with
    // it has been shown; the window goes on while it is up.
    if (slowAddressToShow_) {
        slowAddressToShow_ = false;
        host_.ShowMessage(TableString(IDS_APPNAME), TableString(IDS_BAD_ADDRESS));
    }
}

bool CRouterStatusDlg::Submit(JobKind kind, JobOrigin origin, JobRunner::Work work) {
    if (closed_) {
        return false;
    }
    // Every job's delivery ends its kind's reading: the timers follow from
    // that, whoever asked for it and whether or not it was cut short.
    const bool started = jobs_.Submit(
        kind, origin, [this, kind, work = std::move(work)](const CancelToken& cancel) -> JobRunner::Delivery {
            return [this, kind, show = work(cancel)] {
                --underWay_[static_cast<std::size_t>(kind)];
                show();
                const std::uint64_t now = clock_.Tick();
                if (kind == JobKind::Capture) {
                    captureEnded_ = now;
                } else {
                    statusEnded_ = now;  // a refresh and a command read the status page too
                    if (kind != JobKind::StatusPoll) {
                        refreshEnded_ = now;
                    }
                }
                ApplyTimers();
            };
        });
    if (started) {
        ++underWay_[static_cast<std::size_t>(kind)];
        ApplyTimers();  // a poll of the kind waits for its end
    }
    return started;
}

std::string CRouterStatusDlg::Caption() {
    return TableString(IDS_APPNAME) + " ver. " + TableString(IDS_VERSION);
}

bool CRouterStatusDlg::OnInitDialog() {
    ShowOwnTexts();
    host_.SetWindowIcons();
    followUp = LineCommand::None;
    trayIconAdded = false;
    accessWarning = false;
    lastDisconnectCheck = clock_.Now();
    CopyWorkingSettings();
    taskbarTheme_ = tray_.CurrentTaskbarTheme();
    // The start counts as the latest reading of each kind: no capture at start-up.
    refreshEnded_ = statusEnded_ = captureEnded_ = clock_.Tick();
    started_ = true;
    PlanMuteEnd();
    line_ = ResumeLine(record_.Resume());
    AddTrayIcon();
    RefreshAll();
    CheckAutoDisconnect();
    host_.CenterWindow();
    if (settings.InitMinimize) {
        host_.SetMinimizedPlacement();
        host_.PostMinimizedSize();  // the size handler hides it into the tray
    }
    ApplyTimers();
    return true;
}

void CRouterStatusDlg::OnClose() {
    if (closed_) {
        return;  // a second close message queued behind the first
    }
    CloseNow();
}

void CRouterStatusDlg::OnEndSession() {
    // Windows ends the process as soon as this returns: the close sequence
    // runs now, and the last capture is waited for within the close bound.
    OnClose();
    EndJobs();
}

void CRouterStatusDlg::CloseNow() {
    closed_ = true;
    AnswerLineWaiters({Outcome::Closing, 0});
    // The tool leaves the screen at once and the settings reach the file
    // first; a failed write here stays silent (nothing can be done about it
    // at exit).
    host_.Hide();
    RemoveTrayIcon();
    SaveSettings();
    ApplyTimers();  // none runs after the close
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
    WithModal(kAboutOpen, [this] {
        host_.RunAboutBox();
        return true;
    });
    return true;
}

bool CRouterStatusDlg::OnCommand(int commandId) {
    const bool handled = HandleCommand(commandId);
    ApplyTimers();
    return handled;
}

bool CRouterStatusDlg::HandleCommand(int commandId) {
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
    SpeakSettingsLanguage();
}

bool CRouterStatusDlg::SaveSettings(std::string* reason) {
    return velmo::SaveSettings(settings, settingsPath, reason);
}

}  // namespace velmo
