// Drives VelmoTool.exe from outside, as a user would: starts it in a working
// directory, finds its window by caption, reads control texts, presses
// buttons, posts messages and waits for it to end. Runs under Wine.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace velmo::e2e {

// The main window's caption.
inline const wchar_t* const kMainCaption = L"Velmo tool ver. 1.10";

class ToolProcess {
  public:
    ToolProcess() = default;
    ~ToolProcess();
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    // Starts `exe` with `workDir` as its current directory.
    bool Start(const std::wstring& exe, const std::wstring& workDir);
    // Starts the tool under test in `workDir` and waits (30 s at most) for
    // its main window; nullptr when it does not show.
    HWND StartMainWindow(const std::wstring& workDir);
    // Presses the main window's 終了 button; true when the process ended
    // within 20 s.
    bool ExitWithButton(HWND window) const;
    // The first visible (or, with `visibleOnly` false, any) top-level window
    // of this process with `caption`, or nullptr after the time-out.
    HWND WaitForWindow(const std::wstring& caption, DWORD timeoutMs, bool visibleOnly = true) const;
    // True when the process ended within the time-out.
    bool WaitForExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;
    // Ends the process if it still runs (cleanup after a failed test).
    void Kill();

  private:
    PROCESS_INFORMATION info_{};
};

// Runs `exe` in `workDir` with `arguments` and waits up to `timeoutMs` for it
// to end: its exit code (STILL_ACTIVE when it did not end, and it is killed)
// and what it wrote to its standard output.
struct ToolRun {
    DWORD exitCode = STILL_ACTIVE;
    std::string output;
    DWORD milliseconds = 0;
};
ToolRun RunTool(const std::wstring& exe, const std::wstring& workDir, const std::wstring& arguments,
                DWORD timeoutMs);

std::wstring WindowText(HWND window);
std::wstring ControlText(HWND dialog, int controlId);
// Presses a button the way a click does: BN_CLICKED to its parent.
void ClickButton(HWND dialog, int controlId);
void Post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// The texts of every tooltip window on screen, of any process: the shell
// shows a notification-area balloon as one.
std::vector<std::wstring> ShownTooltipTexts();
// The first tooltip on screen whose text holds every one of `parts`; empty
// when none does.
std::wstring ShownBalloon(std::initializer_list<std::wstring> parts);

// Saves the whole screen (the Wine desktop) as a .bmp file.
bool SaveScreenshot(const std::wstring& path);
// How many pixels of `area` on the screen lie within `tolerance` of `color` in each channel.
int CountScreenPixels(const RECT& area, COLORREF color, int tolerance);

// File helpers working with wide names.
std::wstring MakeTempDirectory(const std::wstring& prefix);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool ReadBytes(const std::wstring& path, std::string& bytes);
// How often `part` occurs in `text` (occurrences may overlap).
int CountOccurrences(const std::string& text, const std::string& part);
// A Unix path from the build (/work/...) as Wine sees it (Z:\work\...).
std::wstring FromHostPath(const std::string& hostPath);
// A TCP port on 127.0.0.1 where nothing listens.
int ClosedLoopbackPort();

// The user's Startup folder (in the Wine prefix), and the full names of the
// shortcuts (.lnk) in it.
std::wstring StartupFolder();
std::vector<std::wstring> StartupShortcutFiles();
// What a shortcut starts, and in which folder; false when it does not read.
struct ShortcutInfo {
    std::wstring target;
    std::wstring workingFolder;
};
bool ReadShortcut(const std::wstring& path, ShortcutInfo& info);
// Two spellings of one file or folder (letter case, short or long form).
bool SamePath(const std::wstring& a, const std::wstring& b);

// A simulator's "127.0.0.1:port" from the variable scripts/with-routersim
// sets (VELMO_SIM_<name>); empty outside it.
std::string SimAddress(const char* variable);
// The local time `secondsAhead` from now as the settings file writes it.
std::string LocalTimeText(int secondsAhead);

// The tool under test (VELMO_TOOL_EXE) and where pictures go (VELMO_E2E_ARTIFACTS).
std::wstring ToolExe();
std::wstring ArtifactPath(const std::wstring& name);
// UTF-8 source text as the window shows it.
std::wstring Wide(const char* utf8);
// Polls `condition` every 100 ms until it holds or `timeoutMs` has passed.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        Sleep(100);
    }
    return true;
}

}  // namespace velmo::e2e
