#include "settings/ProfileFile.h"

#include <gtest/gtest.h>

#include <string>

#include "base/CodePage.h"
#include "tests/support/TempDirectory.h"

namespace velmo {
namespace {

std::string Read(std::string_view text, std::string_view key, std::size_t limit = kProfileValueLimit) {
    return ProfileFile::Parse(text).GetString("S", key, "<missing>", limit);
}

// --- Reading values ---

TEST(ProfileFileRead, ValueIsTrimmedOfBlanksAndTabs) {
    EXPECT_EQ(Read("[S]\r\nk = \t value  x \t\r\n", "k"), "value  x");
}

TEST(ProfileFileRead, OnePairOfEnclosingMatchingQuotesIsRemoved) {
    const std::string text =
        "[S]\r\n"
        "double=\"a b\"\r\n"
        "single='a b'\r\n"
        "twice=\"\"a\"\"\r\n"
        "mixed=\"a'\r\n"
        "lone=\"\r\n"
        "inner=a\"b\"\r\n"
        "blanksOutside=  ' a '  \r\n";
    EXPECT_EQ(Read(text, "double"), "a b");
    EXPECT_EQ(Read(text, "single"), "a b");
    EXPECT_EQ(Read(text, "twice"), "\"a\"");
    EXPECT_EQ(Read(text, "mixed"), "\"a'");
    EXPECT_EQ(Read(text, "lone"), "\"");
    EXPECT_EQ(Read(text, "inner"), "a\"b\"");
    EXPECT_EQ(Read(text, "blanksOutside"), " a ");
}

TEST(ProfileFileRead, AtMost1022BytesOfAValueAreRead) {
    const std::string longValue(1030, 'x');
    EXPECT_EQ(Read("[S]\nk=" + longValue + "\n", "k"), std::string(1022, 'x'));
    EXPECT_EQ(Read("[S]\nk=" + longValue + "\n", "k", 5), "xxxxx");
    EXPECT_EQ(Read("[S]\nk=" + longValue + "\n", "k", 4096), longValue);
}

TEST(ProfileFileRead, LimitNeverCutsADoubleByteCharacterInHalf) {
    const std::string value = std::string(1021, 'x') + Utf8ToSjis("表");
    EXPECT_EQ(Read("[S]\nk=" + value + "\n", "k"), std::string(1021, 'x'));
    EXPECT_EQ(Read("[S]\nk=" + value + "\n", "k", 1023), value);
}

TEST(ProfileFileRead, LimitAppliesAfterTheQuotesAreRemoved) {
    EXPECT_EQ(Read("[S]\nk=\"abcdef\"\n", "k", 3), "abc");
}

TEST(ProfileFileRead, SectionAndKeyNamesMatchIgnoringAsciiCase) {
    const ProfileFile profile = ProfileFile::Parse("[setting]\r\nROOTpasswd=x\r\n");
    EXPECT_EQ(profile.Get("Setting", "RootPasswd"), "x");
    EXPECT_EQ(profile.Get("SETTING", "rootpasswd"), "x");
}

TEST(ProfileFileRead, TrailByteOfADoubleByteNameIsNeverCaseFolded) {
    // "ア" is 83 41 and "ヂ" is 83 61: they differ only in a trail byte 'A' / 'a'.
    const ProfileFile profile =
        ProfileFile::Parse("[" + Utf8ToSjis("ア") + "]\n" + Utf8ToSjis("ア") + "=1\n");
    EXPECT_EQ(profile.Get(Utf8ToSjis("ア"), Utf8ToSjis("ア")), "1");
    EXPECT_EQ(profile.Get(Utf8ToSjis("ヂ"), Utf8ToSjis("ア")), std::nullopt);
    EXPECT_EQ(profile.Get(Utf8ToSjis("ア"), Utf8ToSjis("ヂ")), std::nullopt);
}

TEST(ProfileFileRead, ClosingBracketAsATrailByteDoesNotCloseASection) {
    // "ゾ" is 83 5D: its trail byte is ']'.
    const std::string name = Utf8ToSjis("ゾ");
    EXPECT_EQ(ProfileFile::Parse("[" + name + "]\nk=1\n").Get(name, "k"), "1");
    EXPECT_EQ(ProfileFile::Parse("[" + name + "\nk=1\n").Get(name, "k"), std::nullopt);
}

TEST(ProfileFileRead, NamesAndHeadersMayBeSurroundedByBlanks) {
    EXPECT_EQ(Read("  [ S ]  \n\t k\t=v\n", "k"), "v");
}

TEST(ProfileFileRead, MissingSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(Read("[T]\nk=1\n", "k"), "<missing>");
    EXPECT_EQ(Read("[S]\nother=1\n", "k"), "<missing>");
    EXPECT_EQ(Read("k=1\n[S]\n", "k"), "<missing>");  // a key before any section belongs to none
    EXPECT_EQ(Read("", "k"), "<missing>");
    EXPECT_EQ(Read("[S]\nk\n", "k"), "<missing>");  // a line without '=' is no key
}

TEST(ProfileFileRead, PresentEmptyValueIsEmptyNotTheDefault) {
    EXPECT_EQ(Read("[S]\nk=\n", "k"), "");
}

TEST(ProfileFileRead, FirstMatchingSectionAndFirstMatchingKeyWin) {
    const std::string text = "[S]\nk=first\nk=second\n[T]\nj=t\n[s]\nk=third\nj=fourth\n";
    EXPECT_EQ(Read(text, "k"), "first");
    EXPECT_EQ(Read(text, "j"), "<missing>");  // only the first section named S is searched
}

TEST(ProfileFileRead, LinesMayEndInCrLfLfOrCrAlone) {
    const std::string text = "[S]\ra=1\rb=2\nc=3\r\nd=4\r\r\ne=5";
    EXPECT_EQ(Read(text, "a"), "1");
    EXPECT_EQ(Read(text, "b"), "2");
    EXPECT_EQ(Read(text, "c"), "3");
    EXPECT_EQ(Read(text, "d"), "4");
    EXPECT_EQ(Read(text, "e"), "5");  // last line without a line end
}

TEST(ProfileFileRead, BinaryGarbageAroundKeysIsSkipped) {
    const std::string garbage("\x00\xff\xfe\x81\x5d[\x01=\x02\n\x80\x00", 12);
    const std::string text = garbage + "\n[S]\n" + garbage + std::string("\nk=v\x00w\n", 7) + garbage;
    EXPECT_EQ(Read(text, "k"), std::string("v\x00w", 3));
}

TEST(ProfileFileRead, KeyAfterA100KilobyteLineIsRead) {
    const std::string longLine(100 * 1024, 'q');
    const std::string text = "[S]\n" + longLine + "\nbig=" + longLine + "\nk=v\n";
    EXPECT_EQ(Read(text, "k"), "v");
    EXPECT_EQ(Read(text, "big"), std::string(1022, 'q'));
}

// --- Writing values ---

std::string AfterSet(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
    ProfileFile profile = ProfileFile::Parse(text);
    EXPECT_TRUE(profile.Set(section, key, value));
    return profile.Text();
}

TEST(ProfileFileWrite, EmptyFileGetsTheSectionAndKeyWithCrLf) {
    EXPECT_EQ(AfterSet("", "Setting", "k", "v"), "[Setting]\r\nk=v\r\n");
}

TEST(ProfileFileWrite, PresentKeyIsReplacedInPlaceKeepingItsSpellingAndLineEnd) {
    EXPECT_EQ(AfterSet("[s]\n  KEY \t= old value \nnext=1\r", "S", "key", "new"),
              "[s]\n  KEY \t=new\nnext=1\r");
}

TEST(ProfileFileWrite, OnlyTheFirstOfDuplicateKeysIsReplaced) {
    EXPECT_EQ(AfterSet("[S]\r\nk=1\r\nk=2\r\n[S]\r\nk=3\r\n", "S", "k", "9"),
              "[S]\r\nk=9\r\nk=2\r\n[S]\r\nk=3\r\n");
}

TEST(ProfileFileWrite, MissingKeyIsAddedAfterTheLastNonBlankLineOfItsSection) {
    EXPECT_EQ(AfterSet("[A]\nx=1\n; note\n\n  \n[B]\ny=2\n", "a", "z", "3"),
              "[A]\nx=1\n; note\nz=3\r\n\n  \n[B]\ny=2\n");
}

TEST(ProfileFileWrite, MissingKeyInAnEmptySectionFollowsTheHeader) {
    EXPECT_EQ(AfterSet("[A]\n\n[B]\n", "A", "k", "v"), "[A]\nk=v\r\n\n[B]\n");
}

TEST(ProfileFileWrite, MissingSectionIsAddedAtTheEnd) {
    EXPECT_EQ(AfterSet("[A]\r\nx=1\r\n", "B", "k", "v"), "[A]\r\nx=1\r\n[B]\r\nk=v\r\n");
}

TEST(ProfileFileWrite, LastLineWithoutLineEndGetsCrLfBeforeAnAddedLine) {
    EXPECT_EQ(AfterSet("[A]\nx=1", "A", "k", "v"), "[A]\nx=1\r\nk=v\r\n");
    EXPECT_EQ(AfterSet("[A]\nx=1", "B", "k", "v"), "[A]\nx=1\r\n[B]\r\nk=v\r\n");
}

TEST(ProfileFileWrite, EveryOtherLineIsKeptByteForByte) {
    const std::string before = "junk before\x01\r[S]\r\n;comment\n k = old \r\n[Other]\rk=elsewhere\r" +
                               Utf8ToSjis("日本語=値") + "\n";
    const std::string after = AfterSet(before, "S", "k", "new");
    EXPECT_EQ(after, "junk before\x01\r[S]\r\n;comment\n k =new\r\n[Other]\rk=elsewhere\r" +
                         Utf8ToSjis("日本語=値") + "\n");
}

TEST(ProfileFileWrite, ValueTheReaderWouldChangeIsQuotedAndReadsBackExactly) {
    for (const std::string value : {"\"quoted\"", "'single'", "\"\"", " lead", "trail\t", "  ", "'x'y'"}) {
        const std::string text = AfterSet("", "S", "k", value);
        EXPECT_EQ(text, "[S]\r\nk=\"" + value + "\"\r\n") << value;
        EXPECT_EQ(ProfileFile::Parse(text).Get("S", "k"), value) << value;
    }
}

TEST(ProfileFileWrite, ValueTheReaderKeepsIsWrittenAsItIs) {
    for (const std::string value : {"", "plain", "\"", "\"open", "close'", "'mixed\"", "in \"side\" x"}) {
        EXPECT_EQ(EncodeProfileValue(value), value);
        EXPECT_EQ(ProfileFile::Parse(AfterSet("", "S", "k", value)).Get("S", "k"), value) << value;
    }
}

TEST(ProfileFileWrite, ValueIsCutAtItsFirstCrOrLf) {
    EXPECT_EQ(AfterSet("", "S", "k", "one\r\ntwo"), "[S]\r\nk=one\r\n");
    EXPECT_EQ(AfterSet("", "S", "k", "one\ntwo"), "[S]\r\nk=one\r\n");
    EXPECT_EQ(AfterSet("", "S", "k", "\rtwo"), "[S]\r\nk=\r\n");
}

TEST(ProfileFileWrite, ShiftJisValueSurvivesIncludingTrailBytesThatLookLikeAscii) {
    const std::string value = Utf8ToSjis("表示ソ能ゾ");  // trail bytes '\', ']'
    EXPECT_EQ(ProfileFile::Parse(AfterSet("", "S", "k", value)).Get("S", "k"), value);
}

TEST(ProfileFileWrite, NamesThatWouldNotReadBackAreRefused) {
    ProfileFile profile = ProfileFile::Parse("[S]\nk=1\n");
    EXPECT_FALSE(profile.Set("S", "a=b", "v"));
    EXPECT_FALSE(profile.Set("S", "[k]", "v"));
    EXPECT_FALSE(profile.Set("S", "[k", "v"));  // "[k=x]" would read as a section header
    EXPECT_FALSE(profile.Set("S", " k", "v"));
    EXPECT_FALSE(profile.Set("S", "k\n", "v"));
    EXPECT_FALSE(profile.Set("S\r", "k", "v"));
    EXPECT_FALSE(profile.Set("S ", "k", "v"));
    EXPECT_FALSE(profile.Set("x\x81", "k", "v"));  // lead byte would swallow the ']'
    EXPECT_EQ(profile.Text(), "[S]\nk=1\n");
}

TEST(ProfileFileWrite, GarbageFileGetsAWellFormedSectionThatReadsBack) {
    std::string garbage;
    for (int i = 0; i < 512; ++i) {
        garbage += static_cast<char>((i * 167 + 13) % 256);
    }
    ProfileFile profile = ProfileFile::Parse(garbage);
    ASSERT_TRUE(profile.Set("Setting", "RootPasswd", "abc"));
    ASSERT_TRUE(profile.Set("Setting", "UpdateLog", "1"));
    const std::string text = profile.Text();
    EXPECT_EQ(text.substr(0, garbage.size()), garbage);
    const ProfileFile reread = ProfileFile::Parse(text);
    EXPECT_EQ(reread.Get("Setting", "RootPasswd"), "abc");
    EXPECT_EQ(reread.Get("Setting", "UpdateLog"), "1");
}

// --- The file ---

TEST(ProfileFileOnDisk, MissingFileReadsAsEmpty) {
    testing::TempDirectory folder;
    EXPECT_EQ(ReadProfileFile(folder.File("none.ini")).Text(), "");
}

TEST(ProfileFileOnDisk, WriteReplacesTheWholeFileAndLeavesNoTemporaryFileBehind) {
    testing::TempDirectory folder;
    folder.Write("a.ini", "[S]\nk=old\nlonger old content that goes away\n");
    ProfileFile profile = ProfileFile::Parse("[S]\nk=old\n");
    profile.Set("S", "k", "new");
    ASSERT_TRUE(WriteProfileFile(folder.File("a.ini"), profile));
    EXPECT_EQ(folder.Read("a.ini"), "[S]\nk=new\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    EXPECT_EQ(ReadProfileFile(folder.File("a.ini")).Get("S", "k"), "new");
}

TEST(ProfileFileOnDisk, WriteIntoAMissingFolderFails) {
    testing::TempDirectory folder;
    EXPECT_FALSE(WriteProfileFile(folder.File("no-such-folder/a.ini"), ProfileFile::Parse("[S]\n")));
}

}  // namespace
}  // namespace velmo
