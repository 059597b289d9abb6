#include "win32/Win32TrayHost.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "base/Wide_win32.h"
#include "res/resource.h"
#include "win32/Messages.h"

namespace velmo {

namespace {

// Copies `text` into a fixed buffer of `capacity` wide characters (the
// terminator included), cut where a character ends: a surrogate pair is
// never split.
template <std::size_t capacity>
void CopyCut(wchar_t (&buffer)[capacity], const std::wstring& text) {
    std::size_t length = std::min(text.size(), capacity - 1);
    if (length < text.size() && length > 0 && IS_HIGH_SURROGATE(text[length - 1])) {
        --length;
    }
    std::wmemcpy(buffer, text.data(), length);
    buffer[length] = L'\0';
}

DWORD InfoFlags(BalloonIcon icon) {
    switch (icon) {
        case BalloonIcon::Warning:
            return NIIF_WARNING;
        case BalloonIcon::Error:
            return NIIF_ERROR;
        default:
            return NIIF_INFO;
    }
}

}  // namespace

void Win32TrayHost::Notify(DWORD action, std::uint32_t iconId, int pictureId, const std::string& tooltip) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = iconId;
    if (action != NIM_DELETE) {
        data.uFlags = NIF_ICON | NIF_TIP | (action == NIM_ADD ? NIF_MESSAGE : 0);
        data.uCallbackMessage = kTrayMessage;
        // The small-icon size, so the tray shows the 16x16 image at 100 % and
        // the 32x32 one at high DPI.
        data.hIcon = static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(pictureId), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                       GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
        CopyCut(data.szTip, SjisToWide(tooltip));
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

// NIF_INFO on the icon: the shell shows the balloon and removes it by itself;
// the call returns at once and no window of the tool takes the focus.
void Win32TrayHost::ShowBalloon(std::uint32_t iconId, BalloonIcon icon, const std::string& title,
                                const std::string& text) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = iconId;
    data.uFlags = NIF_INFO;
    // Windows' quiet hours (Focus Assist, do not disturb) hold the balloon back.
    data.dwInfoFlags = InfoFlags(icon) | NIIF_RESPECT_QUIET_TIME;
    CopyCut(data.szInfoTitle, SjisToWide(title));
    CopyCut(data.szInfo, SjisToWide(text));
    // As with the icon, a balloon the shell refuses changes nothing here.
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

TaskbarTheme Win32TrayHost::CurrentTaskbarTheme() {
    DWORD light = 0;
    DWORD size = sizeof light;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                     L"SystemUsesLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size) != ERROR_SUCCESS) {
        return TaskbarTheme::Unknown;
    }
    return light != 0 ? TaskbarTheme::Light : TaskbarTheme::Dark;
}

}  // namespace velmo
