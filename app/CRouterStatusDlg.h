// The main status window: owns every piece of run-time state of the tool and
// handles its messages. It never sees a window handle; every visible effect
// goes through the WindowHost port.
#pragma once

#include <cstdint>
#include <string>

#include "app/WindowHost.h"
#include "base/Clock.h"
#include "base/DateTime.h"
#include "settings/ToolSettings.h"

namespace velmo {

class CRouterStatusDlg {
public:
    // Construction: builds the settings path in the current directory and
    // loads the settings file.
    CRouterStatusDlg(WindowHost& host, Clock& clock);
    // Destruction writes the settings file, changed or not.
    ~CRouterStatusDlg();
    CRouterStatusDlg(const CRouterStatusDlg&) = delete;
    CRouterStatusDlg& operator=(const CRouterStatusDlg&) = delete;

    // Message handlers, called by the front end.
    bool OnInitDialog();
    void OnClose();                       // WM_CLOSE: the close sequence, then the dialog ends
    void OnOK() { OnClose(); }            // Enter
    void OnCancel() { OnClose(); }        // Esc
    void OnExit();                        // button 1005 and menu item 32774
    void OnTimer(int timerId);
    // WM_SYSCOMMAND: true when the command was the about item.
    bool OnSysCommand(unsigned commandId);
    // WM_COMMAND from buttons and menu items: true when handled here.
    bool OnCommand(int commandId);

    void RefreshAll();
    void ShowAutoDisconnectTime();
    void LoadSettings();
    bool SaveSettings();

    // The window caption: "Velmo tool ver. 1.10".
    static std::string Caption();

    const ToolSettings& settings() const { return settings_; }
    const std::string& settingsPath() const { return settingsPath_; }

private:
    WindowHost& host_;
    Clock& clock_;
    bool closeSequenceDone_ = false;

    // Fields in the order of the window's design.
    bool trayIconAdded = false;
    std::uint32_t trayIconId = 1;
    int dialCommandIndex = 10000;
    bool recordLogin = false;
    bool recordLogout = false;
    bool recordSubInfo = false;
    std::string routerAddress;
    std::string rootPassword;
    std::string settingsPath_;
    bool routerReachable = false;
    bool connected = false;
    bool followUpActive = false;
    bool accessWarning = false;
    DateTime lastDisconnectCheck;
    ToolSettings settings_;
};

}  // namespace velmo
