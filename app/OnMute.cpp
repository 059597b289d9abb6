// 通知を止める from the tray menu: the mute's end kept in the settings, the
// tooltip's note, and timer 7 that ends it by itself.
#include "app/CRouterStatusDlg.h"
#include "app/NotifyMute.h"
#include "app/Timers.h"

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
    StartMuteTimer();
}

void CRouterStatusDlg::StartMuteTimer() {
    host_.StopTimer(kTimerMuteEnd);
    const std::uint32_t wait =
        MillisecondsToMuteEnd(settings.NotifyMuteUntil, clock_.Now(), kLongestMuteTimer);
    if (wait == 0) {
        EndMute();
        return;
    }
    host_.StartTimer(kTimerMuteEnd, wait);
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
