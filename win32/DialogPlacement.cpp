#include "win32/DialogPlacement.h"

#include <algorithm>
#include <commctrl.h>
#include <prsht.h>

#include "base/ScreenRect.h"

namespace velmo {

namespace {

ScreenRect FromRect(const RECT& rect) {
    return {static_cast<int>(rect.left), static_cast<int>(rect.top), static_cast<int>(rect.right),
            static_cast<int>(rect.bottom)};
}

// The owner's rectangle while it is on screen; else the work area of the
// screen it was last on (the primary screen for a minimised one).
void ReferenceAndWorkArea(HWND owner, ScreenRect& reference, ScreenRect& workArea) {
    const bool ownerShown = owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner);
    RECT ownerRect{};
    if (ownerShown) {
        GetWindowRect(owner, &ownerRect);
    }
    HMONITOR monitor = ownerShown ? MonitorFromRect(&ownerRect, MONITOR_DEFAULTTONEAREST)
                                  : MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    workArea = FromRect(info.rcWork);
    reference = ownerShown ? FromRect(ownerRect) : workArea;
}

constexpr UINT_PTR kCentreOnShowId = 1;

// Centres the sheet on its first WM_SHOWWINDOW, then takes itself off.
LRESULT CALLBACK CentreOnShow(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR) {
    if (message == WM_SHOWWINDOW && wParam != FALSE) {
        CentreOnOwner(window);
        RemoveWindowSubclass(window, CentreOnShow, id);
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, CentreOnShow, id);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void CentreOnOwner(HWND dialog) {
    RECT rect{};
    if (!GetWindowRect(dialog, &rect)) {
        return;
    }
    ScreenRect reference;
    ScreenRect workArea;
    ReferenceAndWorkArea(GetWindow(dialog, GW_OWNER), reference, workArea);
    const ScreenRect placed = CentredOn(FromRect(rect), reference, workArea);
    SetWindowPos(dialog, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CALLBACK CentreSheetOnOwner(HWND sheet, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED) {
        SetWindowSubclass(sheet, CentreOnShow, kCentreOnShowId, 0);
    }
    return 0;
}

void CentreUnderPointer(HWND window, int width, int height) {
    POINT pointer{};
    GetCursorPos(&pointer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    width = std::min<int>(width, work.right - work.left);
    height = std::min<int>(height, work.bottom - work.top);
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER);
}

}  // namespace velmo
