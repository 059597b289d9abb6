#include <gtest/gtest.h>

#include <vector>

#include "base/CodePage.h"
#include "router/MarkerExtraction.h"
#include "router/StatusPage.h"

namespace velmo {
namespace {

TEST(ExtractBetween, CutsTheTrimmedTextBetweenTheMarkers) {
    std::string value;
    const std::vector<MarkerPair> pairs = {{"<B>", "</B>"}};
    ASSERT_TRUE(ExtractBetween(value, "x<B> \n model 1\t\r\n</B>y", pairs));
    EXPECT_EQ(value, "model 1");
}

TEST(ExtractBetween, EmptyListFindsNothing) {
    std::string value = "old";
    EXPECT_FALSE(ExtractBetween(value, "<B>x</B>", std::vector<MarkerPair>{}));
    EXPECT_EQ(value, "old");
}

TEST(ExtractBetween, LaterPairIsTriedOnlyWhenEarlierFails) {
    const std::vector<MarkerPair> pairs = {{"<B>", "</B>"}, {"<I>", "</I>"}};
    std::string value;
    ASSERT_TRUE(ExtractBetween(value, "<I>second</I> <B>first</B>", pairs));
    EXPECT_EQ(value, "first");
    ASSERT_TRUE(ExtractBetween(value, "<I>second</I> <B>no end", pairs));
    EXPECT_EQ(value, "second");
}

TEST(ExtractBetween, StartPositionPastTheFirstStartMarkerUsesTheNextOne) {
    const std::vector<MarkerPair> pairs = {{"[", "]"}};
    const std::string page = "[one] [two]";
    std::string value;
    std::size_t resume = 0;
    ASSERT_TRUE(ExtractBetween(value, page, pairs, 1, &resume));
    EXPECT_EQ(value, "two");
    EXPECT_EQ(resume, page.size());  // the end marker closes the text
    ASSERT_TRUE(ExtractBetween(value, page, pairs, 0, &resume));
    EXPECT_EQ(value, "one");
    EXPECT_EQ(resume, 5u);
}

TEST(ExtractBetween, StartMarkerWithoutEndMarkerFailsAndIsNotSearchedAgain) {
    const std::vector<MarkerPair> pairs = {{"<B>", "</B>"}};
    std::string value = "old";
    std::size_t resume = 7;
    // The second "<B>" has an end marker after it, but only the first counts.
    EXPECT_FALSE(ExtractBetween(value, "<B>a<B", pairs, 0, &resume));
    EXPECT_FALSE(ExtractBetween(value, "</B><B>a", pairs, 0, &resume));
    EXPECT_EQ(value, "old");
    EXPECT_EQ(resume, 7u);
}

TEST(ExtractBetween, StartPositionBeyondTheEndFindsNothing) {
    std::string value = "old";
    EXPECT_FALSE(ExtractBetween(value, "<B>x</B>", std::vector<MarkerPair>{{"<B>", "</B>"}}, 100));
    EXPECT_EQ(value, "old");
}

TEST(ExtractBetween, AdjacentMarkersAndWhiteSpaceOnlyGiveAnEmptyValue) {
    const std::vector<MarkerPair> pairs = {{"<B>", "</B>"}};
    std::string value = "old";
    ASSERT_TRUE(ExtractBetween(value, "<B></B>", pairs));
    EXPECT_EQ(value, "");
    value = "old";
    ASSERT_TRUE(ExtractBetween(value, "<B> \n\r\n\t </B>", pairs));
    EXPECT_EQ(value, "");
}

TEST(ExtractBetween, FullWidthBlankIsKept) {
    const std::string fullWidthBlank = Utf8ToSjis("\u3000");
    std::string value;
    ASSERT_TRUE(
        ExtractBetween(value, "<B>" + fullWidthBlank + "x </B>", std::vector<MarkerPair>{{"<B>", "</B>"}}));
    EXPECT_EQ(value, fullWidthBlank + "x");
}

TEST(ExtractBetween, NeverMatchesOnTheTrailByteOfADoubleByteCharacter) {
    // "ソ" is 0x83 0x5C in Shift-JIS: its trail byte is a backslash.
    const std::string page = Utf8ToSjis("ソ") + "x\\y\\";
    std::string value;
    ASSERT_TRUE(ExtractBetween(value, page, std::vector<MarkerPair>{{"\\", "\\"}}));
    EXPECT_EQ(value, "y");
}

TEST(TranslateWord, ReplacesAWholeWordFromTheModemTable) {
    std::string text = "Ready";
    ASSERT_TRUE(TranslateWord(text, modemWords()));
    EXPECT_EQ(text, Utf8ToSjis("レディ"));
    text = "Dialup fail";
    ASSERT_TRUE(TranslateWord(text, modemWords()));
    EXPECT_EQ(text, Utf8ToSjis("ダイヤルアップに失敗しました"));
}

TEST(TranslateWord, OtherCaseOrExtraBytesLeaveTheTextUnchanged) {
    for (const std::string original : {"ready", "Ready ", "Ready!", "Not ready yet", ""}) {
        std::string text = original;
        EXPECT_FALSE(TranslateWord(text, modemWords())) << original;
        EXPECT_EQ(text, original);
    }
}

TEST(TranslateWord, FirstEqualPairWins) {
    const std::vector<WordPair> table = {{"a", "1"}, {"a", "2"}};
    std::string text = "a";
    ASSERT_TRUE(TranslateWord(text, table));
    EXPECT_EQ(text, "1");
}

}  // namespace
}  // namespace velmo
