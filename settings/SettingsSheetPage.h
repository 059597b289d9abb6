// The settings sheet's pages as the sheet's windows see them: which template
// each page is drawn from, and every event a page window receives routed to
// the page logic of SettingsPages.h. The platform's sheet only turns its
// messages into these calls.
#pragma once

#include <array>
#include <cstddef>

#include "base/Clock.h"
#include "settings/SettingsPages.h"

namespace velmo {

enum class SettingsPageKind { General, Log, AutoDisconnect, Notify };

class SettingsSheetPage {
  public:
    SettingsSheetPage(SettingsPageKind kind, SettingsPages& pages, Clock& clock)
        : kind_(kind), pages_(&pages), clock_(&clock) {}

    SettingsPageKind Kind() const { return kind_; }
    // The dialog template of the page (which also gives its tab title).
    int TemplateId() const;

    // The page's window was created: the sheet creates it only when the user
    // first opens the page, so a page never opened keeps the values copied in.
    void OnInitDialog(PageControls& controls);
    // A button or check box of the page was clicked: check boxes that govern
    // other controls refresh the page, "選択" and "今の時間を設定" act, every
    // other control (all of "通知") is left to itself.
    void OnClicked(int controlId, PageControls& controls, LogFileChooser& chooser);
    // The page is shown: its controls reload, except the first time, right
    // after OnInitDialog has loaded them.
    void OnSetActive(PageControls& controls);
    // The user leaves the page or confirms the sheet: the controls are read
    // into the page; false (a number that does not read) keeps the user on it.
    bool OnKillActive(PageControls& controls);

  private:
    bool DoDataExchange(Exchange direction, PageControls& controls);

    SettingsPageKind kind_;
    SettingsPages* pages_;
    Clock* clock_;
    bool shownBefore_ = false;
};

// How many pages the sheet shows.
inline constexpr std::size_t kSettingsPageCount = 4;

// The sheet's pages on `pages`, in the order the sheet shows them: "一般",
// "ログ", "自動切断", "通知".
std::array<SettingsSheetPage, kSettingsPageCount> SettingsSheetPages(SettingsPages& pages, Clock& clock);

}  // namespace velmo
