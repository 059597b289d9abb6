// The auto-disconnect confirmation (template 142) around the portable countdown.
#pragma once

#include <windows.h>

namespace velmo {

// Runs the confirmation modally, owned by `owner`; IDOK or IDCANCEL.
int RunAutoDisconnectConfirmDialog(HINSTANCE instance, HWND owner);

}  // namespace velmo
