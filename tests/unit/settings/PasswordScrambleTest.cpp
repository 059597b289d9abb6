#include "settings/PasswordScramble.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/CodePage.h"

namespace velmo {
namespace {

// --- The generator ---

TEST(ScrambleGenerator, FirstWordsForAKnownSeedArePinned) {
    ScrambleGenerator generator;
    generator.Seed(1);
    EXPECT_EQ(generator.Next(), 0x42160bceu);
    EXPECT_EQ(generator.Next(), 0xb2a59cd2u);
    EXPECT_EQ(generator.Next(), 0x091f0d24u);
    EXPECT_EQ(generator.Next(), 0x2d8fc213u);
}

TEST(ScrambleGenerator, EveryWordIsTheXorOfTheWords521And32PlacesBack) {
    ScrambleGenerator generator;
    generator.Seed(0x12345678u);
    std::vector<std::uint32_t> words;
    for (int i = 0; i < 3 * 521; ++i) {
        words.push_back(generator.Next());
    }
    for (std::size_t n = 521; n < words.size(); ++n) {
        ASSERT_EQ(words[n], words[n - 521] ^ words[n - 32]) << n;
    }
}

TEST(ScrambleGenerator, SeedingAgainRestartsTheSequence) {
    ScrambleGenerator generator;
    generator.Seed(7);
    const std::uint32_t first = generator.Next();
    generator.Next();
    generator.Seed(7);
    EXPECT_EQ(generator.Next(), first);
}

// --- The flip pass ---

TEST(FlipScheduledBits, SecondPassUndoesTheFirst) {
    for (std::size_t size = 1; size < 40; ++size) {
        std::string buffer(size + 1, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            buffer[i] = static_cast<char>(i * 37 + 5);
        }
        const std::string original = buffer.substr(0, size);
        FlipScheduledBits(buffer, size);
        EXPECT_NE(buffer.substr(0, size), original) << size;
        FlipScheduledBits(buffer, size);
        EXPECT_EQ(buffer.substr(0, size), original) << size;
    }
}

TEST(FlipScheduledBits, TouchesNothingBeyondTheSpareByte) {
    std::string buffer(7 + 1 + 16, '\0');
    FlipScheduledBits(buffer, 7);
    EXPECT_EQ(buffer.substr(8), std::string(16, '\0'));
}

// --- Encoding ---

// Scrambled texts pinned once: a change of the flip schedule, the seed or the
// algorithm makes every stored password unreadable and fails here.
TEST(EncodePassword, GoldenTextsStayTheSame) {
    EXPECT_EQ(EncodePassword("a"), R"gold((._{rZ|e0{y^pzw'MFZTo)gold");
    EXPECT_EQ(EncodePassword("admin"), R"gold('%'8}S`|s6:|]u2;[cB'^&!I--2%APo](8LbL$_j`BDX0)gold");
    EXPECT_EQ(EncodePassword("p@ss w0rd"),
              R"gold(G._qy5,9pXV)'%78HS!N(6:5]:&#P#`dODZ9#}Emkk)5|w,1=gM3DP4w(Gk9N1W/1sdLS)gold");
    EXPECT_EQ(EncodePassword(Utf8ToSjis("パスワード")),
              R"gold(Y._?y5_])m\A6BoEUA{y,"%7S`2'suN6b;5cBE^]hv#wL_:XP3B'0gl*im+k)A|w,3!!$8b"Ub))gold");
}

TEST(EncodePassword, TextHasSixCharactersPerByteAndFifteenMore) {
    EXPECT_EQ(EncodePassword("x").size(), 21u);
    EXPECT_EQ(EncodePassword("12345678").size(), 63u);
}

TEST(EncodePassword, TextHoldsOnlyPrintableCharactersWithoutBlanks) {
    const std::string text = EncodePassword(std::string("\x01\xff\x80 ~\x7f", 6));
    for (const char ch : text) {
        EXPECT_GE(ch, '!');
        EXPECT_LE(ch, '~');
    }
}

TEST(EncodePassword, SamePasswordGivesTheSameTextEveryTime) {
    EXPECT_EQ(EncodePassword("secret"), EncodePassword("secret"));
}

TEST(EncodePassword, EmptyPasswordGivesTheEmptyText) {
    EXPECT_EQ(EncodePassword(""), "");
}

// --- Decoding ---

TEST(DecodePassword, RoundTripRestoresEveryPassword) {
    std::vector<std::string> passwords = {
        "a", "admin", "p@ss w0rd", Utf8ToSjis("管理者パスワード表示ソ"), std::string(168, 'L'), "\"quoted'"};
    std::string everyByte;
    for (int b = 1; b < 256; ++b) {
        everyByte += static_cast<char>(b);
    }
    passwords.push_back(everyByte);
    for (std::size_t size = 1; size <= 24; ++size) {
        passwords.push_back(everyByte.substr(size * 7, size));
    }
    for (const std::string& password : passwords) {
        EXPECT_EQ(DecodePassword(EncodePassword(password)), password) << password;
    }
}

TEST(DecodePassword, TextsTooShortOrNotInGroupsOfThreeGiveEmpty) {
    const std::string text = EncodePassword("a");
    EXPECT_EQ(DecodePassword(""), "");
    EXPECT_EQ(DecodePassword(text.substr(0, 14)), "");
    EXPECT_EQ(DecodePassword(text.substr(0, 15)), "");  // five bytes: no password bytes at all
    EXPECT_EQ(DecodePassword(text.substr(0, 16)), "");
    EXPECT_EQ(DecodePassword(text.substr(0, 18)), "");
    EXPECT_EQ(DecodePassword(text + "!"), "");
}

TEST(DecodePassword, SwappedCharactersInsideOneGroupAreRejected) {
    std::string text = EncodePassword("admin");
    // Every group keeps its sum, so only the final re-encoding can tell.
    std::size_t group = 0;
    while (text[3 * group] == text[3 * group + 1]) {
        ++group;
    }
    std::swap(text[3 * group], text[3 * group + 1]);
    EXPECT_EQ(DecodePassword(text), "");
}

TEST(DecodePassword, HandEditedTextIsRejected) {
    std::string text = EncodePassword("admin");
    text[10] = text[10] == '~' ? '}' : static_cast<char>(text[10] + 1);
    EXPECT_EQ(DecodePassword(text), "");
    EXPECT_EQ(DecodePassword(std::string(63, 'A')), "");
    EXPECT_EQ(DecodePassword("admin"), "");
}

TEST(DecodePassword, PasswordWithAZeroByteDoesNotComeBack) {
    // Decoding stops the password at the zero byte; the shorter password
    // re-encodes to another text, so the whole text is rejected.
    EXPECT_EQ(DecodePassword(EncodePassword(std::string("ab\0cd", 5))), "");
}

// The encoding steps with a seed of the test's choice.
std::string EncodeWithSeed(const std::string& password, std::uint32_t seed) {
    const std::size_t length = 2 * password.size() + 5;
    std::string work(length + 1, '\0');
    for (std::size_t i = 0; i < length; ++i) {
        work[i] = password[i % password.size()];
    }
    FlipScheduledBits(work, length);
    ScrambleGenerator generator;
    generator.Seed(seed);
    std::string text;
    for (std::size_t j = 0; j < length; ++j) {
        const int v = static_cast<unsigned char>(work[j]);
        int d[3];
        do {
            d[2] = static_cast<int>(generator.Next() % 94);
            d[1] = static_cast<int>(generator.Next() % 94);
            d[0] = v - d[2] - d[1];
        } while (d[0] < 0 || d[0] > 93);
        const int s = static_cast<int>(generator.Next() % 3);
        for (int r = 0; r < 3; ++r) {
            text += static_cast<char>(33 + d[(s + r) % 3]);
        }
    }
    return text;
}

TEST(DecodePassword, TextWrittenWithAnotherSeedIsRejected) {
    ASSERT_EQ(EncodeWithSeed("admin", 0xC1C44CE6u), EncodePassword("admin"));  // the helper is faithful
    const std::string other = EncodeWithSeed("admin", 0x0BADF00Du);
    ASSERT_NE(other, EncodePassword("admin"));
    EXPECT_EQ(DecodePassword(other), "");
}

}  // namespace
}  // namespace velmo
