// The refresh operations of the main window: the full refresh, the banner
// and status readings, the poll rule and the command follow-up.
#include "app/CRouterStatusDlg.h"
#include "app/Timers.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "router/StatusPage.h"

namespace velmo {

namespace {

// A top-page fetch that takes longer than this means the address is wrong.
constexpr std::uint64_t kSlowAddressMs = 10000;

}  // namespace

// A page that came late still serves the next reading if it is no older than
// the interval of the readings plus the longest a full refresh blocks (three
// waits): the interval counts from the end of the previous reading, and the
// answer may have arrived early in it. An older page is stale.
std::chrono::milliseconds CRouterStatusDlg::LateAnswerAge(std::int32_t intervalMs) const {
    if (intervalMs < 1) {
        return std::chrono::milliseconds(0);
    }
    return std::chrono::milliseconds(intervalMs) +
           3 * std::chrono::milliseconds(router.fetchWorkers.waitTimeout);
}

std::chrono::milliseconds CRouterStatusDlg::PollLateAnswerAge() const {
    return LateAnswerAge(connected && settings.UpdateStatusConnect ? settings.UpdateStatusConnectTime
                                                                   : settings.followUpPollTime);
}

void CRouterStatusDlg::RefreshAll() {
    // The fetch is timed with a clock that stops while the computer sleeps,
    // so a suspend in the middle of it is not taken for a slow address.
    std::uint64_t started = clock_.UnbiasedMilliseconds();
    const auto lateAge = LateAnswerAge(settings.UpdateStatusDisconnectTime);
    std::string topPage;  // its content is not used
    routerReachable = router.FetchPage(topPage, "", lateAge);
    if (clock_.UnbiasedMilliseconds() - started > kSlowAddressMs) {
        settings.RutorAddress.clear();
        router.routerAddress = settings.RutorAddress;
        RestoreWindow();
        host_.ShowMessage(TableString(IDS_APPNAME), TableString(IDS_BAD_ADDRESS));
    }
    ReadBanner(lateAge);
    ReadStatus(lateAge);
    ShowAutoDisconnectTime();
    host_.StopTimer(kTimerStatusPoll);
    ApplyPollRule();
}

void CRouterStatusDlg::ReadBanner(std::chrono::milliseconds lateAge) {
    std::string page;
    bool fetched = router.FetchPage(page, RouterClient::bannerPage, lateAge);
    host_.SetFieldText(IDC_MODEL, ModelLine(fetched, page, routerReachable));
}

void CRouterStatusDlg::ReadStatus(std::chrono::milliseconds lateAge) {
    std::string page;
    RouterStatus status;  // not fetched: both fields empty, not connected
    const bool fetched = router.FetchPage(page, RouterClient::statusPage, lateAge);
    if (fetched) {
        router.LearnDialCommandIndex(page);
        status = ParseStatusPage(page);
    }
    connected = status.connected;
    if (connected) {
        routerReachable = true;  // a status reading never sets it false
    }
    UpdateTrayIcon();
    host_.SetFieldText(IDC_CONNECTION_TIME, status.connectionTime);
    host_.SetFieldText(IDC_MODEM_STATE, status.modemState);
    Announce(NoteStatusReading(notifications_, {fetched, status.connected, status.connectionTime},
                               followUpActive || commandStarting_));
}

// Timer 2 polls the status page while the line is up, and during the
// follow-up window after a command even while it is down.
void CRouterStatusDlg::ApplyPollRule() {
    if (connected && settings.UpdateStatusConnect) {
        StartTimer(kTimerStatusPoll, settings.UpdateStatusConnectTime);
    } else if (followUpActive) {
        StartTimer(kTimerStatusPoll, settings.followUpPollTime);
    }
}

void CRouterStatusDlg::BeginCommandFollowUp() {
    // The automatic hang-up has sent its command before this refresh: a drop
    // it shows is the command's own, not news for a balloon.
    commandStarting_ = true;
    RefreshAll();  // its poll rule still sees the old follow-up state
    commandStarting_ = false;
    followUpActive = false;
    host_.StopTimer(kTimerFollowUpEnd);
    if (routerReachable) {
        followUpActive = true;
        StartTimer(kTimerFollowUpEnd, settings.followUpTime);
    }
}

}  // namespace velmo
