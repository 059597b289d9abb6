// Entry point of VelmoTool.exe.
#include <windows.h>
#include <commctrl.h>

#include "app/CRouterToolApp.h"
#include "base/Clock.h"
#include "win32/MainDialog.h"
#include "win32/Win32TrayHost.h"
#include "win32/Win32WindowHost.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The common controls (date-time pickers, property sheets) and the
    // visual styles of the manifest.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);

    velmo::Clock& clock = velmo::SystemClock();
    velmo::Win32WindowHost host(instance, clock);
    velmo::Win32TrayHost tray(instance);
    velmo::CRouterToolApp app;
    app.InitInstance(host, tray, clock, [&](velmo::CRouterStatusDlg& dialog) {
        velmo::RunMainDialog(instance, host, tray, dialog);
    });
    return 0;
}
