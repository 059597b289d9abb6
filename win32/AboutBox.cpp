#include "win32/AboutBox.h"

#include "base/Wide_win32.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "win32/DialogPlacement.h"
#include "win32/LanguageResources.h"

namespace velmo {

namespace {

void SetControlText(HWND dialog, int controlId, const std::string& text) {
    if (HWND control = GetDlgItem(dialog, controlId)) {
        SetWindowTextW(control, SjisToWide(text).c_str());
    }
}

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetControlText(dialog, IDC_VERSION_TEXT,
                           TableString(IDS_APPNAME) + " Version " + TableString(IDS_VERSION));
            SetControlText(dialog, IDC_NOTICE_TEXT, TableString(IDS_NOTICE) + " " + TableString(IDS_MAKER));
            SetWindowTextW(dialog, SjisToWide(TableString(IDS_ABOUTBOX)).c_str());
            CentreOnOwner(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void RunAboutBoxDialog(HINSTANCE instance, HWND owner) {
    DialogBoxIndirectParamW(instance, LanguageDialog(instance, IDD_ABOUTBOX), owner, AboutBoxProc, 0);
}

}  // namespace velmo
