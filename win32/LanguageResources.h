// The dialog templates and the tray menu in the language the tool speaks now.
// res/VelmoTool.rc holds each in Japanese and res/VelmoTool.en.rc in English,
// under the same ids; the language is chosen here, not by the thread's UI
// language (which Wine does not apply to resources reliably).
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>

namespace velmo {

// The bytes of resource `id` of `type` in the language the string table
// speaks now, or the Japanese one when that language has none; empty when
// there is neither. The bytes live as long as the module.
std::span<const std::byte> LanguageResource(HINSTANCE instance, LPCWSTR type, int id);

// Dialog template `id` as above, for the ...Indirect functions; nullptr when
// there is none.
const DLGTEMPLATE* LanguageDialog(HINSTANCE instance, int id);

// Menu `id` as above, loaded; the caller destroys it.
HMENU LoadLanguageMenu(HINSTANCE instance, int id);

}  // namespace velmo
