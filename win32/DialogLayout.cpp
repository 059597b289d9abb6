#include "win32/DialogLayout.h"

#include <optional>

#include "win32/OwnWindow.h"

namespace velmo {

namespace {

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;

// The font the dialog manager makes of a template's font.
LOGFONTW TemplateFont(HWND dialog, const DialogTemplateFont& font) {
    LOGFONTW wanted{};
    wanted.lfHeight = -MulDiv(font.points, static_cast<int>(WindowDpi(dialog)), 72);
    wanted.lfWeight = font.weight;
    wanted.lfItalic = font.italic;
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, font.face.c_str(), LF_FACESIZE);
    return wanted;
}

bool SameFont(HFONT font, const LOGFONTW& wanted) {
    LOGFONTW has{};
    return font != nullptr && GetObjectW(font, sizeof has, &has) == sizeof has &&
           has.lfHeight == wanted.lfHeight && has.lfWeight == wanted.lfWeight &&
           has.lfItalic == wanted.lfItalic && lstrcmpiW(has.lfFaceName, wanted.lfFaceName) == 0;
}

// Pixels per 4 horizontal and per 8 vertical dialog units of `font`,
// measured as the dialog manager measures its font.
SIZE DialogUnitsOf(HWND dialog, HFONT font) {
    static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    HDC dc = GetDC(dialog);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE letters{};
    GetTextExtentPoint32W(dc, kLetters, 52, &letters);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
    return SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

// Dialog units to pixels: by the dialog's own units while it keeps its own
// font, else by those of the font it takes. The corner and the size are
// mapped each on its own, as the dialog manager places the controls.
class UnitMapper {
  public:
    UnitMapper(HWND dialog, std::optional<SIZE> units) : dialog_(dialog), units_(units) {}
    DialogUnitBox Pixels(const DialogUnitBox& box) const {
        RECT rect{box.x, box.y, box.cx, box.cy};
        if (units_) {
            rect = RECT{MulDiv(box.x, units_->cx, 4), MulDiv(box.y, units_->cy, 8),
                        MulDiv(box.cx, units_->cx, 4), MulDiv(box.cy, units_->cy, 8)};
        } else {
            MapDialogRect(dialog_, &rect);
        }
        return DialogUnitBox{rect.left, rect.top, rect.right, rect.bottom};
    }

  private:
    HWND dialog_;
    std::optional<SIZE> units_;
};

void TakeItems(HWND dialog, const DialogTemplateInfo& layout, const UnitMapper& units, HFONT font) {
    HWND control = GetWindow(dialog, GW_CHILD);
    for (const DialogTemplateItem& item : layout.items) {
        if (control == nullptr || LOWORD(GetDlgCtrlID(control)) != item.id) {
            return;
        }
        const DialogUnitBox place = units.Pixels(item.box);
        SetWindowPos(control, nullptr, place.x, place.y, place.cx, place.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (item.hasText && (item.classAtom == kButtonClass || item.classAtom == kStaticClass)) {
            SetWindowTextW(control, item.text.c_str());
        }
        control = GetWindow(control, GW_HWNDNEXT);
    }
}

// Sizes the window to a client area of `width` x `height` pixels; a
// minimised window keeps its state and takes the size when it is restored.
void SetClientSize(HWND window, LONG width, LONG height) {
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)),
                       GetMenu(window) != nullptr,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    const LONG outerWidth = frame.right - frame.left;
    const LONG outerHeight = frame.bottom - frame.top;
    if (IsIconic(window)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(window, &placement);
        placement.rcNormalPosition.right = placement.rcNormalPosition.left + outerWidth;
        placement.rcNormalPosition.bottom = placement.rcNormalPosition.top + outerHeight;
        placement.showCmd = IsWindowVisible(window) ? SW_SHOWMINNOACTIVE : SW_HIDE;
        SetWindowPlacement(window, &placement);
        return;
    }
    SetWindowPos(window, nullptr, 0, 0, outerWidth, outerHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void TakeDialogLayout(HWND dialog, const DialogTemplateInfo& layout, HFONT& font) {
    HFONT own = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    std::optional<LOGFONTW> wanted;
    if (layout.font) {
        wanted = TemplateFont(dialog, *layout.font);
    }
    const bool keepsOwn = !wanted || SameFont(own, *wanted);
    HFONT taken = keepsOwn ? own : CreateFontIndirectW(&*wanted);
    if (taken == nullptr) {
        return;
    }
    const UnitMapper units(dialog,
                           keepsOwn ? std::nullopt : std::optional<SIZE>(DialogUnitsOf(dialog, taken)));
    TakeItems(dialog, layout, units, taken);
    if (font != nullptr && font != taken) {
        DeleteObject(font);
    }
    font = keepsOwn ? nullptr : taken;
    const DialogUnitBox client = units.Pixels(layout.box);
    SetClientSize(dialog, client.cx, client.cy);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace velmo
