// The notification-area icon, the popup menu and hiding into the tray.
#include "app/CRouterStatusDlg.h"
#include "base/SjisText.h"
#include "res/resource.h"

namespace velmo {

namespace {

// The tooltip is the caption read into a 63-byte buffer: at most 62 bytes.
constexpr std::size_t kTooltipBytes = 62;

std::string Tooltip() {
    return std::string(SjisTruncate(CRouterStatusDlg::Caption(), kTooltipBytes));
}

}  // namespace

int CRouterStatusDlg::TrayPicture() const {
    if (accessWarning) {
        return IDI_ACCESS_WARNING;
    }
    if (!routerReachable) {
        return IDI_NOT_REACHABLE;
    }
    return connected ? IDI_LINE_UP : IDI_LINE_DOWN;
}

void CRouterStatusDlg::AddTrayIcon() {
    if (trayIconAdded) {
        return;
    }
    tray_.Add(trayIconId, IDI_NOT_REACHABLE, Tooltip());
    trayIconAdded = true;  // whatever the shell answered
}

void CRouterStatusDlg::UpdateTrayIcon() {
    if (trayIconAdded) {
        tray_.Modify(trayIconId, TrayPicture(), Tooltip());
    }
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
        tray_.Add(trayIconId, TrayPicture(), Tooltip());
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
    if (!host_.IsEnabled()) {
        // A modal window of the tool is up: show it, and nothing else.
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
        host_.ShowTrayMenu();
    }
}

void CRouterStatusDlg::OnRightButtonUp() {
    if (host_.IsEnabled()) {
        host_.ShowTrayMenu();
    }
}

}  // namespace velmo
