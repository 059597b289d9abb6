// The refresh operations of the main window: the full refresh, the status
// poll, the commands and their follow-up window, and the poll rule. Each
// starts a job; the window shows what the job read when its result comes.
#include "app/CRouterStatusDlg.h"
#include "app/Timers.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

void CRouterStatusDlg::RefreshAll(JobOrigin origin, CommandAnswer answer) {
    const bool started =
        Submit(JobKind::Refresh, origin,
               [client = router, &clock = clock_, this, answer](const CancelToken& cancel) {
                   RouterClient copy = client;
                   copy.SetCancel(cancel);
                   RefreshReading reading = ReadAllPages(copy, clock);
                   return [this, reading = std::move(reading), cut = cancel.Cancelled(), answer] {
                       // A refresh cut short by a command shows nothing; the command reads anew.
                       if (!cut) {
                           ShowRefresh(reading, followUp);
                       }
                       RestartRefreshTimer();
                       host_.StopTimer(kTimerStatusPoll);
                       ApplyPollRule();
                       if (answer) {
                           answer(ShownLine());
                       }
                   };
               });
    if (!started && answer) {
        answer({Outcome::Closing, 0});
    }
}

void CRouterStatusDlg::ReadStatus() {
    Submit(JobKind::StatusPoll, JobOrigin::Poll, [client = router, this](const CancelToken& cancel) {
        RouterClient copy = client;
        copy.SetCancel(cancel);
        StatusReading reading = ReadStatusPage(copy);
        return [this, reading = std::move(reading), cut = cancel.Cancelled()] {
            if (!cut) {
                ShowStatus(reading, followUp);
            }
            ApplyPollRule();
        };
    });
}

bool CRouterStatusDlg::SubmitCommand(bool dial, CommandAnswer answer) {
    // The user's own 接続 or 切断 ends a redial; after a 切断 a drop is not
    // redialled for a while.
    if (dial) {
        NoteUserCommand(redial_);
    } else {
        NoteHangUp(redial_, clock_.TickCount());
    }
    return StartLineCommand(dial, std::move(answer));
}

bool CRouterStatusDlg::StartLineCommand(bool dial, CommandAnswer answer) {
    commandChangeSeen_ = false;
    const bool started =
        Submit(JobKind::Command, JobOrigin::User,
               [client = router, &clock = clock_, this, dial, answer](const CancelToken& cancel) {
                   RouterClient copy = client;
                   copy.SetCancel(cancel);
                   CommandReading reading = ConnectCommand(copy, clock, dial);
                   return [this, reading = std::move(reading), dial, answer] {
                       // The refresh ran before the command: what it shows is not the command's doing.
                       ShowCommand(reading, LineCommand::None,
                                   dial ? LineCommand::Connect : LineCommand::Disconnect);
                       AwaitLineChange(reading, dial, answer);
                   };
               });
    if (!started && answer) {
        answer({Outcome::Closing, 0});
    }
    return started;
}

void CRouterStatusDlg::ShowCommand(const CommandReading& reading, LineCommand refreshShows,
                                   LineCommand command) {
    ShowRefresh(reading.refresh, refreshShows);
    RestartRefreshTimer();
    host_.StopTimer(kTimerStatusPoll);
    ApplyPollRule();  // it still sees the follow-up window as it was
    // The follow-up window opens while the router answers; a command to a
    // router that does not answer closes an open one.
    followUp = LineCommand::None;
    host_.StopTimer(kTimerFollowUpEnd);
    if (routerReachable) {
        followUp = command;
        StartTimer(kTimerFollowUpEnd, settings.followUpTime);
    }
}

void CRouterStatusDlg::ShowRefresh(const RefreshReading& reading, LineCommand command) {
    routerReachable = reading.topPageAnswered;
    if (reading.slowAddress) {
        ShowSlowAddress();
    }
    host_.SetFieldText(IDC_MODEL, reading.modelLine);
    ShowStatus(reading.status, command);
    ShowAutoDisconnectTime();
}

void CRouterStatusDlg::ShowSlowAddress() {
    // The address is taken to be wrong: no later refresh reaches it until
    // the user gives another one.
    settings.RutorAddress.clear();
    router.routerAddress = settings.RutorAddress;
    RestoreWindow();
    HoldPolls();
    host_.ShowMessage(TableString(IDS_APPNAME), TableString(IDS_BAD_ADDRESS));
    ResumePolls();
}

void CRouterStatusDlg::ShowStatus(const StatusReading& reading, LineCommand command) {
    if (reading.fetched) {
        router.dialCommandIndex = reading.dialCommandIndex;
    }
    connected = reading.status.connected;
    if (connected) {
        routerReachable = true;  // a status reading never sets it false
    }
    UpdateTrayIcon();
    host_.SetFieldText(IDC_CONNECTION_TIME, reading.status.connectionTime);
    host_.SetFieldText(IDC_MODEM_STATE, reading.status.modemState);
    // A command owns one change: once a reading has shown what it asked for,
    // a later change in its follow-up window (the line back up after 切断 and
    // down again) is news, for the balloons, the record and the redial alike.
    const LineCommand owner = commandChangeSeen_ ? LineCommand::None : command;
    Announce(NoteStatusReading(notifications_,
                               {reading.fetched, connected, reading.status.connectionTime, clock_.TickCount(),
                                lineWentDownAt_, clock_.Now()},
                               owner));
    const SessionEvents events = NoteRecord(reading, owner);
    const bool seenUp = reading.fetched && connected && !reading.status.connectionTime.empty();
    NoteLineEvents(events, seenUp);
    if (reading.fetched && !reading.status.connectionTime.empty() && IsCommandsOwnChange(owner, connected)) {
        commandChangeSeen_ = true;
    }
    NoteLineChange(reading);
}

void CRouterStatusDlg::RestartRefreshTimer() {
    // Timer 1 counts from the end of the latest full reading, whoever asked
    // for it (starting a running timer starts it anew).
    if (settings.UpdateStatusDisconnect) {
        StartPollTimer(kTimerRefresh, settings.UpdateStatusDisconnectTime);
    }
}

// Timer 2 polls the status page while the line is up, and during the
// follow-up window after a command even while it is down.
void CRouterStatusDlg::ApplyPollRule() {
    if (connected && settings.UpdateStatusConnect) {
        StartPollTimer(kTimerStatusPoll, settings.UpdateStatusConnectTime);
    } else if (followUp != LineCommand::None) {
        StartPollTimer(kTimerStatusPoll, settings.followUpPollTime);
    }
}

}  // namespace velmo
