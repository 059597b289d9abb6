// The log capture as the main window runs it: the capture itself lives in
// routerlog; the window raises the access warning it reports and announces
// new access entries and a log file it cannot write.
#include "routerlog/LogCapture.h"
#include "app/CRouterStatusDlg.h"
#include "app/Timers.h"

namespace velmo {

void CRouterStatusDlg::CaptureSystemLog() {
    LogCaptureSettings capture;
    capture.fileName = settings.UpdateLogFileName;
    capture.filters = LogFilters{recordLogin, recordLogout, recordSubInfo};
    CaptureResult result = velmo::CaptureSystemLog(router, capture, clock_);
    if (result.accessWarning) {
        // A second finding within the warning time starts it again.
        host_.StopTimer(kTimerAccessWarningEnd);
        accessWarning = true;
        UpdateTrayIcon();
        StartTimer(kTimerAccessWarningEnd, settings.accessWarningTime);
    }
    const bool wasFailing = notifications_.logFileFailing;
    Announce(NoteCapture(notifications_, result, settings.UpdateLogFileName));
    if (notifications_.logFileFailing != wasFailing) {
        UpdateTrayIcon();  // the tooltip says whether the log file can be written
    }
}

}  // namespace velmo
