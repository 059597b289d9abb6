// The auto-disconnect confirmation (template 142) around the portable countdown.
#pragma once

#include <windows.h>

namespace velmo {

// Runs the confirmation modally, owned by `owner`; IDOK or IDCANCEL. While it
// is open, `*openWindow` (when given) holds its window, else nullptr.
int RunAutoDisconnectConfirmDialog(HINSTANCE instance, HWND owner, HWND* openWindow = nullptr);

// Ends the open confirmation `window` as Cancel would.
void CancelAutoDisconnectConfirmDialog(HWND window);

}  // namespace velmo
