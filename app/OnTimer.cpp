// The main window's timers: each id's work (the ids are in Timers.h), and
// the one place where timers start and stop, from the plan of the window's
// state (app/PollPlan.h).
#include <algorithm>
#include <limits>

#include "app/CRouterStatusDlg.h"
#include "app/Timers.h"

namespace velmo {

void CRouterStatusDlg::OnTimer(int timerId) {
    if (timerId < 1 || timerId > static_cast<int>(appliedTimers_.size())) {
        return;  // any other id: nothing
    }
    // A tick is the timer's one firing: it runs again only when the plan says so.
    appliedTimers_[timerId - 1].reset();
    host_.StopTimer(timerId);
    switch (timerId) {
        case kTimerRefresh:
            RefreshAll();
            break;
        case kTimerStatusPoll:
            ReadStatus();
            break;
        case kTimerFollowUpEnd:
            followUp = LineCommand::None;
            followUpEnds_.reset();
            break;
        case kTimerLogCapture:
            CaptureSystemLog();
            break;
        case kTimerAutoDisconnect:
            CheckAutoDisconnect();
            break;
        case kTimerAccessWarningEnd:
            accessWarning = false;
            accessWarningEnds_.reset();
            UpdateTrayIcon();
            break;
        case kTimerMuteEnd:
            PlanMuteEnd();  // a mute longer than one interval runs on
            break;
        case kTimerRedial:
            Redial();
            break;
        default:
            break;
    }
    ApplyTimers();
}

PollState CRouterStatusDlg::PollStateNow() const {
    PollState state;
    if (settings.UpdateStatusDisconnect) {
        state.refreshMs = static_cast<std::uint32_t>(settings.UpdateStatusDisconnectTime);
    }
    if (settings.UpdateStatusConnect) {
        state.statusMs = static_cast<std::uint32_t>(settings.UpdateStatusConnectTime);
    }
    state.followUpPollMs = static_cast<std::uint32_t>(settings.followUpPollTime);
    if (settings.UpdateLog) {
        state.captureMs = static_cast<std::uint32_t>(settings.UpdateLogTime);
    }
    state.closing = !started_ || closed_;
    state.modalOpen = modalsOpen_ != 0 || questionOpen_.has_value();
    state.sheetOpen = (modalsOpen_ & kSettingsOpen) != 0;
    state.asleep = asleep_;
    state.lineUp = line_.shownUp;
    state.refreshEnded = refreshEnded_;
    state.statusEnded = statusEnded_;
    state.captureEnded = captureEnded_;
    state.refreshBusy = underWay_[static_cast<std::size_t>(JobKind::Refresh)] > 0;
    state.statusBusy = underWay_[static_cast<std::size_t>(JobKind::StatusPoll)] > 0;
    state.captureBusy = underWay_[static_cast<std::size_t>(JobKind::Capture)] > 0;
    if (followUp != LineCommand::None) {
        state.followUpEnds = followUpEnds_;
    }
    state.accessWarningEnds = accessWarningEnds_;
    state.autoDisconnectDue = autoDisconnectDue_;
    state.muteEnds = muteCheckDue_;
    if (line_.redialing) {
        state.redialDue = line_.redialDue;
    }
    return state;
}

void CRouterStatusDlg::ApplyTimers() {
    const TimerPlan plan = PlanTimers(PollStateNow());
    const std::uint64_t now = clock_.Tick();
    for (int timerId : kAllTimers) {
        const std::optional<std::uint64_t>& due = plan[timerId - 1];
        std::optional<std::uint64_t>& applied = appliedTimers_[timerId - 1];
        if (due == applied) {
            continue;  // running as planned (a running timer started again would count anew)
        }
        applied = due;
        if (!due) {
            host_.StopTimer(timerId);
            continue;
        }
        // A moment that has passed is due at once.
        const std::uint64_t wait = *due > now ? *due - now : 1;
        host_.StartTimer(timerId, static_cast<std::uint32_t>(std::min<std::uint64_t>(
                                      wait, std::numeric_limits<std::int32_t>::max())));
    }
}

void CRouterStatusDlg::OnSuspend() {
    asleep_ = true;
    ApplyTimers();
}

void CRouterStatusDlg::OnResume() {
    asleep_ = false;
    quietUntil_ = clock_.Tick() + kResumeQuietMs;
    RefreshAll(JobOrigin::User);
    ApplyTimers();
}

}  // namespace velmo
