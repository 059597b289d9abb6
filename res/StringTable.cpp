#include "res/StringTable.h"

#include <map>

#include "base/CodePage.h"
#include "base/DateTime.h"
#include "res/Version.h"
#include "res/resource.h"

namespace velmo {

namespace {

struct Entry {
    int id;
    const char* utf8;
};

constexpr Entry kStrings[] = {
#include "res/Texts.inc"
};

// Built once, on first use, from the UTF-8 texts above.
const std::map<int, std::string>& SjisTable() {
    static const std::map<int, std::string> table = [] {
        std::map<int, std::string> converted;
        for (const Entry& entry : kStrings) {
            converted.emplace(entry.id, Utf8ToSjis(entry.utf8));
        }
        return converted;
    }();
    return table;
}

}  // namespace

const std::string& TableString(int id) {
    static const std::string empty;
    const auto& table = SjisTable();
    auto it = table.find(id);
    return it == table.end() ? empty : it->second;
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

const char* StringTableUtf8(int id) {
    for (const Entry& entry : kStrings) {
        if (entry.id == id) {
            return entry.utf8;
        }
    }
    return nullptr;
}

}  // namespace velmo
