// A message with an OK button that leaves its owner free: MessageBoxW would
// run a loop of its own until it is answered, and hold the window there.
#pragma once

#include <windows.h>

#include <string>

namespace velmo {

// Opens `text` under `caption` beside `owner`, in the owner's font, and
// returns its window (nullptr when it could not be made). OK, Esc or the close
// box closes it.
HWND OpenMessageWindow(HINSTANCE instance, HWND owner, const std::wstring& caption, const std::wstring& text);

}  // namespace velmo
