// The auto-disconnect as the main window runs it: the schedule decides
// (autodisconnect/AutoDisconnectSchedule.h); the window hangs up, asks first
// when the user wants that, arms timer 6 and shows the set moment.
#include "app/CRouterStatusDlg.h"
#include "app/Timers.h"
#include "autodisconnect/AutoDisconnectSchedule.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

namespace {

constexpr int kHangUpAttempts = 10;
constexpr std::uint32_t kHangUpRetryPause = 500;  // ms

}  // namespace

void CRouterStatusDlg::CheckAutoDisconnect() {
    host_.StopTimer(kTimerAutoDisconnect);
    if (!settings.AutoDisconnect) {
        return;  // field 1009 is left to the next full refresh
    }
    const DateTime now = clock_.Now();  // one "now" for the whole run
    const ScheduleDecision plan = PlanAutoDisconnect(
        {!settings.AutoDisconnectSelectDay, settings.AutoDisconnectTime, lastDisconnectCheck, now});
    // While the hang-up runs (its refresh shows field 1009) the moment stands
    // re-based; after it, the moment moves on to the next one.
    settings.AutoDisconnectTime = plan.dueMoment;
    if (plan.hangUp) {
        HangUpAutomatically();
    }
    lastDisconnectCheck = now;
    settings.AutoDisconnectTime = plan.nextMoment;
    if (plan.switchOff) {
        settings.AutoDisconnect = false;  // the file follows at the next save
    }
    if (settings.AutoDisconnect) {
        host_.StartTimer(kTimerAutoDisconnect, plan.delayMs);
    }
    ShowAutoDisconnectTime();
}

void CRouterStatusDlg::HangUpAutomatically() {
    // A window hidden in the notification area is minimised too.
    const bool wasMinimized = host_.IsMinimized();
    if (wasMinimized) {
        RestoreWindow();
    }
    bool goAhead = true;
    if (settings.AutoDisconnectDlg) {
        confirmationOpen_ = true;
        goAhead = host_.RunAutoDisconnectConfirm() == IDOK;
        confirmationOpen_ = false;
        if (closeAfterConfirmation_) {
            // The user asked to exit while the question was open: nothing is
            // hung up, and the close runs as soon as this handler returns.
            host_.PostClose();
            return;
        }
    }
    if (goAhead) {
        // Until the router answers; with no command learned nothing is sent
        // and the pauses still pass.
        for (int attempt = 0; attempt < kHangUpAttempts; ++attempt) {
            if (router.SendHangUpCommand()) {
                break;
            }
            clock_.Sleep(kHangUpRetryPause);
        }
        OnDisconnect();  // what button 1003 does: follow-up refresh and the command once more
    }
    if (wasMinimized) {
        MinimizeWindow();
    }
}

void CRouterStatusDlg::ShowAutoDisconnectTime() {
    std::string text = TableString(IDS_NOT_SET);
    if (settings.AutoDisconnect) {
        text = settings.AutoDisconnectTime.Format(TableString(IDS_DATETIME_FORMAT));
    }
    host_.SetFieldText(IDC_AUTODISCONNECT_TIME, text);
}

}  // namespace velmo
