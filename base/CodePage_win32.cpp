#include <windows.h>

#include "base/CodePage.h"
#include "base/Wide_win32.h"

namespace velmo {

namespace {

constexpr UINT kShiftJis = 932;

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) {
        return {};
    }
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    int length = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr,
                        nullptr);
    return text;
}

}  // namespace

std::string Utf8ToSjis(std::string_view utf8) {
    return FromWide(kShiftJis, ToWide(CP_UTF8, utf8));
}

std::string SjisToUtf8(std::string_view sjis) {
    return FromWide(CP_UTF8, ToWide(kShiftJis, sjis));
}

std::wstring SjisToWide(std::string_view sjis) {
    return ToWide(kShiftJis, sjis);
}

std::string WideToSjis(std::wstring_view wide) {
    return FromWide(kShiftJis, wide);
}

}  // namespace velmo
