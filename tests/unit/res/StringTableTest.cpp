#include "res/StringTable.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string_view>

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

TEST(StringTable, TextsTheToolWritesAreExact) {
    EXPECT_EQ(TableString(IDS_LOG_STAMP), "[%04d/%02d/%02d %02d:%02d:%02d]  ");
    EXPECT_EQ(TableString(IDS_DATETIME_FORMAT), "%Y/%m/%d %H:%M:%S");
    EXPECT_EQ(TableString(IDS_APPNAME) + " ver. " + TableString(IDS_VERSION), "Velmo tool ver. 1.10");
    EXPECT_EQ(TableString(9999), "");
}

}  // namespace
}  // namespace velmo
