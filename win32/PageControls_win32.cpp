#include "win32/PageControls_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "base/Wide_win32.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "settings/LogFilePath.h"

namespace velmo {

namespace {

// A drop-down list keeps each item's value as the item's data.
bool IsDropDownList(HWND control) {
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    return lstrcmpiW(className, WC_COMBOBOXW) == 0;
}

}  // namespace

void Win32PageControls::SetChoices(int controlId, std::span<const Choice> choices) {
    HWND list = GetDlgItem(page_, controlId);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const Choice& choice : choices) {
        const std::wstring text = SjisToWide(TableString(choice.textId));
        const LRESULT index = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(choice.value));
    }
}

std::string Win32PageControls::Text(int controlId) {
    HWND control = GetDlgItem(page_, controlId);
    if (control != nullptr && IsDropDownList(control)) {
        const LRESULT index = SendMessageW(control, CB_GETCURSEL, 0, 0);
        const LRESULT data = index == CB_ERR ? CB_ERR : SendMessageW(control, CB_GETITEMDATA, index, 0);
        return data == CB_ERR ? std::string() : reinterpret_cast<const char*>(data);
    }
    const int length = control != nullptr ? GetWindowTextLengthW(control) : 0;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = length > 0 ? GetWindowTextW(control, text.data(), length + 1) : 0;
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return WideToSjis(text);
}

void Win32PageControls::SetText(int controlId, const std::string& text) {
    HWND control = GetDlgItem(page_, controlId);
    if (control != nullptr && IsDropDownList(control)) {
        const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
        LRESULT selected = 0;
        for (LRESULT index = 0; index < count; ++index) {
            const LRESULT data = SendMessageW(control, CB_GETITEMDATA, index, 0);
            if (data != CB_ERR && text == reinterpret_cast<const char*>(data)) {
                selected = index;
            }
        }
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        return;
    }
    SetDlgItemTextW(page_, controlId, SjisToWide(text).c_str());
}

bool Win32PageControls::Checked(int controlId) {
    return IsDlgButtonChecked(page_, controlId) == BST_CHECKED;
}

void Win32PageControls::SetChecked(int controlId, bool checked) {
    CheckDlgButton(page_, controlId, checked ? BST_CHECKED : BST_UNCHECKED);
}

void Win32PageControls::Enable(int controlId, bool enabled) {
    if (HWND control = GetDlgItem(page_, controlId)) {
        EnableWindow(control, enabled ? TRUE : FALSE);
    }
}

DateTime Win32PageControls::PickerTime(int controlId) {
    SYSTEMTIME time{};
    if (SendDlgItemMessageW(page_, controlId, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) !=
        GDT_VALID) {
        return DateTime::Invalid();
    }
    return DateTime::FromParts(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
}

void Win32PageControls::SetPickerTime(int controlId, const DateTime& time) {
    if (!time.IsValid()) {
        return;  // the picker keeps what it shows
    }
    const CalendarTime parts = time.Calendar();
    SYSTEMTIME value{};
    value.wYear = static_cast<WORD>(parts.year);
    value.wMonth = static_cast<WORD>(parts.month);
    value.wDayOfWeek = static_cast<WORD>(parts.dayOfWeek);
    value.wDay = static_cast<WORD>(parts.day);
    value.wHour = static_cast<WORD>(parts.hour);
    value.wMinute = static_cast<WORD>(parts.minute);
    value.wSecond = static_cast<WORD>(parts.second);
    SendDlgItemMessageW(page_, controlId, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value));
}

void Win32PageControls::SetPickerFormat(int controlId, const std::string& format) {
    const std::wstring wide = SjisToWide(format);
    SendDlgItemMessageW(page_, controlId, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Win32PageControls::NumberFieldFailed(int controlId) {
    MessageBoxW(page_, SjisToWide(TableString(IDS_PARSE_REAL)).c_str(),
                SjisToWide(TableString(IDS_APPNAME)).c_str(), MB_OK | MB_ICONEXCLAMATION);
    if (HWND field = GetDlgItem(page_, controlId)) {
        SetFocus(field);
        SendMessageW(field, EM_SETSEL, 0, -1);
    }
}

bool Win32LogFileChooser::ChooseSaveFile(const std::string& initialDirectory, std::string& fileName) {
    // The name arrives cut to the buffer at a character boundary; in UTF-16
    // it takes at most as many units as it has bytes, so it fits too.
    std::vector<wchar_t> buffer(kFileNameBuffer, L'\0');
    const std::wstring proposed = SjisToWide(fileName);
    proposed.copy(buffer.data(), std::min(proposed.size(), buffer.size() - 1));
    const std::wstring directory = SjisToWide(initialDirectory);
    const std::wstring title = SjisToWide(TableString(IDS_CHOOSE_LOGFILE));
    // The table writes the filter's separators as "|"; the dialog wants NULs.
    std::wstring filter = SjisToWide(TableString(IDS_LOG_FILE_FILTER));
    std::replace(filter.begin(), filter.end(), L'|', L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"txt";
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_LONGNAMES | OFN_ENABLESIZING;
    if (!GetSaveFileNameW(&dialog)) {
        return false;
    }
    fileName = WideToSjis(buffer.data());
    return true;
}

}  // namespace velmo
