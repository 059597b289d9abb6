// Runs the main status window as a modal dialog from template 102, in the
// language the tool speaks, and routes its messages to the core.
#pragma once

#include <windows.h>

#include <functional>

#include "app/CRouterStatusDlg.h"
#include "win32/Win32TrayHost.h"
#include "win32/Win32WindowHost.h"

namespace velmo {

// `started` is called once the window is up: shown, or hidden in the
// notification area when the settings say so.
void RunMainDialog(HINSTANCE instance, Win32WindowHost& host, Win32TrayHost& tray, CRouterStatusDlg& dialog,
                   const std::function<void()>& started);

}  // namespace velmo
