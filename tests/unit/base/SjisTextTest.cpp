#include "base/SjisText.h"

#include <gtest/gtest.h>

#include "base/CodePage.h"

namespace velmo {
namespace {

// "表" is 0x95 0x5C and "ソ" is 0x83 0x5C: their trail byte is a backslash.
// "ア" is 0x83 0x41: its trail byte is the letter A.

TEST(SjisFind, NeverMatchesStartingOnATrailByte) {
    std::string text = Utf8ToSjis("表\\");
    ASSERT_EQ(text, "\x95\x5C\x5C");
    EXPECT_EQ(SjisFind(text, "\\"), 2u);
    EXPECT_EQ(SjisFindChar(text, '\\'), 2u);
    EXPECT_EQ(SjisFind(Utf8ToSjis("ソ"), "\\"), npos);
    EXPECT_EQ(SjisFind(Utf8ToSjis("アA"), "A"), 2u);
}

TEST(SjisFind, StartsAtTheGivenPositionAndFindsTheFirstOccurrence) {
    EXPECT_EQ(SjisFind("abcabc", "bc", 0), 1u);
    EXPECT_EQ(SjisFind("abcabc", "bc", 2), 4u);
    EXPECT_EQ(SjisFind("abcabc", "bc", 5), npos);
    EXPECT_EQ(SjisFind("abc", "", 3), 3u);
    EXPECT_EQ(SjisFind("abc", "a", 4), npos);  // beyond the end finds nothing
    EXPECT_EQ(SjisFind("", "a"), npos);
}

TEST(SjisFind, AStartInsideADoubleByteCharacterMovesToTheNextBoundary) {
    std::string text = Utf8ToSjis("表") + "\\";
    EXPECT_EQ(SjisFind(text, "\\", 1), 2u);
}

TEST(SjisFind, IsCaseSensitiveAndMatchesJapaneseExactly) {
    std::string page = Utf8ToSjis("<TD>接続時間</TD>");
    EXPECT_EQ(SjisFind(page, Utf8ToSjis("接続時間")), 4u);
    EXPECT_EQ(SjisFind("Router", "router"), npos);
}

TEST(SjisFindLastChar, SkipsTrailBytes) {
    std::string name = Utf8ToSjis("ログ\\記録表.txt");
    std::size_t last = SjisFindLastChar(name, '\\');
    EXPECT_EQ(name.substr(0, last), Utf8ToSjis("ログ"));
    EXPECT_EQ(SjisFindLastChar(Utf8ToSjis("表"), '\\'), npos);
}

TEST(SjisTrim, RemovesSingleByteWhiteSpaceOnly) {
    EXPECT_EQ(SjisTrim(" \t\r\n\v\fvalue \n"), "value");
    EXPECT_EQ(SjisTrim(" \n "), "");
    std::string fullWidthBlank = Utf8ToSjis("　");
    EXPECT_EQ(SjisTrim(fullWidthBlank + "x" + fullWidthBlank + " "), fullWidthBlank + "x" + fullWidthBlank);
}

TEST(SjisTruncate, NeverCutsADoubleByteCharacter) {
    std::string text = "ab" + Utf8ToSjis("表");
    EXPECT_EQ(SjisTruncate(text, 3), "ab");
    EXPECT_EQ(SjisTruncate(text, 4), text);
    EXPECT_EQ(SjisTruncate(text, 10), text);
}

TEST(SjisEqualsIgnoreCase, FoldsAsciiLettersButNotTrailBytes) {
    EXPECT_TRUE(SjisEqualsIgnoreCase("RutorAddress", "RUTORADDRESS"));
    EXPECT_FALSE(SjisEqualsIgnoreCase("Setting", "Settings"));
    // "ア" (83 41) must not equal 83 61, whose trail byte is a lower-case a.
    EXPECT_FALSE(SjisEqualsIgnoreCase("\x83\x41", "\x83\x61"));
}

TEST(IsValidSjis, TakesEveryCharacterOfCp932AndNoStrayByte) {
    const struct {
        std::string text;
        bool valid;
    } cases[] = {
        {"", true},
        {"plain ASCII line longer than eight bytes", true},
        {Utf8ToSjis("切断しました ｶﾀｶﾅ 表"), true},
        {"\x81\x40\xfc\xfc", true},
        {"ASCII then \x80", false},  // not a character
        {"\xa0", false},             // nor this
        {"\xfd\xfe\xff", false},     // nor these
        {"\x81\xff", false},         // a trail byte out of range
        {"\x81\x7f", false},
        {"ends in a lead\x95", false},  // its trail byte is missing
        {"\x95\x5c\x5c", true},         // 表 then a backslash
    };
    for (const auto& [text, valid] : cases) {
        EXPECT_EQ(IsValidSjis(text), valid) << text;
    }
}

TEST(CodePage, RoundTripsJapaneseText) {
    const char* utf8 = "指定されたアドレスに接続できません.";
    EXPECT_EQ(SjisToUtf8(Utf8ToSjis(utf8)), utf8);
    EXPECT_EQ(Utf8ToSjis("未設定"), "\x96\xA2\x90\xDD\x92\xE8");
    EXPECT_EQ(Utf8ToSjis("ｷｬﾝｾﾙ"), "\xB7\xAC\xDD\xBE\xD9");  // half-width kana are single bytes
}

}  // namespace
}  // namespace velmo
