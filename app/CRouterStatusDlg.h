// The main status window: owns every piece of run-time state of the tool and
// handles its messages. It never sees a window handle; every visible effect
// goes through the WindowHost and TrayHost ports.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "app/Notifications.h"
#include "app/TrayHost.h"
#include "app/WindowHost.h"
#include "base/Clock.h"
#include "base/DateTime.h"
#include "router/RouterClient.h"
#include "settings/ToolSettings.h"

namespace velmo {

// Mouse messages the notification-area callback passes on.
enum class TrayMouse { LeftDown, RightDown, Other };

class CRouterStatusDlg {
  public:
    // Construction: builds the settings path in the current directory and
    // loads the settings file. Router requests are HTTP requests, or go
    // through `request` (tests).
    CRouterStatusDlg(WindowHost& host, TrayHost& tray, Clock& clock);
    CRouterStatusDlg(WindowHost& host, TrayHost& tray, Clock& clock, RequestFunction request);
    // Destruction writes the settings file, changed or not (unless the close
    // sequence already did), and cancels and waits for every worker still running.
    ~CRouterStatusDlg();
    CRouterStatusDlg(const CRouterStatusDlg&) = delete;
    CRouterStatusDlg& operator=(const CRouterStatusDlg&) = delete;

    // Message handlers, called by the front end.
    bool OnInitDialog();
    void OnClose();                 // WM_CLOSE: the close sequence, then the dialog ends
    void OnOK() { OnClose(); }      // Enter
    void OnCancel() { OnClose(); }  // Esc
    void OnExit();                  // button 1005 and menu item 32774
    void OnTimer(int timerId);
    // WM_SYSCOMMAND: true when the command was the about item.
    bool OnSysCommand(unsigned commandId);
    // WM_COMMAND from buttons and menu items: true when handled here.
    bool OnCommand(int commandId);
    void OnSizeMinimized();              // WM_SIZE with SIZE_MINIMIZED, after default processing
    void OnTrayNotify(TrayMouse mouse);  // the notification-area callback message
    void OnRightButtonUp();              // WM_RBUTTONUP in the client area
    void OnTaskbarCreated();             // the shell's notification area was rebuilt

    // Refresh.
    void RefreshAll();
    // `lateAge`: how old a page that came late may be and still serve (0: none).
    void ReadBanner(std::chrono::milliseconds lateAge = std::chrono::milliseconds(0));
    void ReadStatus(std::chrono::milliseconds lateAge = std::chrono::milliseconds(0));
    void BeginCommandFollowUp();

    // Auto-disconnect: the check that timer 6 runs, and field 1009.
    void CheckAutoDisconnect();
    void ShowAutoDisconnectTime();

    // Log capture and the settings sheet.
    void CaptureSystemLog();
    void OnSettings();

    // Commands.
    bool OnConnect();
    bool OnDisconnect();

    // Notification-area icon and window placement.
    void AddTrayIcon();
    void UpdateTrayIcon();
    void RemoveTrayIcon();
    void MinimizeWindow();
    void RestoreWindow();
    int TrayPicture() const;

    void LoadSettings();
    // False when the file could not be written, with the system's reason.
    bool SaveSettings(std::string* reason = nullptr);
    // The router client's address and password and the log filters, from `settings`.
    void CopyWorkingSettings();

    // The window caption: "Velmo tool ver. 1.10".
    static std::string Caption();

    // Read-only views of the window's state, for the tests.
    const ToolSettings& Settings() const { return settings; }
    const RouterClient& Router() const { return router; }
    const std::string& SettingsPath() const { return settingsPath; }
    bool RouterReachable() const { return routerReachable; }
    bool Connected() const { return connected; }
    bool FollowUpActive() const { return followUpActive; }
    bool AccessWarning() const { return accessWarning; }
    const NotificationState& Notifications() const { return notifications_; }

  private:
    void LoadFromCurrentDirectory();
    void ApplyPollRule();
    std::chrono::milliseconds LateAnswerAge(std::int32_t intervalMs) const;
    std::chrono::milliseconds PollLateAnswerAge() const;
    void HangUpAutomatically();
    void StartTimer(int timerId, std::int32_t milliseconds);
    // Shows `balloon` at the tray icon when its kind's switch is on.
    void Announce(const std::optional<Balloon>& balloon);

    // The window's state, in the order of its design; only the window's own
    // handlers change it.
    bool trayIconAdded = false;
    std::uint32_t trayIconId = 1;
    RouterClient router;  // worker list, command index, working address and password, tables
    bool recordLogin = false;
    bool recordLogout = false;
    bool recordSubInfo = false;
    std::string settingsPath;
    bool routerReachable = false;
    bool connected = false;
    bool followUpActive = false;
    bool accessWarning = false;
    DateTime lastDisconnectCheck;
    ToolSettings settings;

    WindowHost& host_;
    TrayHost& tray_;
    Clock& clock_;
    bool closeSequenceDone_ = false;
    bool confirmationOpen_ = false;        // the auto-disconnect question is up
    bool closeAfterConfirmation_ = false;  // a close came while it was
    NotificationState notifications_;      // what the balloons remember
    bool commandStarting_ = false;         // a command's own refresh runs, before its follow-up window opens
};

}  // namespace velmo
