// The settings sheet "設定" (pages 138 "一般", 140 "ログ", 141 "自動切断",
// 143 "通知") around the portable page logic.
#pragma once

#include <windows.h>

#include "base/Clock.h"
#include "settings/SettingsPages.h"

namespace velmo {

// Runs the sheet modally, owned by `owner` (which it disables while open), on
// `pages`; true when the user confirmed it with OK. "Windows の起動時に開始する"
// starts from the Startup shortcut, and on OK the shortcut is made or removed
// when the box changed (a failure is told in a message box).
bool RunSettingsSheet(HINSTANCE instance, HWND owner, SettingsPages& pages, Clock& clock);

}  // namespace velmo
