#include "autodisconnect/CAutoDisconnectConfirmDlg.h"

#include "base/CodePage.h"
#include "res/resource.h"

namespace velmo {

bool CAutoDisconnectConfirmDlg::OnInitDialog() {
    host_.BringToForeground();
    host_.Beep();
    countdown = kCountdownSeconds;
    ShowCountdown();
    host_.StartTimer(kCountdownTimer, 1000);
    return true;  // default focus: the OK button
}

// A late tick makes the countdown slow, never skip a number.
void CAutoDisconnectConfirmDlg::OnTimer(int timerId) {
    if (timerId == kCountdownTimer) {
        countdown = countdown - 1;
        ShowCountdown();
    }
}

void CAutoDisconnectConfirmDlg::ShowCountdown() {
    host_.SetCountdownText(CountdownText(countdown));
    if (countdown <= 0) {
        host_.StopTimer(kCountdownTimer);
        host_.EndDialog(IDOK);
    }
}

void CAutoDisconnectConfirmDlg::OnOK() {
    host_.StopTimer(kCountdownTimer);
    host_.EndDialog(IDOK);
}

void CAutoDisconnectConfirmDlg::OnCancel() {
    host_.StopTimer(kCountdownTimer);
    host_.EndDialog(IDCANCEL);
}

std::string CAutoDisconnectConfirmDlg::CountdownText(int seconds) {
    static const std::string kBefore = Utf8ToSjis("自動切断まで ");
    static const std::string kAfter = Utf8ToSjis(" 秒");
    return kBefore + std::to_string(seconds) + kAfter;
}

}  // namespace velmo
