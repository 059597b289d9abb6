#include "win32/Win32TrayHost.h"

#include <shellapi.h>

#include <cwchar>

#include "base/Wide_win32.h"
#include "res/resource.h"

namespace velmo {

void Win32TrayHost::Notify(DWORD action, std::uint32_t iconId, int pictureId, const std::string& tooltip) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = iconId;
    if (action != NIM_DELETE) {
        data.uFlags = NIF_ICON | NIF_TIP | (action == NIM_ADD ? NIF_MESSAGE : 0);
        data.uCallbackMessage = WM_VELMO_TRAY;
        // The small-icon size, so the tray shows the 16x16 image at 100 % and
        // the 32x32 one at high DPI.
        data.hIcon = static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(pictureId), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                       GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
        std::wstring tip = SjisToWide(tooltip);
        std::wcsncpy(data.szTip, tip.c_str(), sizeof data.szTip / sizeof data.szTip[0] - 1);
    }
    // The shell's answer is not looked at: a failed call changes nothing here.
    Shell_NotifyIconW(action, &data);
}

void Win32TrayHost::Add(std::uint32_t iconId, int pictureId, const std::string& tooltip) {
    Notify(NIM_ADD, iconId, pictureId, tooltip);
}

void Win32TrayHost::Modify(std::uint32_t iconId, int pictureId, const std::string& tooltip) {
    Notify(NIM_MODIFY, iconId, pictureId, tooltip);
}

void Win32TrayHost::Delete(std::uint32_t iconId) {
    Notify(NIM_DELETE, iconId, 0, {});
}

}  // namespace velmo
