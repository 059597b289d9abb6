// The auto-disconnect scheduler: hangs up once at a set date and time, or
// every day at a set time of day, exactly once per occurrence.
#include <algorithm>

#include "app/CRouterStatusDlg.h"
#include "app/Timers.h"

namespace velmo {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kLongestCheckInterval = 300;  // seconds
constexpr int kHangUpAttempts = 10;
constexpr std::uint32_t kHangUpRetryPause = 500;  // ms

}  // namespace

void CRouterStatusDlg::CheckAutoDisconnect() {
    host_.StopTimer(kTimerAutoDisconnect);
    if (!settings.AutoDisconnect) {
        return;  // field 1009 is left to the next full refresh
    }
    const DateTime now = clock_.Now();  // one "now" for the whole run
    DateTime& moment = settings.AutoDisconnectTime;
    const bool daily = !settings.AutoDisconnectSelectDay;
    if (daily) {
        // Re-based on the previous run's date, so a moment shortly before
        // midnight is still caught by a run just after it.
        moment = moment.OnDateOf(lastDisconnectCheck);
        if (moment < lastDisconnectCheck) {
            moment = moment.OnDateOf(now);
        }
    }
    // The moment fell in (previous run, now]: a late run still fires once.
    if (lastDisconnectCheck < moment && moment <= now) {
        HangUpAutomatically();
    }
    lastDisconnectCheck = now;
    if (daily && moment <= now) {
        moment = moment.OnDateOf(now.PlusSeconds(kSecondsPerDay));
    }
    const std::int64_t seconds = moment.SecondsSince(now);
    if (moment < now || seconds <= 0) {
        settings.AutoDisconnect = false;  // the file follows at the next save
    }
    if (settings.AutoDisconnect) {
        StartTimer(kTimerAutoDisconnect,
                   static_cast<std::int32_t>(std::min(seconds, kLongestCheckInterval) * 1000));
    }
    ShowAutoDisconnectTime();
}

void CRouterStatusDlg::HangUpAutomatically() {
    // A window hidden in the notification area is minimised too.
    const bool wasMinimized = host_.IsMinimized();
    if (wasMinimized) {
        RestoreWindow();
    }
    if (!settings.AutoDisconnectDlg || host_.RunAutoDisconnectConfirm() == kIdOk) {
        for (int attempt = 0; attempt < kHangUpAttempts; ++attempt) {
            const int index = router.dialCommandIndex;
            std::string ignored;
            if (index >= 0 && index <= 5 &&
                router.FetchPage(ignored, router.routerAddress, RouterClient::dialCommands[6 + index])) {
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

}  // namespace velmo
