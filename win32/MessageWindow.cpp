#include "win32/MessageWindow.h"

#include <algorithm>

#include "win32/DialogPlacement.h"
#include "win32/OwnWindow.h"

namespace velmo {

namespace {

// Sizes at 96 DPI.
constexpr int kMargin = 12;
constexpr int kTextWidth = 360;  // at most; a longer line wraps
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

struct MessageText {
    const std::wstring& caption;
    const std::wstring& text;
};

// The controls are made here and sized to the text in the owner's font.
void LayOut(HWND dialog, const MessageText& message) {
    SetWindowTextW(dialog, message.caption.c_str());
    HWND owner = GetWindow(dialog, GW_OWNER);
    auto font = reinterpret_cast<HFONT>(SendMessageW(owner, WM_GETFONT, 0, 0));
    if (font == nullptr) {
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    const int dpi = static_cast<int>(WindowDpi(dialog));
    const auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
    RECT textRect{0, 0, scaled(kTextWidth), 0};
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, font);
    DrawTextW(dc, message.text.c_str(), -1, &textRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);

    const int margin = scaled(kMargin);
    const int buttonWidth = scaled(kButtonWidth);
    const int buttonHeight = scaled(kButtonHeight);
    const int clientWidth = std::max<int>(textRect.right, buttonWidth) + 2 * margin;
    const int buttonTop = margin + textRect.bottom + margin;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    HWND label =
        CreateWindowW(L"STATIC", message.text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, margin,
                      margin, textRect.right, textRect.bottom, dialog, nullptr, instance, nullptr);
    HWND button = CreateWindowW(L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                (clientWidth - buttonWidth) / 2, buttonTop, buttonWidth, buttonHeight, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance, nullptr);
    for (HWND control : {label, button}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    RECT frame{0, 0, clientWidth, buttonTop + buttonHeight + margin};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CentreOnOwner(dialog);
}

INT_PTR CALLBACK MessageWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            LayOut(dialog, *reinterpret_cast<const MessageText*>(lParam));
            return TRUE;  // the focus on OK
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {  // OK, Esc, the close box
                DestroyWindow(dialog);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

HWND OpenMessageWindow(HINSTANCE instance, HWND owner, const std::wstring& caption,
                       const std::wstring& text) {
    // A template with no controls, no font and no caption of its own, made in memory.
    struct alignas(4) {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } blank{{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 0, 0, 0}, 0, 0, 0};
    const MessageText message{caption, text};
    HWND dialog = CreateDialogIndirectParamW(instance, &blank.header, owner, MessageWindowProc,
                                             reinterpret_cast<LPARAM>(&message));
    if (dialog != nullptr) {
        ShowWindow(dialog, SW_SHOW);
    }
    return dialog;
}

}  // namespace velmo
