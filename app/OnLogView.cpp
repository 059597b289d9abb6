// The ログを見る window (tray menu item and system menu item) on the log
// archive the settings name, and the sources the user stops being warned of
// from it.
#include <algorithm>

#include "app/CRouterStatusDlg.h"
#include "app/NotifyIgnore.h"

namespace velmo {

void CRouterStatusDlg::OnShowLogView() {
    host_.ShowLogView(settings.UpdateLogFileName,
                      [this](const std::string& source) { IgnoreSource(source); });
}

void CRouterStatusDlg::IgnoreSource(const std::string& source) {
    const std::vector<std::string> ignored = IgnoredSources(settings.NotifyIgnore);
    if (source.empty() || std::find(ignored.begin(), ignored.end(), source) != ignored.end()) {
        return;
    }
    settings.NotifyIgnore += settings.NotifyIgnore.empty() ? source : " " + source;
    ignoredSources_ = IgnoredSources(settings.NotifyIgnore);
    SaveSettings();  // a failed write is tried again at exit
}

}  // namespace velmo
