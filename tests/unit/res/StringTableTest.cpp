#include "res/StringTable.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "base/CodePage.h"
#include "res/resource.h"

namespace velmo {
namespace {

TEST(StringTable, PlaceholdersAreFilledInTurn) {
    struct Case {
        int id;
        std::initializer_list<std::string_view> values;
        const char* utf8;
    };
    const Case cases[] = {
        // A "%s" inside the first value stays; the second fills the next place.
        {IDS_SETTINGS_SAVE_FAILED, {"C:\\a%sb", "denied"}, "設定を保存できませんでした。\nC:\\a%sb\ndenied"},
        {IDS_BALLOON_ACCESS, {"3"}, "不正アクセスを 3 件記録しました"},
        // Too few values leave the place; too many are dropped.
        {IDS_SETTINGS_SAVE_FAILED, {"p"}, "設定を保存できませんでした。\np\n%s"},
        {IDS_BALLOON_LINE_UP, {"x"}, "回線が接続されました"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FilledString(c.id, c.values), Utf8ToSjis(c.utf8)) << c.utf8;
    }
}

// The placeholders of a text, in order: "%s", "%d", "%04d"...
std::vector<std::string> Placeholders(const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1)) {
        const std::size_t end = text.find_first_of("sdmYHMS%", at + 1);
        found.push_back(text.substr(at, end == std::string::npos ? 1 : end - at + 1));
    }
    return found;
}

TEST(StringTable, EveryTextHasBothLanguagesWithTheSamePlaceholders) {
    for (const int id : TableIds()) {
        const std::string& japanese = TableString(id, Language::Japanese);
        const std::string& english = TableString(id, Language::English);
        EXPECT_FALSE(japanese.empty() || english.empty()) << id;
        EXPECT_EQ(Placeholders(japanese), Placeholders(english)) << id << ": " << english;
    }
}

TEST(StringTable, TheDisplayLanguageDecidesUnlessTheSettingNamesOne) {
    constexpr unsigned kJapaneseJapan = 0x411, kEnglishUs = 0x409, kGerman = 0x407;
    const struct {
        const char* setting;
        unsigned display;
        Language expected;
    } cases[] = {
        {"auto", kJapaneseJapan, Language::Japanese}, {"auto", kEnglishUs, Language::English},
        {"auto", kGerman, Language::English},         {"", kJapaneseJapan, Language::Japanese},
        {"fr", kJapaneseJapan, Language::Japanese},   {"ja", kEnglishUs, Language::Japanese},
        {"en", kJapaneseJapan, Language::English},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseLanguage(c.setting, c.display), c.expected) << c.setting << " " << c.display;
    }
}

TEST(StringTable, TextsTheToolWritesAreExact) {
    EXPECT_EQ(TableString(IDS_LOG_STAMP), "[%04d/%02d/%02d %02d:%02d:%02d]  ");
    EXPECT_EQ(TableString(IDS_DATETIME_FORMAT), "%Y/%m/%d %H:%M:%S");
    EXPECT_EQ(TableString(IDS_APPNAME) + " ver. " + TableString(IDS_VERSION), "Velmo tool ver. 1.10");
    EXPECT_EQ(TableString(9999), "");
    // The log file's words are the same whatever the tool speaks.
    for (const int id : {IDS_LOG_STAMP, IDS_LOG_UPDATE_MARKER, IDS_LOG_FAILURE, IDS_APPNAME}) {
        EXPECT_EQ(TableString(id, Language::English), TableString(id, Language::Japanese)) << id;
    }
}

}  // namespace
}  // namespace velmo
