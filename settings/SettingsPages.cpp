#include "settings/SettingsPages.h"

#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>

#include "base/CodePage.h"
#include "base/FileSystem.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "settings/LogFilePath.h"
#include "settings/NumberField.h"
#include "settings/SettingsTable.h"

namespace velmo {

namespace {

// A page member with its control, by the member's type.
bool ExchangeControl(Exchange direction, PageControls& controls, int id, bool& value) {
    if (direction == Exchange::Save) {
        value = controls.Checked(id);
    } else {
        controls.SetChecked(id, value);
    }
    return true;
}

bool ExchangeControl(Exchange direction, PageControls& controls, int id, std::string& value) {
    if (direction == Exchange::Save) {
        value = controls.Text(id);
    } else {
        controls.SetText(id, value);
    }
    return true;
}

// False, the field reported, when the number does not read.
bool ExchangeControl(Exchange direction, PageControls& controls, int id, float& value) {
    if (direction == Exchange::Load) {
        controls.SetText(id, FormatNumberField(value));
        return true;
    }
    if (!ParseNumberField(controls.Text(id), value)) {
        controls.NumberFieldFailed(id);
        return false;
    }
    return true;
}

// The pickers of a moment are the page's own.
bool ExchangeControl(Exchange, PageControls&, int, DateTime&) {
    return true;
}

// The fields the table puts on `page`, in the table's order; the save
// direction stops at the first number that does not read.
template <class Page>
bool ExchangeFields(Page& page, Exchange direction, PageControls& controls) {
    for (const SettingRow& row : kSettingRows) {
        const auto* field = std::get_if<PageField<Page>>(&row.page);
        if (field == nullptr) {
            continue;
        }
        const auto exchange = [&](auto member) {
            return ExchangeControl(direction, controls, field->control, page.*member);
        };
        if (!std::visit(exchange, field->member)) {
            return false;
        }
    }
    return true;
}

template <class Page, class Pages>
auto& PageOf(Pages& pages, const PageField<Page>&) {
    if constexpr (std::is_same_v<Page, CPropGeneralSetting>) {
        return pages.general;
    } else if constexpr (std::is_same_v<Page, CPropLogSetting>) {
        return pages.log;
    } else if constexpr (std::is_same_v<Page, CPropAutoDisconnectSetting>) {
        return pages.autoDisconnect;
    } else {
        return pages.notify;
    }
}

// The record's value a row fills, as the type `Value` (a scrambled text is a
// text in the record).
template <class Value, class Settings>
auto& RecordValue(const RecordMember& member, Settings& settings) {
    if constexpr (std::is_same_v<Value, std::string>) {
        if (const auto* scrambled = std::get_if<Scrambled>(&member)) {
            return settings.*scrambled->member;
        }
    }
    return settings.*std::get<Value ToolSettings::*>(member);
}

// A page shows a time, held in milliseconds, as a float in its unit.
template <class Shown>
using StoredAs = std::conditional_t<std::is_same_v<Shown, float>, std::int32_t, Shown>;

// GCC's optimiser (mingw, -O2) follows the visits below into alternatives a
// row does not hold, and then warns that a text is written into a check
// box's bool; the variant's index rules that path out.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#endif
template <class Value>
void Copy(const Value& from, Value& to, PageUnit) {
    to = from;
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
void Copy(std::int32_t milliseconds, float& shown, PageUnit unit) {
    shown =
        unit == PageUnit::Minutes ? MillisecondsToMinutes(milliseconds) : MillisecondsToSeconds(milliseconds);
}
void Copy(float shown, std::int32_t& milliseconds, PageUnit unit) {
    milliseconds = unit == PageUnit::Minutes ? MinutesToMilliseconds(shown) : SecondsToMilliseconds(shown);
}

// Calls `copy(recordValue, pageValue, unit)` for every field the table puts on a page.
template <class Settings, class Pages, class CopyFunction>
void ForEachPageField(Settings& settings, Pages& pages, CopyFunction copy) {
    for (const SettingRow& row : kSettingRows) {
        std::visit(
            [&]<class Field>(const Field& field) {
                if constexpr (!std::is_same_v<Field, std::monostate>) {
                    std::visit(
                        [&](auto member) {
                            auto& shown = PageOf(pages, field).*member;
                            using Shown = std::remove_cvref_t<decltype(shown)>;
                            copy(RecordValue<StoredAs<Shown>>(row.member, settings), shown, field.unit);
                        },
                        field.member);
                }
            },
            row.page);
    }
}

}  // namespace

bool CPropGeneralSetting::DoDataExchange(Exchange direction, PageControls& controls) {
    if (direction == Exchange::Load) {
        controls.SetChoices(IDC_LANGUAGE, kLanguageChoices);
    }
    if (!ExchangeFields(*this, direction, controls)) {
        return false;
    }
    if (direction == Exchange::Load) {
        controls.Enable(IDC_UPDATE_CONNECT_SECONDS, UpdateStatusConnect);
        controls.Enable(IDC_UPDATE_DISCONNECT_SECONDS, UpdateStatusDisconnect);
    }
    return true;
}

void CPropGeneralSetting::RefreshControls(PageControls& controls) {
    if (DoDataExchange(Exchange::Save, controls)) {
        DoDataExchange(Exchange::Load, controls);
    }
}

bool CPropLogSetting::DoDataExchange(Exchange direction, PageControls& controls) {
    if (!ExchangeFields(*this, direction, controls)) {
        return false;
    }
    if (direction == Exchange::Load) {
        for (int id : {IDC_RECORD_LOGIN, IDC_RECORD_LOGOUT, IDC_RECORD_SUBINFO, IDC_UPDATE_LOG_MINUTES,
                       IDC_LOG_FILE_NAME, IDC_CHOOSE_LOG_FILE}) {
            controls.Enable(id, UpdateLog);
        }
    }
    return true;
}

void CPropLogSetting::RefreshControls(PageControls& controls) {
    if (DoDataExchange(Exchange::Save, controls)) {
        DoDataExchange(Exchange::Load, controls);
    }
}

void CPropLogSetting::ChooseLogFile(PageControls& controls, LogFileChooser& chooser) {
    if (!DoDataExchange(Exchange::Save, controls)) {
        return;
    }
    const std::string currentDirectory = CurrentDirectoryWithSeparator();
    std::string initialDirectory = InitialDirectoryFor(UpdateLogFileName, currentDirectory, kPathSeparator);
    std::string fileName = FitFileNameBuffer(UpdateLogFileName);
    if (chooser.ChooseSaveFile(initialDirectory, fileName)) {
        UpdateLogFileName = fileName;
    }
    UpdateLogFileName = RelativeToDirectory(UpdateLogFileName, currentDirectory);
    // The dialog may have moved the process's current directory: put it back.
    if (!currentDirectory.empty()) {
        ChangeCurrentDirectory(currentDirectory);
    }
    DoDataExchange(Exchange::Load, controls);
}

bool CPropAutoDisconnectSetting::DoDataExchange(Exchange direction, PageControls& controls) {
    if (!ExchangeFields(*this, direction, controls)) {
        return false;
    }
    if (direction == Exchange::Load) {
        controls.Enable(IDC_SELECT_DAY, AutoDisconnect);
        controls.Enable(IDC_TIME_PICKER, AutoDisconnect);
        controls.Enable(IDC_SET_NOW, AutoDisconnect);
        controls.Enable(IDC_DATE_PICKER, AutoDisconnect && AutoDisconnectSelectDay);
        controls.Enable(IDC_CONFIRM_FIRST, true);
    } else {
        CalendarTime date = controls.PickerTime(IDC_DATE_PICKER).Calendar();
        CalendarTime time = controls.PickerTime(IDC_TIME_PICKER).Calendar();
        AutoDisconnectTime =
            DateTime::FromParts(date.year, date.month, date.day, time.hour, time.minute, time.second);
    }
    return true;
}

void CPropAutoDisconnectSetting::RefreshControls(PageControls& controls) {
    if (DoDataExchange(Exchange::Save, controls)) {
        DoDataExchange(Exchange::Load, controls);
    }
}

bool CPropAutoDisconnectSetting::OnInitDialog(PageControls& controls) {
    DoDataExchange(Exchange::Load, controls);
    controls.SetPickerFormat(IDC_DATE_PICKER, TableString(IDS_DATE_PICKER_FORMAT));
    controls.SetPickerFormat(IDC_TIME_PICKER, TableString(IDS_TIME_PICKER_FORMAT));
    controls.SetPickerTime(IDC_DATE_PICKER, AutoDisconnectTime);
    controls.SetPickerTime(IDC_TIME_PICKER, AutoDisconnectTime);
    return true;
}

void CPropAutoDisconnectSetting::SetNowTime(PageControls& controls, Clock& clock) {
    if (!DoDataExchange(Exchange::Save, controls)) {
        return;
    }
    controls.SetPickerTime(IDC_DATE_PICKER, clock.Now());
    controls.SetPickerTime(IDC_TIME_PICKER, clock.Now());
    DoDataExchange(Exchange::Load, controls);
}

bool CPropNotifySetting::DoDataExchange(Exchange direction, PageControls& controls) {
    if (!ExchangeFields(*this, direction, controls)) {
        return false;
    }
    ExchangeControl(direction, controls, IDC_START_WITH_WINDOWS, StartWithWindows);
    if (direction == Exchange::Load) {
        controls.SetText(IDC_STARTUP_NOTE, StartupTurnedOff ? TableString(IDS_STARTUP_TURNED_OFF) : "");
    }
    return true;
}

SettingsPages PagesFromSettings(const ToolSettings& settings) {
    SettingsPages pages;
    ForEachPageField(settings, pages,
                     [](const auto& stored, auto& shown, PageUnit unit) { Copy(stored, shown, unit); });
    return pages;
}

void ApplySettingsPages(const SettingsPages& pages, ToolSettings& settings) {
    ForEachPageField(settings, pages,
                     [](auto& stored, const auto& shown, PageUnit unit) { Copy(shown, stored, unit); });
    DeriveFromStoredValues(settings);
}

}  // namespace velmo
