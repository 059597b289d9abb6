#include "win32/SettingsSheet.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>

#include "base/Wide_win32.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "settings/SettingsSheetPage.h"
#include "settings/StartupShortcut.h"
#include "win32/DialogPlacement.h"
#include "win32/DialogTemplate.h"
#include "win32/LanguageResources.h"
#include "win32/PageControls_win32.h"
#include "win32/StartupShortcut_win32.h"

namespace velmo {

namespace {

// The sheet's "Apply" button (hidden here: nothing is applied before OK).
constexpr int kApplyNowButton = 0x3021;

// What a page window keeps: the page's logic and the size of the largest
// page template of the sheet, in the pages' dialog units.
struct PageContext {
    SettingsSheetPage* page = nullptr;
    SIZE largest{};
};

void MoveBy(HWND sheet, HWND child, int dx, int dy) {
    RECT rect{};
    if (child == nullptr || !GetWindowRect(child, &rect)) {
        return;
    }
    MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(child, nullptr, rect.left + dx, rect.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void GrowBy(HWND window, int dx, int dy) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left + dx, rect.bottom - rect.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The pages are drawn in their own font, the sheet measures its page area in
// its own. Where the sheet's font is the smaller (Wine's is), the page area
// is grown, with the sheet and its buttons, so that no page is cut off, and
// the page shown is sized to the area. Where the fonts agree nothing moves.
void FitSheetToPage(HWND page, SIZE largest) {
    HWND sheet = GetParent(page);
    HWND tab = PropSheet_GetTabControl(sheet);
    if (tab == nullptr) {
        return;
    }
    RECT need{0, 0, largest.cx, largest.cy};
    MapDialogRect(page, &need);
    RECT area{};
    GetClientRect(tab, &area);
    TabCtrl_AdjustRect(tab, FALSE, &area);
    const int dx = static_cast<int>(std::max(0L, need.right - (area.right - area.left)));
    const int dy = static_cast<int>(std::max(0L, need.bottom - (area.bottom - area.top)));
    if (dx > 0 || dy > 0) {
        GrowBy(sheet, dx, dy);
        GrowBy(tab, dx, dy);
        for (int button : {IDOK, IDCANCEL, IDHELP, kApplyNowButton}) {
            MoveBy(sheet, GetDlgItem(sheet, button), dx, dy);
        }
        GetClientRect(tab, &area);
        TabCtrl_AdjustRect(tab, FALSE, &area);
    }
    MapWindowPoints(tab, sheet, reinterpret_cast<POINT*>(&area), 2);
    SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The sheet's notifications, passed on to the page; the page's answer to
// "may the user leave" becomes the message result.
BOOL OnNotify(HWND page, const PageContext& context, const NMHDR& header) {
    SettingsSheetPage& sheetPage = *context.page;
    Win32PageControls controls(page);
    LONG_PTR result = 0;
    switch (header.code) {
        case PSN_SETACTIVE:
            FitSheetToPage(page, context.largest);
            sheetPage.OnSetActive(controls);
            break;
        case PSN_KILLACTIVE:
            result = sheetPage.OnKillActive(controls) ? FALSE : TRUE;
            break;
        case PSN_APPLY:
            result = PSNRET_NOERROR;
            break;
        default:
            return FALSE;
    }
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* context = reinterpret_cast<const PageContext*>(GetWindowLongPtrW(page, GWLP_USERDATA));
    switch (message) {
        case WM_INITDIALOG: {
            const auto* header = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
            context = reinterpret_cast<const PageContext*>(header->lParam);
            SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
            Win32PageControls controls(page);
            context->page->OnInitDialog(controls);
            return TRUE;
        }
        case WM_COMMAND:
            if (context != nullptr && HIWORD(wParam) == BN_CLICKED) {
                Win32PageControls controls(page);
                Win32LogFileChooser chooser(page);
                context->page->OnClicked(LOWORD(wParam), controls, chooser);
                return TRUE;
            }
            return FALSE;
        case WM_NOTIFY:
            return context != nullptr ? OnNotify(page, *context, *reinterpret_cast<const NMHDR*>(lParam))
                                      : FALSE;
        default:
            return FALSE;
    }
}

// Tells the user that the Startup shortcut could not be made or removed.
void ShowStartupChangeFailure(HWND owner, StartupChange change) {
    if (const int message = StartupChangeMessage(change)) {
        MessageBoxW(owner, SjisToWide(TableString(message)).c_str(),
                    SjisToWide(TableString(IDS_APPNAME)).c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
}

}  // namespace

bool RunSettingsSheet(HINSTANCE instance, HWND owner, SettingsPages& pages, Clock& clock) {
    // "Windows の起動時に開始する" shows whether the shortcut is there now and
    // Windows starts it: one turned off in Task Manager shows as off, and the
    // page says why.
    Win32StartupShortcut shortcut;
    const bool exists = shortcut.Exists();
    pages.notify.StartupTurnedOff = exists && shortcut.TurnedOff();
    const bool startsWithWindows = exists && !pages.notify.StartupTurnedOff;
    pages.notify.StartWithWindows = startsWithWindows;

    std::array<SettingsSheetPage, kSettingsPageCount> sheetPages = SettingsSheetPages(pages, clock);
    std::array<PageContext, kSettingsPageCount> contexts{};
    SIZE largest{};
    for (std::size_t i = 0; i < contexts.size(); ++i) {
        contexts[i].page = &sheetPages[i];
        const auto layout =
            ReadDialogTemplate(LanguageResource(instance, RT_DIALOG, sheetPages[i].TemplateId()));
        largest.cx = std::max(largest.cx, layout ? layout->box.cx : 0L);
        largest.cy = std::max(largest.cy, layout ? layout->box.cy : 0L);
    }

    // The pages in the language the tool speaks. No PSP_HASHELP: the sheet
    // has no Help button.
    std::array<PROPSHEETPAGEW, kSettingsPageCount> headers{};
    for (std::size_t i = 0; i < headers.size(); ++i) {
        contexts[i].largest = largest;
        PROPSHEETPAGEW& header = headers[i];
        header.dwSize = sizeof header;
        header.dwFlags = PSP_DLGINDIRECT;
        header.hInstance = instance;
        header.pResource = LanguageDialog(instance, sheetPages[i].TemplateId());
        header.pfnDlgProc = PageProc;
        header.lParam = reinterpret_cast<LPARAM>(&contexts[i]);
    }

    const std::wstring caption = SjisToWide(TableString(IDS_SETTINGS_CAPTION));
    PROPSHEETHEADERW sheet{};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
    sheet.pfnCallback = CentreSheetOnOwner;
    sheet.hwndParent = owner;
    sheet.hInstance = instance;
    sheet.pszCaption = caption.c_str();
    sheet.nPages = static_cast<UINT>(headers.size());
    sheet.nStartPage = 0;
    sheet.ppsp = headers.data();
    if (PropertySheetW(&sheet) <= 0) {
        return false;
    }
    ShowStartupChangeFailure(
        owner, ApplyStartWithWindows(startsWithWindows, pages.notify.StartWithWindows, shortcut));
    return true;
}

}  // namespace velmo
