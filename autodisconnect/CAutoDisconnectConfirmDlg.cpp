#include "autodisconnect/CAutoDisconnectConfirmDlg.h"

#include "res/StringTable.h"
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
    return FilledString(IDS_AUTODISCONNECT_COUNTDOWN, {std::to_string(seconds)});
}

}  // namespace velmo
