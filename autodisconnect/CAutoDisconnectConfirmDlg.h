// The question before an automatic hang-up: beeps, comes to the front and
// counts down from 30 seconds; at 0 it goes ahead by itself, so an unattended
// computer is still disconnected, half a minute late.
#pragma once

#include <cstdint>
#include <string>

namespace velmo {

// The confirmation window's port to the platform.
class ConfirmHost {
  public:
    virtual ~ConfirmHost() = default;
    virtual void BringToForeground() = 0;
    virtual void Beep() = 0;                                     // the default beep, once
    virtual void SetCountdownText(const std::string& text) = 0;  // label 1028
    virtual void StartTimer(int timerId, std::uint32_t milliseconds) = 0;
    virtual void StopTimer(int timerId) = 0;
    // The question is over: IDOK go ahead, IDCANCEL do not hang up.
    virtual void EndDialog(int result) = 0;
};

class CAutoDisconnectConfirmDlg {
  public:
    static constexpr int kCountdownTimer = 7;
    static constexpr int kCountdownSeconds = 30;

    explicit CAutoDisconnectConfirmDlg(ConfirmHost& host) : host_(host) {}

    bool OnInitDialog();
    void OnTimer(int timerId);
    void OnOK();      // OK button, Enter
    void OnCancel();  // Cancel button, Esc, close box

    // "自動切断まで %d 秒" for the given seconds (CP932, in the language the tool speaks).
    static std::string CountdownText(int seconds);

    int countdown = 0;  // seconds left

  private:
    void ShowCountdown();

    ConfirmHost& host_;
};

}  // namespace velmo
