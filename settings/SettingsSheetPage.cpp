#include "settings/SettingsSheetPage.h"

#include "res/resource.h"

namespace velmo {

int SettingsSheetPage::TemplateId() const {
    switch (kind_) {
        case SettingsPageKind::General:
            return IDD_GENERAL_SETTING;
        case SettingsPageKind::Log:
            return IDD_LOG_SETTING;
        case SettingsPageKind::AutoDisconnect:
            return IDD_AUTODISCONNECT_SETTING;
        case SettingsPageKind::Notify:
            return IDD_NOTIFY_SETTING;
    }
    return 0;
}

bool SettingsSheetPage::DoDataExchange(Exchange direction, PageControls& controls) {
    switch (kind_) {
        case SettingsPageKind::General:
            return pages_->general.DoDataExchange(direction, controls);
        case SettingsPageKind::Log:
            return pages_->log.DoDataExchange(direction, controls);
        case SettingsPageKind::AutoDisconnect:
            return pages_->autoDisconnect.DoDataExchange(direction, controls);
        case SettingsPageKind::Notify:
            return pages_->notify.DoDataExchange(direction, controls);
    }
    return false;
}

void SettingsSheetPage::OnInitDialog(PageControls& controls) {
    if (kind_ == SettingsPageKind::AutoDisconnect) {
        pages_->autoDisconnect.OnInitDialog(controls);
    } else {
        DoDataExchange(Exchange::Load, controls);
    }
}

// The pages' command table.
void SettingsSheetPage::OnClicked(int controlId, PageControls& controls, LogFileChooser& chooser) {
    switch (kind_) {
        case SettingsPageKind::General:
            if (controlId == IDC_UPDATE_CONNECT || controlId == IDC_UPDATE_DISCONNECT) {
                pages_->general.RefreshControls(controls);
            }
            break;
        case SettingsPageKind::Log:
            if (controlId == IDC_UPDATE_LOG) {
                pages_->log.RefreshControls(controls);
            } else if (controlId == IDC_CHOOSE_LOG_FILE) {
                pages_->log.ChooseLogFile(controls, chooser);
            }
            break;
        case SettingsPageKind::AutoDisconnect:
            if (controlId == IDC_AUTO_DISCONNECT || controlId == IDC_SELECT_DAY) {
                pages_->autoDisconnect.RefreshControls(controls);
            } else if (controlId == IDC_SET_NOW) {
                pages_->autoDisconnect.SetNowTime(controls, *clock_);
            }
            break;
        case SettingsPageKind::Notify:
            break;  // its boxes govern no other control
    }
}

void SettingsSheetPage::OnSetActive(PageControls& controls) {
    if (shownBefore_) {
        DoDataExchange(Exchange::Load, controls);
    }
    shownBefore_ = true;
}

bool SettingsSheetPage::OnKillActive(PageControls& controls) {
    return DoDataExchange(Exchange::Save, controls);
}

std::array<SettingsSheetPage, kSettingsPageCount> SettingsSheetPages(SettingsPages& pages, Clock& clock) {
    return {{
        {SettingsPageKind::General, pages, clock},
        {SettingsPageKind::Log, pages, clock},
        {SettingsPageKind::AutoDisconnect, pages, clock},
        {SettingsPageKind::Notify, pages, clock},
    }};
}

}  // namespace velmo
