// Entry point of VelmoTool.exe.
#include <windows.h>
#include <commctrl.h>

#include "app/CRouterToolApp.h"
#include "base/Clock.h"
#include "win32/MainDialog.h"
#include "win32/SingleInstance.h"
#include "win32/Win32TrayHost.h"
#include "win32/Win32WindowHost.h"

namespace {

// How long a second start waits for the running instance of its folder to
// answer, and, when that one is closing, for it to have written its settings.
constexpr DWORD kActivateTimeoutMs = 15000;
constexpr DWORD kClosingTimeoutMs = 60000;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // One instance per settings folder: a second start brings the running
    // one to the front and ends before it reads the settings. If the running
    // one is just closing, this start waits until it has saved and gone.
    const std::string key = velmo::CurrentFolderInstanceKey();
    velmo::InstanceClaim claim(key);
    if (!claim.Owned() && (velmo::ActivateRunningInstance(key, kActivateTimeoutMs) ||
                           !claim.WaitForOwnership(kClosingTimeoutMs))) {
        return 0;
    }

    // The common controls (date-time pickers, property sheets) and the
    // visual styles of the manifest.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);

    velmo::Clock& clock = velmo::SystemClock();
    velmo::Win32WindowHost host(instance, clock);
    velmo::Win32TrayHost tray(instance);
    velmo::InstanceWindow instanceWindow(instance, key, host);
    velmo::CRouterToolApp app;
    app.InitInstance(host, tray, clock, [&](velmo::CRouterStatusDlg& dialog) {
        velmo::RunMainDialog(instance, host, tray, dialog);
    });
    if (!app.JobsEnded()) {
        // A worker is stuck where nothing can interrupt it (name resolution).
        // The settings are saved and the log file's write is safe at any
        // moment, so the process ends now rather than wait for it or let it
        // run on while the program's statics are destroyed.
        TerminateProcess(GetCurrentProcess(), 0);
    }
    return 0;
}
