// One running instance per settings folder. A second start from the folder
// of a running instance (same settings file, same log file) brings that one's
// window to the front and ends, so that two copies never poll, capture into
// the same log file and overwrite each other's settings at exit. Starts from
// other folders run side by side.
#pragma once

#include <windows.h>

#include <string>

#include "app/CRouterStatusDlg.h"
#include "win32/Win32WindowHost.h"

namespace velmo {

// What the running instance's window answers a second start's request.
enum class InstanceAnswer : LRESULT {
    Refused = 0,   // closing (its close sequence has begun), or a request that is none of ours
    Done = 1,      // the window came up (or comes up as its start-up shows it), or the command was taken
    Starting = 2,  // a command to a tool whose main window is not up yet: ask again in a moment
};
// How long a second start waits between two requests to a starting instance.
inline constexpr DWORD kStartingRetryMs = 100;

// The instance name of the current directory, the settings file's folder.
std::string CurrentFolderInstanceKey();

// The folder's claim: a named mutex, owned by the instance that runs there
// from before its settings are read until after they are written at exit.
class InstanceClaim {
  public:
    explicit InstanceClaim(const std::string& key);
    ~InstanceClaim();
    InstanceClaim(const InstanceClaim&) = delete;
    InstanceClaim& operator=(const InstanceClaim&) = delete;

    bool Owned() const { return owned_; }
    // Waits up to `timeoutMs` for the running instance to end; true when the
    // folder is this process's now.
    bool WaitForOwnership(DWORD timeoutMs);

  private:
    HANDLE mutex_ = nullptr;
    bool owned_ = false;
};

// The running instance's side: a message-only window named after the key
// that, asked by a second start, brings the main window up as a left click
// on the notification-area icon would (restored from there, or the open
// dialog to the front), and takes the commands a second start hands over
// (win32/CommandForwarding). It is made just after the claim, before the main
// window: until Serve a command is answered Starting; once the main window's
// close sequence has begun, and after Close, every request is refused.
class InstanceWindow {
  public:
    InstanceWindow(HINSTANCE instance, const std::string& key, Win32WindowHost& host);
    ~InstanceWindow();
    InstanceWindow(const InstanceWindow&) = delete;
    InstanceWindow& operator=(const InstanceWindow&) = delete;

    // The main window is up (shown, or hidden in the notification area as the
    // settings say) and carries out handed-over commands from now on.
    void Serve(CRouterStatusDlg& dialog) {
        context_.dialog = &dialog;
        context_.servingSince = GetTickCount64();
        context_.phase = Phase::Serving;
    }
    // The main window has gone (its object may go too): every request is refused.
    void Close() {
        context_.dialog = nullptr;
        context_.phase = Phase::Closed;
    }

    enum class Phase { Starting, Serving, Closed };
    struct Context {
        Win32WindowHost* host = nullptr;
        CRouterStatusDlg* dialog = nullptr;
        Phase phase = Phase::Starting;
        ULONGLONG servingSince = 0;  // the tick at which the window was up
    };

  private:
    Context context_;
    HWND window_ = nullptr;
};

// The running instance's window for `key`, waited for a little (it is made
// just after the claim); nullptr when there is none.
HWND FindRunningInstance(const std::string& key);

// The tick (GetTickCount64) at which this process was started.
ULONGLONG ProcessStartTick();

// The second start's side: asks the instance of `key` to come to the front.
// `startedAt` is this start's ProcessStartTick: a start launched before the
// instance's window was up came at the same moment as it (a double click
// twice), and has nothing to bring up. True when the instance came up, or
// had nothing to bring up; false when there is none or it is closing (its
// main window has gone) or it did not answer within `timeoutMs`.
bool ActivateRunningInstance(const std::string& key, ULONGLONG startedAt, DWORD timeoutMs);

}  // namespace velmo
