// The auto-disconnect as the main window runs it: the schedule decides
// (autodisconnect/AutoDisconnectSchedule.h); the window hangs up, asks first
// when the user wants that, arms timer 6 and shows the set moment.
#include "app/CRouterStatusDlg.h"
#include "app/CommandOnce.h"
#include "autodisconnect/AutoDisconnectSchedule.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

void CRouterStatusDlg::CheckAutoDisconnect() {
    autoDisconnectDue_.reset();
    if (!settings.AutoDisconnect) {
        return;  // field 1009 is left to the next full refresh
    }
    const DateTime now = clock_.Now();  // one "now" for the whole run
    const ScheduleDecision plan = PlanAutoDisconnect(
        {!settings.AutoDisconnectSelectDay, settings.AutoDisconnectTime, lastDisconnectCheck, now});
    // The moment moves on to the next one; the hang-up's own refresh shows it.
    lastDisconnectCheck = now;
    settings.AutoDisconnectTime = plan.nextMoment;
    if (plan.switchOff) {
        settings.AutoDisconnect = false;  // the file follows at the next save
    }
    if (settings.AutoDisconnect) {
        autoDisconnectDue_ = clock_.Tick() + plan.delayMs;
    }
    ShowAutoDisconnectTime();
    if (plan.hangUp) {
        HangUpAutomatically();
    }
    ApplyTimers();
}

void CRouterStatusDlg::HangUpAutomatically() {
    if (questionOpen_) {
        return;  // the question up now answers for this moment too
    }
    // A window hidden in the notification area is minimised too; it is shown
    // while the tool asks and hangs up, and hidden again when the hang-up has
    // been read or the question was answered no.
    const bool wasMinimized = host_.IsMinimized();
    if (wasMinimized) {
        RestoreWindow();
    }
    if (settings.AutoDisconnectDlg) {
        // The window goes on while the question is up; the polls wait for its answer.
        questionOpen_ = wasMinimized;
        host_.OpenAutoDisconnectConfirm();
        return;
    }
    SendAutomaticHangUp(wasMinimized);
}

void CRouterStatusDlg::OnAutoDisconnectAnswer(bool goAhead) {
    if (!questionOpen_) {
        return;  // no question of this window's is open
    }
    const bool wasMinimized = *questionOpen_;
    questionOpen_.reset();
    if (goAhead) {
        SendAutomaticHangUp(wasMinimized);
    } else if (wasMinimized) {
        MinimizeWindow();
    }
    ApplyTimers();
}

void CRouterStatusDlg::SendAutomaticHangUp(bool wasMinimized) {
    // The hang-up is written down before it is sent; a 切断 in flight already takes the line down.
    const PlannedCommand planned =
        PlanCommand(line_, LineCommand::AutoDisconnect, clock_.Now(), clock_.Tick(), clock_.BootId());
    if (planned.plan != CommandPlan::Send) {
        return;
    }
    AnswerLineWaiters(ShownLine());  // a 接続 it replaces hears the line as it is
    WriteRecord({});
    Submit(JobKind::Command, JobOrigin::User,
           [client = router, &clock = clock_, this, wasMinimized,
            flight = planned.flight](const CancelToken& cancel) -> JobRunner::Delivery {
               RouterClient copy = client;
               copy.SetCancel(cancel);
               const std::uint64_t asked = clock.Tick();
               CommandReading reading = AutomaticHangUp(copy, clock);
               LineReading moment = ReadingMoment(clock, asked);
               return [this, reading = std::move(reading), moment = std::move(moment), wasMinimized, flight] {
                   // The refresh ran after the hang-up: the drop it shows is the command's own.
                   ShowCommand(reading, moment, LineCommand::AutoDisconnect, flight, true, true);
                   if (wasMinimized) {
                       MinimizeWindow();
                   }
               };
           });
}

void CRouterStatusDlg::ShowAutoDisconnectTime() {
    std::string text = TableString(IDS_NOT_SET);
    if (settings.AutoDisconnect) {
        text = settings.AutoDisconnectTime.Format(TableString(IDS_DATETIME_FORMAT));
    }
    host_.SetFieldText(IDC_AUTODISCONNECT_TIME, text);
}

}  // namespace velmo
