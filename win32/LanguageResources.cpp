#include "win32/LanguageResources.h"

#include "res/StringTable.h"

namespace velmo {

namespace {

// The languages the resource script writes, as LANGUAGE names them.
constexpr WORD kJapaneseResources = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);   // 0x0411
constexpr WORD kEnglishResources = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);  // 0x0409

WORD ResourceLanguage(Language language) {
    return language == Language::English ? kEnglishResources : kJapaneseResources;
}

}  // namespace

std::span<const std::byte> LanguageResource(HINSTANCE instance, LPCWSTR type, int id) {
    for (const WORD language : {ResourceLanguage(TextLanguage()), kJapaneseResources}) {
        HRSRC found = FindResourceExW(instance, type, MAKEINTRESOURCEW(id), language);
        HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
        const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (bytes != nullptr) {
            return {static_cast<const std::byte*>(bytes), SizeofResource(instance, found)};
        }
    }
    return {};
}

const DLGTEMPLATE* LanguageDialog(HINSTANCE instance, int id) {
    const std::span<const std::byte> bytes = LanguageResource(instance, RT_DIALOG, id);
    return bytes.empty() ? nullptr : reinterpret_cast<const DLGTEMPLATE*>(bytes.data());
}

HMENU LoadLanguageMenu(HINSTANCE instance, int id) {
    const std::span<const std::byte> bytes = LanguageResource(instance, RT_MENU, id);
    return bytes.empty() ? nullptr : LoadMenuIndirectW(reinterpret_cast<const MENUTEMPLATEW*>(bytes.data()));
}

}  // namespace velmo
