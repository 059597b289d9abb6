// The log capture as the main window runs it: the capture itself lives in
// routerlog and runs as a job; the window raises the access warning it
// reports and announces new access entries and a log file it cannot write.
#include "routerlog/LogCapture.h"
#include "app/CRouterStatusDlg.h"
#include "app/NotifyIgnore.h"

namespace velmo {

JobRunner::Work CRouterStatusDlg::CaptureJob(CommandAnswer answer) {
    LogCaptureSettings capture;
    capture.fileName = settings.UpdateLogFileName;
    capture.filters = LogFilters{recordLogin, recordLogout, recordSubInfo};
    capture.newestFirst = logNewestFirst_;
    return [client = router, capture, &clock = clock_, this,
            answer](const CancelToken& cancel) -> JobRunner::Delivery {
        RouterClient copy = client;
        copy.SetCancel(cancel);
        CaptureResult result = velmo::CaptureSystemLog(copy, capture, clock);
        return [this, result = std::move(result), cut = cancel.Cancelled(), answer] {
            if (!cut) {  // a capture cut short wrote nothing and has nothing to say
                logNewestFirst_ =
                    result.listedNewestFirst.has_value() ? result.listedNewestFirst : logNewestFirst_;
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
