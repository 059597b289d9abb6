#include "win32/MainDialog.h"

#include "res/resource.h"

namespace velmo {

namespace {

struct MainDialogContext {
    Win32WindowHost* host;
    CRouterStatusDlg* dialog;
};

MainDialogContext* ContextOf(HWND window) {
    return reinterpret_cast<MainDialogContext*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Only translation happens here: a message becomes a call on the core.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* context = reinterpret_cast<MainDialogContext*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
        context->host->Attach(window);
        return context->dialog->OnInitDialog() ? TRUE : FALSE;
    }
    MainDialogContext* context = ContextOf(window);
    if (context == nullptr) {
        return FALSE;
    }
    CRouterStatusDlg& dialog = *context->dialog;
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: dialog.OnOK(); return TRUE;
                case IDCANCEL: dialog.OnCancel(); return TRUE;
                default: return dialog.OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
            }
        case WM_CLOSE:
            dialog.OnClose();
            return TRUE;
        case WM_TIMER:
            dialog.OnTimer(static_cast<int>(wParam));
            return FALSE;  // and on to default processing
        case WM_SYSCOMMAND:
            return dialog.OnSysCommand(static_cast<unsigned>(wParam)) ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(context->host->appIcon());
        default:
            return FALSE;
    }
}

}  // namespace

void RunMainDialog(HINSTANCE instance, Win32WindowHost& host, CRouterStatusDlg& dialog) {
    MainDialogContext context{&host, &dialog};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ROUTERSTATUS), nullptr, MainDialogProc,
                    reinterpret_cast<LPARAM>(&context));
}

}  // namespace velmo
