// The main window's host on Win32: turns the core's requests into Win32 calls
// on the dialog's window handle.
#pragma once

#include <windows.h>

#include "app/WindowHost.h"
#include "base/Clock.h"
#include "win32/HistoryWindow.h"
#include "win32/LogViewWindow.h"
#include "win32/ModelessDialogs.h"

namespace velmo {

class Win32WindowHost final : public WindowHost {
  public:
    // `clock` is the app's: the settings sheet's "今の時間を設定" reads it.
    Win32WindowHost(HINSTANCE instance, Clock& clock) : instance_(instance), clock_(clock) {}
    ~Win32WindowHost() override;
    Win32WindowHost(const Win32WindowHost&) = delete;
    Win32WindowHost& operator=(const Win32WindowHost&) = delete;

    // The dialog's handle, known from WM_INITDIALOG on.
    void Attach(HWND window) { window_ = window; }
    HWND window() const { return window_; }
    HICON appIcon();
    // True while the window is hidden in the notification area: a request to
    // show it from anywhere but RestoreWindow is to be refused.
    bool KeepsHidden() const { return keepHidden_; }

    void AddAboutItemToSystemMenu(const std::string& text) override;
    void AddSystemMenuItem(unsigned commandId, const std::string& text) override;
    void ShowLanguage() override;
    unsigned DisplayLanguageId() override { return GetUserDefaultUILanguage(); }
    void SetWindowIcons() override;
    void SetCaption(const std::string& text) override;
    void CenterWindow() override;
    void SetFieldText(int controlId, const std::string& text) override;
    void StartTimer(int timerId, std::uint32_t milliseconds) override;
    void StopTimer(int timerId) override;
    void ShowMessage(const std::string& caption, const std::string& text) override;
    void SetMinimizedPlacement() override;
    void SetRestoredPlacement() override;
    bool IsMinimized() override;
    void Hide() override;
    void BringToForeground() override;
    void PostMinimizedSize() override;
    void PostJobDone() override;
    void PostClose() override;
    void EndDialog(int result) override;
    void RunAboutBox() override;
    int RunSettingsSheet(SettingsPages& pages) override;
    void OpenAutoDisconnectConfirm() override;
    bool IsEnabled() override;
    void BringLastActivePopupToFront() override;
    void ShowTrayMenu(bool muted) override;
    void ShowHistory(const HistoryView& view, const std::string& recordPath) override;
    void ShowLogView(const std::string& archivePath,
                     std::function<void(const std::string& source)> ignoreSource) override;

  private:
    void SetShowCommand(UINT showCommand);

    HINSTANCE instance_;
    Clock& clock_;
    HWND window_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    bool keepHidden_ = false;
    HFONT languageFont_ = nullptr;  // the window's font after a change of language, when not its own
    HistoryWindow history_{instance_};
    LogViewWindow logView_{instance_};
    ModelessDialogs modeless_;  // the question and the messages
};

}  // namespace velmo
