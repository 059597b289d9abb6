#include "win32/MainDialog.h"

#include <cwchar>

#include "res/resource.h"
#include "win32/LanguageResources.h"
#include "win32/Messages.h"

namespace velmo {

namespace {

struct MainDialogContext {
    Win32WindowHost* host;
    Win32TrayHost* tray;
    CRouterStatusDlg* dialog;
    const std::function<void()>* started;
};

// Sent to every top-level window when Explorer has rebuilt the taskbar.
UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

TrayMouse TrayMouseOf(LPARAM lParam) {
    switch (static_cast<UINT>(lParam)) {
        case WM_LBUTTONDOWN:
            return TrayMouse::LeftDown;
        case WM_RBUTTONDOWN:
            return TrayMouse::RightDown;
        default:
            return TrayMouse::Other;
    }
}

MainDialogContext* ContextOf(HWND window) {
    return reinterpret_cast<MainDialogContext*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Only translation happens here: a message becomes a call on the core.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* context = reinterpret_cast<MainDialogContext*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
        context->host->Attach(window);
        context->tray->Attach(window);
        const BOOL focus = context->dialog->OnInitDialog() ? TRUE : FALSE;
        // Queued behind the start-up's own hiding into the notification area.
        PostMessageW(window, kStartedMessage, 0, 0);
        return focus;
    }
    MainDialogContext* context = ContextOf(window);
    if (context == nullptr) {
        return FALSE;
    }
    CRouterStatusDlg& dialog = *context->dialog;
    if (message == TaskbarCreatedMessage()) {
        dialog.OnTaskbarCreated();
        return FALSE;
    }
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    dialog.OnOK();
                    return TRUE;
                case IDCANCEL:
                    dialog.OnCancel();
                    return TRUE;
                default:
                    return dialog.OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
            }
        case WM_CLOSE:
            dialog.OnClose();
            return TRUE;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMSUSPEND) {
                dialog.OnSuspend();
            } else if (wParam == PBT_APMRESUMEAUTOMATIC) {
                dialog.OnResume();  // sent on every wake-up, by the user or not
            }
            SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_QUERYENDSESSION:
            // The tool never holds Windows up: it closes when the session ends.
            SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_ENDSESSION:
            if (wParam != FALSE) {
                dialog.OnEndSession();
            }
            return TRUE;
        case WM_TIMER:
            dialog.OnTimer(static_cast<int>(wParam));
            return FALSE;  // and on to default processing
        case WM_SYSCOMMAND:
            return dialog.OnSysCommand(static_cast<unsigned>(wParam)) ? TRUE : FALSE;
        case WM_WINDOWPOSCHANGING:
            if (context->host->KeepsHidden()) {
                reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
            }
            return FALSE;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) {
                dialog.OnSizeMinimized();
            }
            return FALSE;
        case kStartedMessage:
            // The dialog loop would show the window once it first runs idle;
            // shown now, the window is as it stays when a second start asks.
            if (!context->host->KeepsHidden()) {
                ShowWindow(window, SW_SHOW);
            }
            (*context->started)();
            return TRUE;
        case kJobDoneMessage:
            dialog.OnJobDone();
            return TRUE;
        case kConfirmAnswerMessage:
            dialog.OnAutoDisconnectAnswer(wParam == IDOK);
            return TRUE;
        case kTrayMessage:
            dialog.OnTrayNotify(TrayMouseOf(lParam));
            return TRUE;
        case WM_RBUTTONUP:
            dialog.OnRightButtonUp();
            return FALSE;
        case WM_SETTINGCHANGE:
            // The taskbar's light or dark colours were switched.
            if (lParam != 0 &&
                std::wcscmp(reinterpret_cast<const wchar_t*>(lParam), L"ImmersiveColorSet") == 0) {
                dialog.OnTaskbarThemeChanged();
            }
            return FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(context->host->appIcon());
        default:
            return FALSE;
    }
}

}  // namespace

void RunMainDialog(HINSTANCE instance, Win32WindowHost& host, Win32TrayHost& tray, CRouterStatusDlg& dialog,
                   const std::function<void()>& started) {
    MainDialogContext context{&host, &tray, &dialog, &started};
    DialogBoxIndirectParamW(instance, LanguageDialog(instance, IDD_ROUTERSTATUS), nullptr, MainDialogProc,
                            reinterpret_cast<LPARAM>(&context));
}

}  // namespace velmo
