#include "win32/SettingsSheet.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "res/resource.h"
#include "win32/DialogPlacement.h"
#include "win32/PageControls_win32.h"

namespace velmo {

namespace {

enum class PageKind { General, Log, AutoDisconnect };

// The sheet's "Apply" button (hidden here: nothing is applied before OK).
constexpr int kApplyNowButton = 0x3021;

// What one page's window procedure works on. The sheet creates a page's
// window only when the user first opens it; a page never opened keeps the
// values copied in.
struct PageContext {
    PageKind kind;
    SettingsPages* pages;
    Clock* clock;
    bool shownBefore = false;
};

bool ExchangePage(PageContext& context, Exchange direction, PageControls& controls) {
    switch (context.kind) {
        case PageKind::General:
            return context.pages->general.DoDataExchange(direction, controls);
        case PageKind::Log:
            return context.pages->log.DoDataExchange(direction, controls);
        case PageKind::AutoDisconnect:
            return context.pages->autoDisconnect.DoDataExchange(direction, controls);
    }
    return false;
}

void InitPage(PageContext& context, PageControls& controls) {
    if (context.kind == PageKind::AutoDisconnect) {
        context.pages->autoDisconnect.OnInitDialog(controls);
    } else {
        ExchangePage(context, Exchange::Load, controls);
    }
}

// The pages' command table: check boxes refresh, the two buttons act.
void OnClicked(HWND page, PageContext& context, int controlId) {
    Win32PageControls controls(page);
    SettingsPages& pages = *context.pages;
    switch (context.kind) {
        case PageKind::General:
            if (controlId == IDC_UPDATE_CONNECT || controlId == IDC_UPDATE_DISCONNECT) {
                pages.general.RefreshControls(controls);
            }
            break;
        case PageKind::Log:
            if (controlId == IDC_UPDATE_LOG) {
                pages.log.RefreshControls(controls);
            } else if (controlId == IDC_CHOOSE_LOG_FILE) {
                Win32LogFileChooser chooser(page);
                pages.log.ChooseLogFile(controls, chooser);
            }
            break;
        case PageKind::AutoDisconnect:
            if (controlId == IDC_AUTO_DISCONNECT || controlId == IDC_SELECT_DAY) {
                pages.autoDisconnect.RefreshControls(controls);
            } else if (controlId == IDC_SET_NOW) {
                pages.autoDisconnect.SetNowTime(controls, *context.clock);
            }
            break;
    }
}

// The largest page template, in the pages' dialog units.
constexpr LONG kPageWidth = 195;
constexpr LONG kPageHeight = 127;

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
void FitSheetToPage(HWND page) {
    HWND sheet = GetParent(page);
    HWND tab = PropSheet_GetTabControl(sheet);
    if (tab == nullptr) {
        return;
    }
    RECT need{0, 0, kPageWidth, kPageHeight};
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

// The sheet's notifications: a page reloads its controls when shown again,
// saves them when left (and before OK); a number that does not read keeps
// the user on the page.
BOOL OnNotify(HWND page, PageContext& context, const NMHDR& header) {
    Win32PageControls controls(page);
    LONG_PTR result = 0;
    switch (header.code) {
        case PSN_SETACTIVE:
            FitSheetToPage(page);
            if (context.shownBefore) {
                ExchangePage(context, Exchange::Load, controls);
            }
            context.shownBefore = true;
            break;
        case PSN_KILLACTIVE:
            result = ExchangePage(context, Exchange::Save, controls) ? FALSE : TRUE;
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
    auto* context = reinterpret_cast<PageContext*>(GetWindowLongPtrW(page, GWLP_USERDATA));
    switch (message) {
        case WM_INITDIALOG: {
            const auto* sheetPage = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
            context = reinterpret_cast<PageContext*>(sheetPage->lParam);
            SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
            Win32PageControls controls(page);
            InitPage(*context, controls);
            return TRUE;
        }
        case WM_COMMAND:
            if (context != nullptr && HIWORD(wParam) == BN_CLICKED) {
                OnClicked(page, *context, LOWORD(wParam));
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

}  // namespace

bool RunSettingsSheet(HINSTANCE instance, HWND owner, SettingsPages& pages, Clock& clock) {
    std::array<PageContext, 3> contexts = {{
        {PageKind::General, &pages, &clock},
        {PageKind::Log, &pages, &clock},
        {PageKind::AutoDisconnect, &pages, &clock},
    }};
    constexpr std::array<int, 3> kTemplates = {IDD_GENERAL_SETTING, IDD_LOG_SETTING,
                                               IDD_AUTODISCONNECT_SETTING};

    // No PSP_HASHELP: the sheet has no Help button.
    std::array<PROPSHEETPAGEW, 3> sheetPages{};
    for (std::size_t i = 0; i < sheetPages.size(); ++i) {
        PROPSHEETPAGEW& page = sheetPages[i];
        page.dwSize = sizeof page;
        page.dwFlags = PSP_DEFAULT;
        page.hInstance = instance;
        page.pszTemplate = MAKEINTRESOURCEW(kTemplates[i]);
        page.pfnDlgProc = PageProc;
        page.lParam = reinterpret_cast<LPARAM>(&contexts[i]);
    }

    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header.pfnCallback = CentreSheetOnOwner;
    header.hwndParent = owner;
    header.hInstance = instance;
    header.pszCaption = L"設定";
    header.nPages = static_cast<UINT>(sheetPages.size());
    header.nStartPage = 0;
    header.ppsp = sheetPages.data();
    return PropertySheetW(&header) > 0;
}

}  // namespace velmo
