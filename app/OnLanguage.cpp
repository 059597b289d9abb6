// The language the window speaks: the one the settings name, or the Windows
// display language; a change on the settings sheet shows at once.
#include "app/CRouterStatusDlg.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

bool CRouterStatusDlg::SpeakSettingsLanguage() {
    const Language language = ChooseLanguage(settings.Language, host_.DisplayLanguageId());
    if (language == TextLanguage()) {
        return false;
    }
    SetTextLanguage(language);
    return true;
}

void CRouterStatusDlg::ShowOwnTexts() {
    host_.AddAboutItemToSystemMenu("&" + TableString(IDS_ABOUTBOX) + "...");
    host_.AddSystemMenuItem(IDM_HISTORY, TableString(IDS_HISTORY_TITLE));
    host_.AddSystemMenuItem(IDM_LOG_VIEW, TableString(IDS_LOGVIEW_TITLE));
    host_.SetCaption(Caption());
}

// The windows take the new language's layouts and texts; the fields read
// from the router show it with the refresh that follows the sheet.
void CRouterStatusDlg::ShowNewLanguage() {
    host_.ShowLanguage();
    ShowOwnTexts();
    ShowAutoDisconnectTime();
    UpdateTrayIcon();
}

}  // namespace velmo
