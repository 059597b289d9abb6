// The auto-disconnect confirmation (template 142) around the portable countdown.
#pragma once

#include <windows.h>

namespace velmo {

// Opens the confirmation beside `owner`, modeless, and returns its window
// (nullptr when it could not be made). When the user answers or the countdown
// runs out it posts its answer to `owner` (kConfirmAnswerMessage, IDOK or
// IDCANCEL in wParam) and goes; destroyed otherwise, it answers nothing.
HWND OpenAutoDisconnectConfirmDialog(HINSTANCE instance, HWND owner);

}  // namespace velmo
