#include "win32/ConfirmDialog.h"

#include "autodisconnect/CAutoDisconnectConfirmDlg.h"
#include "base/Wide_win32.h"
#include "res/resource.h"
#include "win32/DialogPlacement.h"
#include "win32/LanguageResources.h"
#include "win32/Messages.h"

namespace velmo {

namespace {

class Win32ConfirmHost final : public ConfirmHost {
  public:
    explicit Win32ConfirmHost(HWND window) : window_(window) {}
    void BringToForeground() override { SetForegroundWindow(window_); }
    void Beep() override { MessageBeep(MB_OK); }
    void SetCountdownText(const std::string& text) override {
        if (HWND label = GetDlgItem(window_, IDC_COUNTDOWN)) {
            SetWindowTextW(label, SjisToWide(text).c_str());
        }
    }
    void StartTimer(int id, std::uint32_t ms) override {
        SetTimer(window_, static_cast<UINT_PTR>(id), ms, nullptr);
    }
    void StopTimer(int id) override { KillTimer(window_, static_cast<UINT_PTR>(id)); }
    // Kept until the dialog's call returns: the window goes only then.
    void EndDialog(int result) override { answer = result; }

    int answer = 0;  // none yet

  private:
    HWND window_;
};

struct ConfirmContext {
    Win32ConfirmHost host;
    CAutoDisconnectConfirmDlg dialog;
    explicit ConfirmContext(HWND window) : host(window), dialog(host) {}
};

// Once answered, the answer goes to the owner and the window goes (which
// deletes the context).
void PostAnswerAndGo(HWND window, const ConfirmContext& context) {
    if (context.host.answer != 0) {
        PostMessageW(GetWindow(window, GW_OWNER), kConfirmAnswerMessage,
                     static_cast<WPARAM>(context.host.answer), 0);
        DestroyWindow(window);
    }
}

INT_PTR CALLBACK ConfirmDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    auto* context = reinterpret_cast<ConfirmContext*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_INITDIALOG:
            context = new ConfirmContext(window);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
            CentreOnOwner(window);
            return context->dialog.OnInitDialog() ? TRUE : FALSE;
        case WM_TIMER:
            if (context != nullptr) {
                context->dialog.OnTimer(static_cast<int>(wParam));
                PostAnswerAndGo(window, *context);
            }
            return FALSE;
        case WM_COMMAND:
            if (context != nullptr && LOWORD(wParam) == IDOK) {
                context->dialog.OnOK();
                PostAnswerAndGo(window, *context);
                return TRUE;
            }
            if (context != nullptr && LOWORD(wParam) == IDCANCEL) {  // Cancel, Esc, the close box
                context->dialog.OnCancel();
                PostAnswerAndGo(window, *context);
                return TRUE;
            }
            return FALSE;
        case WM_NCDESTROY:
            delete context;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

HWND OpenAutoDisconnectConfirmDialog(HINSTANCE instance, HWND owner) {
    HWND dialog = CreateDialogIndirectParamW(instance, LanguageDialog(instance, IDD_AUTODISCONNECT_CONFIRM),
                                             owner, ConfirmDialogProc, 0);
    if (dialog != nullptr) {
        ShowWindow(dialog, SW_SHOW);
    }
    return dialog;
}

}  // namespace velmo
