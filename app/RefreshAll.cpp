// The refresh operations of the main window: the full refresh, the status
// poll, the commands and their follow-up window. Each starts a job; the
// window shows what the job read when its result comes.
#include "app/CRouterStatusDlg.h"
#include "app/CommandOnce.h"
#include "history/RunningTime.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

void CRouterStatusDlg::RefreshAll(JobOrigin origin, CommandAnswer answer) {
    const bool started = Submit(JobKind::Refresh, origin,
                                [client = router, &clock = clock_, this, answer](const CancelToken& cancel) {
                                    RouterClient copy = client;
                                    copy.SetCancel(cancel);
                                    const std::uint64_t asked = clock.Tick();
                                    RefreshReading reading = ReadAllPages(copy, clock);
                                    LineReading moment = ReadingMoment(clock, asked);
                                    return [this, reading = std::move(reading), moment = std::move(moment),
                                            cut = cancel.Cancelled(), answer] {
                                        // A refresh cut short by a command shows nothing; the command reads
                                        // anew.
                                        if (!cut) {
                                            ShowRefresh(reading, moment, true);
                                        }
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
    Submit(JobKind::StatusPoll, JobOrigin::Poll,
           [client = router, &clock = clock_, this](const CancelToken& cancel) {
               RouterClient copy = client;
               copy.SetCancel(cancel);
               const std::uint64_t asked = clock.Tick();
               StatusReading reading = ReadStatusPage(copy);
               LineReading moment = ReadingMoment(clock, asked);
               return [this, reading = std::move(reading), moment = std::move(moment),
                       cut = cancel.Cancelled()] {
                   if (!cut) {
                       ShowStatus(reading, moment);
                   }
               };
           });
}

bool CRouterStatusDlg::StartLineCommand(LineCommand command, CommandAnswer answer, bool redialTry) {
    const PlannedCommand planned =
        PlanCommand(line_, command, clock_.Now(), clock_.Tick(), clock_.BootId(), redialTry);
    if (planned.plan == CommandPlan::Skip) {
        return false;
    }
    if (planned.replaced) {
        AnswerLineWaiters(ShownLine());  // the command it replaces hears the line as it is
    }
    if (answer) {
        lineWaiters_.push_back(std::move(answer));
    }
    if (planned.plan == CommandPlan::Join) {
        return true;  // its answer waits for the same change
    }
    WriteRecord({});  // the command is written down before it is sent
    askedFlight_ = planned.flight;
    const bool dial = command == LineCommand::Connect;
    const bool started =
        Submit(JobKind::Command, JobOrigin::User,
               [client = router, &clock = clock_, this, dial, command,
                flight = planned.flight](const CancelToken& cancel) {
                   RouterClient copy = client;
                   copy.SetCancel(cancel);
                   // A command the opposite one replaced before its turn sends nothing.
                   LineCommandReading done =
                       ReadThenCommand(copy, clock, dial, [this, flight] { return askedFlight_ == flight; });
                   if (!done.dropped && !done.alreadyUp) {
                       triedFlight_ = flight;
                   }
                   return [this, done = std::move(done), command, flight] {
                       if (done.dropped) {
                           NoteCommandDone(line_, flight, false, false, clock_.Tick());
                           return;
                       }
                       // The refresh ran before the command: what it shows is not the command's doing.
                       ShowCommand(done.command, done.moment, command, flight, !done.alreadyUp, false);
                   };
               });
    if (!started) {
        NoteCommandDone(line_, planned.flight, false, false, clock_.Tick());
        AnswerLineWaiters({Outcome::Closing, 0});
    }
    return started;
}

void CRouterStatusDlg::ShowCommand(const CommandReading& reading, const LineReading& moment,
                                   LineCommand command, std::uint64_t flight, bool sent, bool refreshAfter) {
    const StatusReading& before = reading.refresh.status;
    const bool asAsked = !refreshAfter && before.fetched && !before.status.connectionTime.empty() &&
                         before.status.connected == (command == LineCommand::Connect);
    const bool settled = NoteCommandDone(line_, flight, sent, reading.sent, clock_.Tick(), asAsked);
    ShowRefresh(reading.refresh, moment, refreshAfter);
    if (settled) {
        // A dial that found the line up answers with the line; a command the router did not answer says so.
        AnswerLineWaiters(sent ? CommandNotSent(reading).value_or(ShownLine()) : ShownLine());
    }
    // The follow-up window opens while the router answers; a command to a
    // router that does not answer closes an open one.
    followUp = LineCommand::None;
    followUpEnds_.reset();
    if (routerReachable) {
        followUp = command;
        followUpEnds_ = clock_.Tick() + static_cast<std::uint64_t>(settings.followUpTime);
    }
}

void CRouterStatusDlg::ShowRefresh(const RefreshReading& reading, const LineReading& moment,
                                   bool commandMayOwn) {
    if (!reading.topPageAnswered && NetworkAway()) {
        return;  // the computer sleeps or its network comes back: the router said nothing yet
    }
    routerReachable = reading.topPageAnswered;
    if (reading.slowAddress) {
        ShowSlowAddress();
    }
    host_.SetFieldText(IDC_MODEL, reading.modelLine);
    ShowStatus(reading.status, moment, commandMayOwn);
    ShowAutoDisconnectTime();
}

void CRouterStatusDlg::ShowSlowAddress() {
    // The address is taken to be wrong: no later refresh reaches it until
    // the user gives another one.
    settings.RutorAddress.clear();
    router.routerAddress = settings.RutorAddress;
    RestoreWindow();
    slowAddressToShow_ = true;
}

void CRouterStatusDlg::ShowStatus(const StatusReading& reading, const LineReading& moment,
                                  bool commandMayOwn) {
    if (!reading.fetched && NetworkAway()) {
        return;  // the computer sleeps or its network comes back: not the router's silence
    }
    if (reading.fetched) {
        router.dialCommandIndex = reading.dialCommandIndex;
    }
    const LineResult result = NoteReading(line_, WithStatus(moment, reading), Limits(), commandMayOwn);
    if (line_.shownUp) {
        routerReachable = true;  // a status reading never sets it false
    }
    WriteRecord(result.ended);
    UpdateTrayIcon();
    host_.SetFieldText(IDC_CONNECTION_TIME, ShownRunningTime(reading.status.connectionTime));
    host_.SetFieldText(IDC_MODEM_STATE, reading.status.modemState);
    Announce(LineBalloon(result));
    if (result.commandSettled) {
        AnswerLineWaiters(ShownLine());
    }
}

}  // namespace velmo
