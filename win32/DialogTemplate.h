// Reads an extended dialog template (a DIALOGEX of the resource script): its
// size, font and controls, in dialog units, as the dialog manager would
// create them. The main window takes these from its template in another
// language when the language changes while it is open.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmo {

// A place in dialog units: the corner and the size, each turned into pixels
// on its own, as the dialog manager does (not the far corner).
struct DialogUnitBox {
    LONG x = 0;
    LONG y = 0;
    LONG cx = 0;
    LONG cy = 0;
};

struct DialogTemplateItem {
    int id = 0;  // the low word: IDC_STATIC reads as 0xFFFF
    DWORD style = 0;
    DialogUnitBox box;
    WORD classAtom = 0;    // 0x0080 button, 0x0081 edit, 0x0082 static, ...; 0 for a class given by name
    bool hasText = false;  // false: no title, or a resource number (an icon's)
    std::wstring text;
};

struct DialogTemplateFont {
    WORD points = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::wstring face;
};

struct DialogTemplateInfo {
    DWORD style = 0;
    DialogUnitBox box;  // the client area's size in cx, cy
    std::optional<DialogTemplateFont> font;
    std::vector<DialogTemplateItem> items;
};

// Nothing for bytes that are not a whole extended template.
std::optional<DialogTemplateInfo> ReadDialogTemplate(std::span<const std::byte> bytes);

}  // namespace velmo
