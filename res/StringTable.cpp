#include "res/StringTable.h"

#include <array>
#include <atomic>
#include <map>

#include "base/CodePage.h"
#include "base/DateTime.h"
#include "res/Version.h"
#include "res/resource.h"

namespace velmo {

namespace {

struct Entry {
    int id;
    const char* japanese;
    const char* english;
};

constexpr Entry kStrings[] = {
#include "res/Texts.inc"
};

using Texts = std::array<std::string, 2>;

// Built once, on first use, from the UTF-8 texts above.
const std::map<int, Texts>& SjisTable() {
    static const std::map<int, Texts> table = [] {
        std::map<int, Texts> converted;
        for (const Entry& entry : kStrings) {
            converted.emplace(entry.id, Texts{Utf8ToSjis(entry.japanese), Utf8ToSjis(entry.english)});
        }
        return converted;
    }();
    return table;
}

std::atomic<Language> currentLanguage{Language::Japanese};

constexpr unsigned kPrimaryLanguageMask = 0x3FF;
constexpr unsigned kJapanesePrimaryLanguage = 0x11;

}  // namespace

Language ChooseLanguage(std::string_view setting, unsigned displayLanguageId) {
    if (setting == "ja") {
        return Language::Japanese;
    }
    if (setting == "en") {
        return Language::English;
    }
    return (displayLanguageId & kPrimaryLanguageMask) == kJapanesePrimaryLanguage ? Language::Japanese
                                                                                  : Language::English;
}

void SetTextLanguage(Language language) {
    currentLanguage.store(language);
}

Language TextLanguage() {
    return currentLanguage.load();
}

const std::string& TableString(int id, Language language) {
    static const std::string empty;
    const auto& table = SjisTable();
    auto it = table.find(id);
    return it == table.end() ? empty : it->second[static_cast<std::size_t>(language)];
}

const std::string& TableString(int id) {
    return TableString(id, TextLanguage());
}

std::string FilledString(int id, std::initializer_list<std::string_view> values) {
    std::string text = TableString(id);
    // '%' is never the second byte of a CP932 character, so a byte search
    // finds only whole placeholders.
    std::size_t from = 0;
    for (const std::string_view value : values) {
        const std::size_t place = text.find('%', from);
        if (place == std::string::npos || place + 1 == text.size()) {
            break;
        }
        text.replace(place, 2, value);
        from = place + value.size();
    }
    return text;
}

std::vector<int> TableIds() {
    std::vector<int> ids;
    for (const Entry& entry : kStrings) {
        ids.push_back(entry.id);
    }
    return ids;
}

}  // namespace velmo
