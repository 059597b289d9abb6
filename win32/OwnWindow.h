// What the tool's own top-level windows (接続履歴, ログを見る) share: the
// window procedure that hands each message to the object behind the window,
// the monitor's DPI, the dialog font at that DPI and filled rectangles.
#pragma once

#include <windows.h>

namespace velmo {

// WM_DPICHANGED, missing from older headers.
inline constexpr UINT kDpiChangedMessage = 0x02E0;

// A window procedure for a class `Owner` created with `this` as its creation
// parameter: keeps the object with the window (setting its `window_`) and
// hands every message to its `Handle`.
template <typename Owner>
LRESULT CALLBACK ForwardToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self != nullptr ? self->Handle(message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

// WM_DPICHANGED: the window takes the rectangle Windows suggests (lParam).
void MoveToSuggestedRect(HWND window, LPARAM suggested);

// The DPI of the window's monitor (per-monitor aware), or the screen's.
UINT WindowDpi(HWND window);

// "ＭＳ Ｐゴシック" at 9 points for `dpi`; the caller deletes it.
HFONT CreateDialogFont(UINT dpi);

void FillColour(HDC dc, const RECT& rect, COLORREF colour);

}  // namespace velmo
