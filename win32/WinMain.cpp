// Entry point of VelmoTool.exe.
#include <windows.h>
#include <commctrl.h>

#include "app/CRouterToolApp.h"
#include "app/CommandOnce.h"
#include "base/Clock.h"
#include "win32/CommandForwarding.h"
#include "win32/MainDialog.h"
#include "win32/SingleInstance.h"
#include "win32/Win32TrayHost.h"
#include "win32/Win32WindowHost.h"

namespace {

// How long a second start waits for the running instance of its folder to
// answer, and, when that one is closing, for it to have written its settings.
constexpr DWORD kActivateTimeoutMs = 15000;
constexpr DWORD kClosingTimeoutMs = 60000;
// How long a command start waits for the running instance's result.
constexpr DWORD kCommandTimeoutMs = 30000;

// A start with a command: handed to the instance running for this folder,
// or, with none, run once without a window while this start holds the claim
// (a start in between waits for it). Prints one line; returns the exit code.
int RunCommandStart(const velmo::CommandLine& line, const std::string& key, velmo::InstanceClaim& claim) {
    using velmo::Outcome;
    std::optional<velmo::CommandResult> result;
    if (!claim.Owned()) {
        result = velmo::ForwardCommand(key, line.command, kCommandTimeoutMs);
        if (!result && !claim.WaitForOwnership(kClosingTimeoutMs)) {
            result = velmo::CommandResult{Outcome::NoAnswer, 0};
        }
    }
    if (!result) {
        const bool windowNeeded = line.command == velmo::ToolCommand::Exit ||
                                  line.command == velmo::ToolCommand::Refresh || line.runningOnly;
        result = windowNeeded ? velmo::CommandResult{Outcome::NotRunning, 0}
                              : velmo::RunCommandOnceHere(line.command, velmo::SystemClock());
    }
    velmo::PrintText(velmo::ResultLine(*result) + "\r\n");
    return velmo::ExitCode(line.command, *result);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const velmo::CommandLine line = velmo::ParseCommandLine(velmo::CommandArguments());
    if (!line.error.empty() || line.command == velmo::ToolCommand::Help) {
        velmo::PrintText(line.error.empty() ? velmo::UsageText() : line.error + "\r\n" + velmo::UsageText());
        return line.error.empty() ? 0 : velmo::kBadArgumentsExit;
    }
    // One instance per settings folder: a second start brings the running
    // one to the front and ends before it reads the settings. If the running
    // one is just closing, this start waits until it has saved and gone.
    const std::string key = velmo::CurrentFolderInstanceKey();
    velmo::InstanceClaim claim(key);
    if (line.command != velmo::ToolCommand::None) {
        return RunCommandStart(line, key, claim);
    }
    if (!claim.Owned() &&
        (velmo::ActivateRunningInstance(key, velmo::ProcessStartTick(), kActivateTimeoutMs) ||
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
        velmo::RunMainDialog(instance, host, tray, dialog, [&] { instanceWindow.Serve(dialog); });
        instanceWindow.Close();
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
