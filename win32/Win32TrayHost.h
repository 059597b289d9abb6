// The notification-area icon through Shell_NotifyIconW.
#pragma once

#include <windows.h>

#include "app/TrayHost.h"

namespace velmo {

class Win32TrayHost final : public TrayHost {
  public:
    explicit Win32TrayHost(HINSTANCE instance) : instance_(instance) {}
    // The window that receives the callback message.
    void Attach(HWND window) { window_ = window; }

    void Add(std::uint32_t iconId, int pictureId, const std::string& tooltip) override;
    void Modify(std::uint32_t iconId, int pictureId, const std::string& tooltip) override;
    void Delete(std::uint32_t iconId) override;
    void ShowBalloon(std::uint32_t iconId, BalloonIcon icon, const std::string& title,
                     const std::string& text) override;
    // SystemUsesLightTheme under HKCU's Themes\Personalize key (not
    // AppsUseLightTheme: that one is for the windows of apps, the taskbar
    // follows the system's); Unknown where the value is missing.
    TaskbarTheme CurrentTaskbarTheme() override;

  private:
    void Notify(DWORD action, std::uint32_t iconId, int pictureId, const std::string& tooltip);

    HINSTANCE instance_;
    HWND window_ = nullptr;
};

}  // namespace velmo
