// The settings sheet as the main window runs it.
#include "app/CRouterStatusDlg.h"
#include "app/Timers.h"
#include "settings/SettingsPages.h"

namespace velmo {

void CRouterStatusDlg::OnSettings() {
    // No refresh, poll, capture or check while the sheet is open; timers 3
    // and 5 keep running.
    for (int timerId : {kTimerRefresh, kTimerStatusPoll, kTimerLogCapture, kTimerAutoDisconnect}) {
        host_.StopTimer(timerId);
    }
    SettingsPages pages = PagesFromSettings(settings);
    if (host_.RunSettingsSheet(pages) == IDOK) {
        ApplySettingsPages(pages, settings);
        lastDisconnectCheck = clock_.Now();  // an occurrence before now never fires
        settings.AutoDisconnectDlg = pages.autoDisconnect.AutoDisconnectDlg;
        CopyWorkingSettings();
        SaveSettings();
    }
    // OK or not, the periodic work starts again.
    RefreshAll();
    if (settings.UpdateStatusDisconnect) {
        StartTimer(kTimerRefresh, settings.UpdateStatusDisconnectTime);
    }
    if (settings.UpdateLog) {
        CaptureSystemLog();
        StartTimer(kTimerLogCapture, settings.UpdateLogTime);
    }
    CheckAutoDisconnect();
}

}  // namespace velmo
