// The notification-area icon, the popup menu and hiding into the tray.
#include "app/CRouterStatusDlg.h"
#include "app/NotifyMute.h"
#include "app/TrayTheme.h"
#include "base/SjisText.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

namespace {

// The tooltip is the caption read into a 63-byte buffer: at most 62 bytes.
constexpr std::size_t kTooltipBytes = 62;

// The caption, and while the log file or the record cannot be written a note
// that says so (the caption and one note fit the buffer; a second is cut). While balloons are muted the
// tooltip ends in the mute's note: what comes before it is cut to leave it room.
std::string Tooltip(bool logFileFailing, bool recordFailing, const std::string& muteNote) {
    std::string tip = CRouterStatusDlg::Caption();
    if (logFileFailing) {
        tip += TableString(IDS_TOOLTIP_LOG_FAILING);
    }
    if (recordFailing) {
        tip += TableString(IDS_TOOLTIP_HISTORY_FAILING);
    }
    return std::string(SjisTruncate(tip, kTooltipBytes - muteNote.size())) + muteNote;
}

}  // namespace

int CRouterStatusDlg::TrayPicture() const {
    int picture = line_.shownUp ? IDI_LINE_UP : IDI_LINE_DOWN;
    if (accessWarning) {
        picture = IDI_ACCESS_WARNING;
    } else if (!routerReachable) {
        picture = IDI_NOT_REACHABLE;
    }
    return ThemedTrayPicture(picture, taskbarTheme_);
}

std::string CRouterStatusDlg::TrayTooltip() {
    return Tooltip(notifications_.logFileFailing, !recordFailure_.empty(),
                   MuteNote(settings.NotifyMuteUntil, clock_.Now()));
}

void CRouterStatusDlg::AddTrayIcon() {
    if (trayIconAdded) {
        return;
    }
    tray_.Add(trayIconId, ThemedTrayPicture(IDI_NOT_REACHABLE, taskbarTheme_), TrayTooltip());
    trayIconAdded = true;  // whatever the shell answered
}

void CRouterStatusDlg::UpdateTrayIcon() {
    if (trayIconAdded) {
        tray_.Modify(trayIconId, TrayPicture(), TrayTooltip());
    }
}

// The taskbar changed colours: the set is picked again.
void CRouterStatusDlg::OnTaskbarThemeChanged() {
    taskbarTheme_ = tray_.CurrentTaskbarTheme();
    UpdateTrayIcon();
}

void CRouterStatusDlg::Announce(const std::optional<Balloon>& balloon) {
    if (!balloon || !trayIconAdded) {
        return;
    }
    // The log file's balloon has no switch: it reports captured text that was lost.
    if ((balloon->kind == BalloonKind::Access && !settings.NotifyAccess) ||
        (balloon->kind == BalloonKind::Line && !settings.NotifyLine)) {
        return;
    }
    // A mute from the tray menu holds back every balloon; what they report is still recorded.
    if (Muted(settings.NotifyMuteUntil, clock_.Now())) {
        return;
    }
    tray_.ShowBalloon(trayIconId, balloon->icon, TableString(IDS_APPNAME), balloon->text);
}

void CRouterStatusDlg::RemoveTrayIcon() {
    if (trayIconAdded) {
        tray_.Delete(trayIconId);
        trayIconAdded = false;
    }
}

// After Explorer restarts the notification area has forgotten the icon: add
// it again with the picture of the present state.
void CRouterStatusDlg::OnTaskbarCreated() {
    if (trayIconAdded) {
        tray_.Add(trayIconId, TrayPicture(), TrayTooltip());
    }
}

void CRouterStatusDlg::MinimizeWindow() {
    host_.SetMinimizedPlacement();
}

void CRouterStatusDlg::RestoreWindow() {
    host_.SetRestoredPlacement();
    host_.BringToForeground();
}

void CRouterStatusDlg::OnSizeMinimized() {
    host_.Hide();  // no taskbar button: the window comes back through the icon
    AddTrayIcon();
}

void CRouterStatusDlg::OnTrayNotify(TrayMouse mouse) {
    if (mouse == TrayMouse::Other) {
        return;  // moves, releases and double clicks
    }
    if (!host_.IsEnabled() || questionOpen_) {
        // A modal window of the tool or the question is up: show it, and nothing else.
        host_.BringLastActivePopupToFront();
        return;
    }
    if (mouse == TrayMouse::LeftDown) {
        if (host_.IsMinimized()) {
            RestoreWindow();
        } else {
            MinimizeWindow();
        }
    } else {
        host_.ShowTrayMenu(Muted(settings.NotifyMuteUntil, clock_.Now()));
    }
}

void CRouterStatusDlg::OnRightButtonUp() {
    if (host_.IsEnabled()) {
        host_.ShowTrayMenu(Muted(settings.NotifyMuteUntil, clock_.Now()));
    }
}

}  // namespace velmo
