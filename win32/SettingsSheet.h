// The settings sheet "設定" (pages 138 "一般", 140 "ログ", 141 "自動切断")
// around the portable page logic.
#pragma once

#include <windows.h>

#include "base/Clock.h"
#include "settings/SettingsPages.h"

namespace velmo {

// Runs the sheet modally, owned by `owner` (which it disables while open), on
// `pages`; true when the user confirmed it with OK.
bool RunSettingsSheet(HINSTANCE instance, HWND owner, SettingsPages& pages, Clock& clock);

}  // namespace velmo
