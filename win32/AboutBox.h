// The about box: template 100, texts from the string table.
#pragma once

#include <windows.h>

namespace velmo {

void RunAboutBoxDialog(HINSTANCE instance, HWND owner);

}  // namespace velmo
