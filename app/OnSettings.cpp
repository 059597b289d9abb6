// The settings sheet as the main window runs it.
#include <string>

#include "app/CRouterStatusDlg.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "settings/SettingsPages.h"

namespace velmo {

namespace {

// String 120 with the settings file's path and the system's reason in its
// two "%s" places.
std::string SaveFailedMessage(const std::string& path, const std::string& reason) {
    return FilledString(IDS_SETTINGS_SAVE_FAILED, {path, reason});
}

}  // namespace

void CRouterStatusDlg::OnSettings() {
    // No refresh, poll, capture or check while the sheet is open (PollPlan);
    // timers 3 and 5 keep running.
    SettingsPages pages = PagesFromSettings(settings);
    if (WithModal(kSettingsOpen, [&] { return host_.RunSettingsSheet(pages); }) == IDOK) {
        ApplySettingsPages(pages, settings);
        lastDisconnectCheck = clock_.Now();  // an occurrence before now never fires
        CopyWorkingSettings();
        if (SpeakSettingsLanguage()) {
            ShowNewLanguage();
        }
        std::string reason;
        if (!SaveSettings(&reason)) {
            // The change stays in memory, so the next save (the latest at
            // exit) can still write it; the user learns that it is not on disk.
            host_.ShowMessage(TableString(IDS_APPNAME), SaveFailedMessage(settingsPath, reason));
        }
    }
    if (closed_) {
        return;  // the tool was closed while the sheet's own loop ran
    }
    // OK or not, the periodic work starts again at once.
    RefreshAll(JobOrigin::User);
    if (settings.UpdateLog) {
        CaptureSystemLog(JobOrigin::User);
    }
    CheckAutoDisconnect();
}

}  // namespace velmo
