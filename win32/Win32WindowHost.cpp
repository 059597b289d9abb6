#include "win32/Win32WindowHost.h"

#include "base/Wide_win32.h"
#include "res/resource.h"
#include "win32/AboutBox.h"
#include "win32/ConfirmDialog.h"
#include "win32/DialogLayout.h"
#include "win32/DialogTemplate.h"
#include "win32/LanguageResources.h"
#include "win32/MessageWindow.h"
#include "win32/Messages.h"
#include "win32/SettingsSheet.h"

namespace velmo {

Win32WindowHost::~Win32WindowHost() {
    if (languageFont_ != nullptr) {
        DeleteObject(languageFont_);
    }
}

HICON Win32WindowHost::appIcon() {
    if (bigIcon_ == nullptr) {
        bigIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                                 LR_DEFAULTCOLOR | LR_SHARED));
    }
    return bigIcon_;
}

void Win32WindowHost::AddAboutItemToSystemMenu(const std::string& text) {
    HMENU systemMenu = GetSystemMenu(window_, FALSE);
    if (systemMenu == nullptr) {
        return;
    }
    if (GetMenuState(systemMenu, IDM_ABOUTBOX, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
        ModifyMenuW(systemMenu, IDM_ABOUTBOX, MF_BYCOMMAND | MF_STRING, IDM_ABOUTBOX,
                    SjisToWide(text).c_str());
        return;
    }
    DeleteMenu(systemMenu, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(systemMenu, SC_SIZE, MF_BYCOMMAND);
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, SjisToWide(text).c_str());
}

void Win32WindowHost::AddSystemMenuItem(unsigned commandId, const std::string& text) {
    HMENU systemMenu = GetSystemMenu(window_, FALSE);
    if (systemMenu == nullptr) {
        return;
    }
    if (GetMenuState(systemMenu, commandId, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
        ModifyMenuW(systemMenu, commandId, MF_BYCOMMAND | MF_STRING, commandId, SjisToWide(text).c_str());
    } else {
        AppendMenuW(systemMenu, MF_STRING, commandId, SjisToWide(text).c_str());
    }
}

void Win32WindowHost::ShowLanguage() {
    if (window_ != nullptr) {
        if (const auto layout =
                ReadDialogTemplate(LanguageResource(instance_, RT_DIALOG, IDD_ROUTERSTATUS))) {
            TakeDialogLayout(window_, *layout, languageFont_);
        }
    }
    history_.ShowLanguage();
    logView_.ShowLanguage();
}

void Win32WindowHost::SetWindowIcons() {
    if (smallIcon_ == nullptr) {
        smallIcon_ = static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                       GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
    }
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon()));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void Win32WindowHost::SetCaption(const std::string& text) {
    SetWindowTextW(window_, SjisToWide(text).c_str());
}

void Win32WindowHost::CenterWindow() {
    RECT window{};
    GetWindowRect(window_, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32WindowHost::SetFieldText(int controlId, const std::string& text) {
    SetDlgItemTextW(window_, controlId, SjisToWide(text).c_str());
}

void Win32WindowHost::StartTimer(int timerId, std::uint32_t milliseconds) {
    SetTimer(window_, static_cast<UINT_PTR>(timerId), milliseconds, nullptr);
}

void Win32WindowHost::StopTimer(int timerId) {
    KillTimer(window_, static_cast<UINT_PTR>(timerId));
}

void Win32WindowHost::ShowMessage(const std::string& caption, const std::string& text) {
    modeless_.Add(OpenMessageWindow(instance_, window_, SjisToWide(caption), SjisToWide(text)));
}

void Win32WindowHost::SetShowCommand(UINT showCommand) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window_, &placement);
    placement.showCmd = showCommand;
    SetWindowPlacement(window_, &placement);
}

void Win32WindowHost::SetMinimizedPlacement() {
    SetShowCommand(SW_MINIMIZE);
}

void Win32WindowHost::SetRestoredPlacement() {
    keepHidden_ = false;
    SetShowCommand(SW_RESTORE);
}

bool Win32WindowHost::IsMinimized() {
    // A window hidden in the notification area counts as minimised, iconic
    // or not (the one hidden at start-up is not).
    return IsIconic(window_) != FALSE || IsWindowVisible(window_) == FALSE;
}

void Win32WindowHost::Hide() {
    // Until the window is restored through the tool itself, nothing may show
    // it again: the modal dialog loop shows a hidden dialog on its own once it
    // first runs idle, which would undo the hiding at start-up.
    keepHidden_ = true;
    ShowWindow(window_, SW_HIDE);
}

void Win32WindowHost::BringToForeground() {
    SetForegroundWindow(window_);
}

void Win32WindowHost::PostMinimizedSize() {
    PostMessageW(window_, WM_SIZE, SIZE_MINIMIZED, 0);
}

void Win32WindowHost::PostJobDone() {
    PostMessageW(window_, kJobDoneMessage, 0, 0);
}

void Win32WindowHost::PostClose() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
}

void Win32WindowHost::EndDialog(int result) {
    // The 接続履歴 window, the question and the messages go with the main
    // window: no message loop is left to serve them. An answer the question
    // posted that has not been handled yet goes too.
    history_.Close();
    modeless_.DestroyAll();
    MSG answer;
    while (PeekMessageW(&answer, window_, kConfirmAnswerMessage, kConfirmAnswerMessage, PM_REMOVE)) {
    }
    ::EndDialog(window_, result);
}

void Win32WindowHost::RunAboutBox() {
    RunAboutBoxDialog(instance_, window_);
}

int Win32WindowHost::RunSettingsSheet(SettingsPages& pages) {
    return velmo::RunSettingsSheet(instance_, window_, pages, clock_) ? IDOK : IDCANCEL;
}

void Win32WindowHost::OpenAutoDisconnectConfirm() {
    modeless_.Add(OpenAutoDisconnectConfirmDialog(instance_, window_));
}

bool Win32WindowHost::IsEnabled() {
    return IsWindowEnabled(window_) != FALSE;
}

void Win32WindowHost::BringLastActivePopupToFront() {
    SetForegroundWindow(GetLastActivePopup(window_));
}

void Win32WindowHost::ShowTrayMenu(bool muted) {
    HMENU menu = LoadLanguageMenu(instance_, IDR_TRAYMENU);
    if (menu == nullptr) {
        return;
    }
    EnableMenuItem(menu, ID_MENU_MUTE_RESUME, MF_BYCOMMAND | (muted ? MF_ENABLED : MF_GRAYED));
    POINT pointer{};
    GetCursorPos(&pointer);
    SetForegroundWindow(window_);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, pointer.x, pointer.y, 0, window_,
                   nullptr);
    // The menu closes properly only when the window gets a message after it.
    PostMessageW(window_, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

void Win32WindowHost::ShowHistory(const HistoryView& view, const std::string& recordPath) {
    history_.Show(view, recordPath);
}

void Win32WindowHost::ShowLogView(const std::string& archivePath,
                                  std::function<void(const std::string& source)> ignoreSource) {
    logView_.Show(archivePath, std::move(ignoreSource));
}

}  // namespace velmo
