// The settings, one row each: the key as the settings file spells it, the
// record's member it fills (whose type says how its text is read and
// written), the text a missing key reads as, the page member and control that
// edit it, the feature a bad value switches off and how much of the value is
// read. Loading, saving, the pages' copies of the record and their exchange
// with the controls all follow the rows, in the rows' order, which is the
// order of the keys in the file. A new key is a new row (and its member in
// the record, and on its page).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "base/DateTime.h"
#include "res/resource.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsPages.h"
#include "settings/ToolSettings.h"

namespace velmo {

// A text held in clear in the record and scrambled in the file (PasswordScramble.h).
struct Scrambled {
    std::string ToolSettings::*member;
};

// The member a key fills. A flag is written "0" or "1" and is on when the
// atoi reading of its text is not 0; a time is atoi's number of
// milliseconds; a text is kept as read; a moment is written with
// kDateTimeFormat (empty for none) and is none when its text does not read.
using RecordMember = std::variant<bool ToolSettings::*, std::int32_t ToolSettings::*,
                                  std::string ToolSettings::*, Scrambled, DateTime ToolSettings::*>;

// The unit in which a page shows a time (a float member); the record holds milliseconds.
enum class PageUnit { Seconds, Minutes };

// The member of a page that holds a setting while the sheet is open, and the
// control showing it: a check box for a flag, an edit for a text or a time. A
// moment is shown by the page's own pickers, which the page reads itself.
template <class Page>
struct PageField {
    std::variant<bool Page::*, std::string Page::*, float Page::*, DateTime Page::*> member;
    int control = 0;
    PageUnit unit = PageUnit::Seconds;
};

// No page edits the setting, or the field on one of the sheet's pages.
using PageBinding = std::variant<std::monostate, PageField<CPropGeneralSetting>, PageField<CPropLogSetting>,
                                 PageField<CPropAutoDisconnectSetting>, PageField<CPropNotifySetting>>;

template <class Page, class Value>
constexpr PageBinding OnPage(Value Page::*member, int control, PageUnit unit = PageUnit::Seconds) {
    return PageField<Page>{member, control, unit};
}

// A value read whole. The scrambled text of a password longer than 167 bytes
// exceeds the usual value limit and would be cut, losing the password; this
// limit holds the scrambled text of a password of up to 174760 bytes.
inline constexpr std::size_t kWholeValue = 1024 * 1024;

struct SettingRow {
    const char* key;
    RecordMember member;
    const char* defaultText;  // what a missing key reads as
    PageBinding page = {};
    // The flag of the feature the value belongs to: a time below 1 switches
    // it off and stays as it is; a moment that does not read when loaded
    // switches it off and becomes the moment of loading.
    bool ToolSettings::*feature = nullptr;
    std::size_t maxBytes = kProfileValueLimit;  // the most bytes of the value read
};

inline constexpr SettingRow kSettingRows[] = {
    // "Rutor" is the key's spelling in every settings file.
    {"RutorAddress", &ToolSettings::RutorAddress, kFactoryRouterAddress,
     OnPage(&CPropGeneralSetting::RutorAddress, IDC_ROUTER_ADDRESS)},
    // An empty password is written as an empty value; a text that does not
    // decode reads as the empty password.
    {"RootPasswd", Scrambled{&ToolSettings::RootPasswd}, "",
     OnPage(&CPropGeneralSetting::RootPasswd, IDC_ROOT_PASSWORD), nullptr, kWholeValue},
    {"InitMinimize", &ToolSettings::InitMinimize, "1",
     OnPage(&CPropGeneralSetting::InitMinimize, IDC_INIT_MINIMIZE)},
    // The connected pair comes before the disconnected pair.
    {"UpdateStatusConnect", &ToolSettings::UpdateStatusConnect, "1",
     OnPage(&CPropGeneralSetting::UpdateStatusConnect, IDC_UPDATE_CONNECT)},
    {"UpdateStatusConnectTime", &ToolSettings::UpdateStatusConnectTime, "3000",
     OnPage(&CPropGeneralSetting::UpdateStatusConnectSeconds, IDC_UPDATE_CONNECT_SECONDS, PageUnit::Seconds),
     &ToolSettings::UpdateStatusConnect},
    {"UpdateStatusDisconnect", &ToolSettings::UpdateStatusDisconnect, "1",
     OnPage(&CPropGeneralSetting::UpdateStatusDisconnect, IDC_UPDATE_DISCONNECT)},
    {"UpdateStatusDisconnectTime", &ToolSettings::UpdateStatusDisconnectTime, "10000",
     OnPage(&CPropGeneralSetting::UpdateStatusDisconnectSeconds, IDC_UPDATE_DISCONNECT_SECONDS,
            PageUnit::Seconds),
     &ToolSettings::UpdateStatusDisconnect},
    {"UpdateLog", &ToolSettings::UpdateLog, "0", OnPage(&CPropLogSetting::UpdateLog, IDC_UPDATE_LOG)},
    {"UpdateLogTime", &ToolSettings::UpdateLogTime, "600000",
     OnPage(&CPropLogSetting::UpdateLogMinutes, IDC_UPDATE_LOG_MINUTES, PageUnit::Minutes),
     &ToolSettings::UpdateLog},
    {"UpdateLogFileName", &ToolSettings::UpdateLogFileName, "syslog.txt",
     OnPage(&CPropLogSetting::UpdateLogFileName, IDC_LOG_FILE_NAME)},
    {"UpdateLogRecordLogIn", &ToolSettings::UpdateLogRecordLogIn, "1",
     OnPage(&CPropLogSetting::UpdateLogRecordLogIn, IDC_RECORD_LOGIN)},
    {"UpdateLogRecordLogOut", &ToolSettings::UpdateLogRecordLogOut, "1",
     OnPage(&CPropLogSetting::UpdateLogRecordLogOut, IDC_RECORD_LOGOUT)},
    {"UpdateLogRecordSubInfo", &ToolSettings::UpdateLogRecordSubInfo, "1",
     OnPage(&CPropLogSetting::UpdateLogRecordSubInfo, IDC_RECORD_SUBINFO)},
    {"AutoDisconnect", &ToolSettings::AutoDisconnect, "0",
     OnPage(&CPropAutoDisconnectSetting::AutoDisconnect, IDC_AUTO_DISCONNECT)},
    {"AutoDisconnectSelectDay", &ToolSettings::AutoDisconnectSelectDay, "1",
     OnPage(&CPropAutoDisconnectSetting::AutoDisconnectSelectDay, IDC_SELECT_DAY)},
    // The date picker, with the time picker beside it. The empty default never
    // reads: without the key auto-disconnect is off, set to the moment of loading.
    {"AutoDisconnectTime", &ToolSettings::AutoDisconnectTime, "",
     OnPage(&CPropAutoDisconnectSetting::AutoDisconnectTime, IDC_DATE_PICKER), &ToolSettings::AutoDisconnect},
    {"AutoDisconnectDlg", &ToolSettings::AutoDisconnectDlg, "0",
     OnPage(&CPropAutoDisconnectSetting::AutoDisconnectDlg, IDC_CONFIRM_FIRST)},
    // The keys below came after the first seventeen: a file without them loads
    // with their defaults, and an older version reading a newer file passes
    // over them.
    {"NotifyAccess", &ToolSettings::NotifyAccess, "1",
     OnPage(&CPropNotifySetting::NotifyAccess, IDC_NOTIFY_ACCESS)},
    {"NotifyLine", &ToolSettings::NotifyLine, "1", OnPage(&CPropNotifySetting::NotifyLine, IDC_NOTIFY_LINE)},
    // The ignore list is kept as written, however long.
    {"NotifyIgnore", &ToolSettings::NotifyIgnore, "",
     OnPage(&CPropNotifySetting::NotifyIgnore, IDC_NOTIFY_IGNORE), nullptr, kWholeValue},
    {"AutoRedial", &ToolSettings::AutoRedial, "0", OnPage(&CPropNotifySetting::AutoRedial, IDC_AUTO_REDIAL)},
    // Set by the tray menu's mute, on no page; empty: not muted.
    {"NotifyMuteUntil", &ToolSettings::NotifyMuteUntil, ""},
    // The language the tool speaks (kLanguageChoices); a value this version
    // does not know reads as "auto".
    {"Language", &ToolSettings::Language, "auto", OnPage(&CPropGeneralSetting::Language, IDC_LANGUAGE)},
};

// What follows from the stored values, after a load and after the sheet: a
// feature whose time is below 1 is off (the time stays as it is), and the
// derived timings.
void DeriveFromStoredValues(ToolSettings& settings);

}  // namespace velmo
