#include "win32/ConfirmDialog.h"

#include "autodisconnect/CAutoDisconnectConfirmDlg.h"
#include "base/Wide_win32.h"
#include "res/resource.h"
#include "win32/DialogPlacement.h"
#include "win32/LanguageResources.h"

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
    void EndDialog(int result) override { ::EndDialog(window_, result); }

  private:
    HWND window_;
};

struct ConfirmContext {
    Win32ConfirmHost host;
    CAutoDisconnectConfirmDlg dialog;
    HWND* openWindow;
    ConfirmContext(HWND window, HWND* open) : host(window), dialog(host), openWindow(open) {
        if (openWindow != nullptr) {
            *openWindow = window;
        }
    }
    ~ConfirmContext() {
        if (openWindow != nullptr) {
            *openWindow = nullptr;
        }
    }
};

INT_PTR CALLBACK ConfirmDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* context = reinterpret_cast<ConfirmContext*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_INITDIALOG:
            context = new ConfirmContext(window, reinterpret_cast<HWND*>(lParam));
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
            CentreOnOwner(window);
            return context->dialog.OnInitDialog() ? TRUE : FALSE;
        case WM_TIMER:
            if (context != nullptr) {
                context->dialog.OnTimer(static_cast<int>(wParam));
            }
            return FALSE;
        case WM_COMMAND:
            if (context != nullptr && LOWORD(wParam) == IDOK) {
                context->dialog.OnOK();
                return TRUE;
            }
            if (context != nullptr && LOWORD(wParam) == IDCANCEL) {  // Cancel, Esc, the close box
                context->dialog.OnCancel();
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

int RunAutoDisconnectConfirmDialog(HINSTANCE instance, HWND owner, HWND* openWindow) {
    INT_PTR result = DialogBoxIndirectParamW(instance, LanguageDialog(instance, IDD_AUTODISCONNECT_CONFIRM),
                                             owner, ConfirmDialogProc, reinterpret_cast<LPARAM>(openWindow));
    return result == IDOK ? IDOK : IDCANCEL;
}

void CancelAutoDisconnectConfirmDialog(HWND window) {
    // Sent, not posted: the dialog is ended before a countdown tick waiting in
    // the queue could confirm it.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

}  // namespace velmo
