// 通知を止める from the tray menu: the mute's end kept in the settings, the
// tooltip's note, and timer 7 that ends it by itself.
#include "app/CRouterStatusDlg.h"
#include "app/NotifyMute.h"

namespace velmo {

namespace {

// A timer's longest interval here (about 24.8 days): a longer mute (a
// hand-edited file) is looked at again after that.
constexpr std::uint32_t kLongestMuteTimer = 0x7FFFFFFF;

}  // namespace

void CRouterStatusDlg::Mute(MuteChoice choice) {
    settings.NotifyMuteUntil = MuteEnd(choice, clock_.Now());
    // Written at once, so that the mute holds after a restart however the
    // tool ends; a failed write is tried again at exit.
    SaveSettings();
    PlanMuteEnd();
    ApplyTimers();
}

void CRouterStatusDlg::PlanMuteEnd() {
    // The mute's end is a moment of the wall clock (08:00 tomorrow): timer 7
    // looks at it again when it should have come.
    const std::uint32_t wait =
        MillisecondsToMuteEnd(settings.NotifyMuteUntil, clock_.Now(), kLongestMuteTimer);
    if (wait == 0) {
        muteCheckDue_.reset();
        EndMute();
        return;
    }
    muteCheckDue_ = clock_.Tick() + wait;
    UpdateTrayIcon();
}

// A mute that has passed is forgotten, and the tooltip loses its note. A
// record still failing is told now: its balloon fell in the mute.
void CRouterStatusDlg::EndMute() {
    settings.NotifyMuteUntil = DateTime::Invalid();
    UpdateTrayIcon();
    AnnounceRecordFailure();
}

}  // namespace velmo
