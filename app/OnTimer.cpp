// The main window's timer ticks: each id's work (the ids are in Timers.h).
#include "app/CRouterStatusDlg.h"
#include "app/Timers.h"

namespace velmo {

// Each poll timer stops before its job starts and starts again when the
// job's result has been shown, so an interval counts from the end of the
// previous reading and ticks never pile up behind a slow router.
void CRouterStatusDlg::OnTimer(int timerId) {
    switch (timerId) {
        case kTimerRefresh:
            host_.StopTimer(kTimerRefresh);
            RefreshAll();
            break;
        case kTimerStatusPoll:
            host_.StopTimer(kTimerStatusPoll);
            ReadStatus();
            break;
        case kTimerFollowUpEnd:
            host_.StopTimer(kTimerFollowUpEnd);
            followUp = LineCommand::None;
            break;
        case kTimerLogCapture:
            host_.StopTimer(kTimerLogCapture);
            CaptureSystemLog();
            break;
        case kTimerAutoDisconnect:
            host_.StopTimer(kTimerAutoDisconnect);
            CheckAutoDisconnect();  // starts timer 6 again when needed
            break;
        case kTimerAccessWarningEnd:
            host_.StopTimer(kTimerAccessWarningEnd);
            accessWarning = false;
            UpdateTrayIcon();
            break;
        case kTimerMuteEnd:
            host_.StopTimer(kTimerMuteEnd);
            StartMuteTimer();  // a mute longer than one interval runs on
            break;
        case kTimerRedial:
            host_.StopTimer(kTimerRedial);
            Redial();  // starts timer 8 again for the next step
            break;
        default:
            break;  // any other id: nothing
    }
}

void CRouterStatusDlg::StartTimer(int timerId, std::int32_t milliseconds) {
    // Loading and the settings sheet switch a feature off when its interval
    // is below 1, so a running timer never gets a non-positive interval.
    host_.StartTimer(timerId, static_cast<std::uint32_t>(milliseconds));
}

void CRouterStatusDlg::StartPollTimer(int timerId, std::int32_t milliseconds) {
    if (modalWindows_ == 0 && closePhase_ == ClosePhase::Open) {
        StartTimer(timerId, milliseconds);
    }
}

void CRouterStatusDlg::HoldPolls() {
    ++modalWindows_;
    for (int timerId : {kTimerRefresh, kTimerStatusPoll, kTimerLogCapture}) {
        host_.StopTimer(timerId);
    }
}

void CRouterStatusDlg::ResumePolls() {
    if (--modalWindows_ > 0) {
        return;
    }
    if (settings.UpdateStatusDisconnect) {
        StartPollTimer(kTimerRefresh, settings.UpdateStatusDisconnectTime);
    }
    ApplyPollRule();
    if (settings.UpdateLog) {
        StartPollTimer(kTimerLogCapture, settings.UpdateLogTime);
    }
}

}  // namespace velmo
