// The log capture as the main window runs it: the capture itself lives in
// routerlog; the window raises the access warning it reports.
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
}

}  // namespace velmo
