// The log capture as the main window runs it: the capture itself lives in
// routerlog and runs as a job; the window raises the access warning it
// reports and announces new access entries and a log file it cannot write.
#include "app/CRouterStatusDlg.h"
#include "app/CaptureLog.h"
#include "app/NotifyIgnore.h"
#include "logview/LogIndex.h"

namespace velmo {

CaptureResult CaptureAndIndexLog(const RouterClient& client, const LogCaptureSettings& settings,
                                 Clock& clock) {
    CaptureResult result = CaptureSystemLog(client, settings, clock);
    if (result.written) {
        // After the capture has let go of the file. Only an index the viewer
        // saved that still matches the file and lacks no more than what
        // captures appended is brought up; none, or any other, is left for
        // the viewer to build, so the capture never reads the whole file (it
        // may run at Windows shutdown, which gives it seconds).
        CatchUpLogIndex(settings.fileName);
    }
    return result;
}

JobRunner::Work CRouterStatusDlg::CaptureJob(CommandAnswer answer) {
    LogCaptureSettings capture;
    capture.fileName = settings.UpdateLogFileName;
    capture.filters = LogFilters{recordLogin, recordLogout, recordSubInfo};
    capture.ledger = logLedger_;
    return [client = router, capture, &clock = clock_, this,
            answer](const CancelToken& cancel) -> JobRunner::Delivery {
        RouterClient copy = client;
        copy.SetCancel(cancel);
        CaptureResult result = CaptureAndIndexLog(copy, capture, clock);
        return [this, result = std::move(result), cut = cancel.Cancelled(), answer] {
            if (!cut) {  // a capture cut short wrote nothing and has nothing to say
                logLedger_ = result.ledger.has_value() ? result.ledger : logLedger_;
                ShowCapture(result);
            }
            if (answer) {
                answer(cut ? CommandResult{Outcome::Closing, 0} : CaptureOutcome(result));
            }
        };
    };
}

void CRouterStatusDlg::CaptureSystemLog(JobOrigin origin, CommandAnswer answer) {
    if (!Submit(JobKind::Capture, origin, CaptureJob(answer)) && answer) {
        answer({Outcome::Closing, 0});
    }
}

void CRouterStatusDlg::ShowCapture(const CaptureResult& written) {
    // Entries of ignored sources are in the file, but raise nothing here.
    const CaptureResult result = WithoutIgnoredAccess(written, ignoredSources_);
    if (result.accessWarning) {
        // A second finding within the warning time starts it again.
        accessWarning = true;
        accessWarningEnds_ = clock_.Tick() + static_cast<std::uint64_t>(settings.accessWarningTime);
        UpdateTrayIcon();
    }
    const bool wasFailing = notifications_.logFileFailing;
    Announce(NoteCapture(notifications_, result, settings.UpdateLogFileName));
    if (notifications_.logFileFailing != wasFailing) {
        UpdateTrayIcon();  // the tooltip says whether the log file can be written
    }
}

}  // namespace velmo
