// The main window's timer ticks: each id's work (the ids are in Timers.h).
#include "app/CRouterStatusDlg.h"
#include "app/Timers.h"

namespace velmo {

// Each handler stops its timer before the work and starts it again after,
// so ticks never pile up while the work blocks the window.
void CRouterStatusDlg::OnTimer(int timerId) {
    switch (timerId) {
        case kTimerRefresh:
            host_.StopTimer(kTimerRefresh);
            RefreshAll();
            StartTimer(kTimerRefresh, settings.UpdateStatusDisconnectTime);
            break;
        case kTimerStatusPoll:
            host_.StopTimer(kTimerStatusPoll);
            ReadStatus(PollLateAnswerAge());
            ApplyPollRule();
            break;
        case kTimerFollowUpEnd:
            host_.StopTimer(kTimerFollowUpEnd);
            followUpActive = false;
            break;
        case kTimerLogCapture:
            host_.StopTimer(kTimerLogCapture);
            CaptureSystemLog();
            StartTimer(kTimerLogCapture, settings.UpdateLogTime);
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
        default:
            break;  // any other id: nothing
    }
}

void CRouterStatusDlg::StartTimer(int timerId, std::int32_t milliseconds) {
    // Loading and the settings sheet switch a feature off when its interval
    // is below 1, so a running timer never gets a non-positive interval.
    host_.StartTimer(timerId, static_cast<std::uint32_t>(milliseconds));
}

}  // namespace velmo
