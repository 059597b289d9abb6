#include "settings/PasswordScramble.h"

namespace velmo {

namespace {

// The two fixed values the scrambling depends on. Changing either makes every
// stored password unreadable.
constexpr std::array<std::uint8_t, 18> kFlipSchedule = {141, 89,  133, 64, 133, 46, 193, 217, 137,
                                                        21,  173, 148, 95, 247, 67, 207, 211, 255};
constexpr std::uint32_t kScrambleSeed = 0xC1C44CE6u;

constexpr std::uint32_t kSeedMultiplier = 1566083941u;
constexpr std::size_t kLagShort = 32;

// Characters of the scrambled text are '!' (33) + 0..93.
constexpr int kFirstChar = 33;
constexpr std::uint32_t kDigitRange = 94;

}  // namespace

// A byte that needs many draws runs Next thousands of times and Refill once
// per 521 of them; both reach the words through a plain pointer, so that an
// unoptimised (debug or fuzzing) build makes no call per word.
void ScrambleGenerator::Refill() {
    std::uint32_t* x = x_.data();
    for (std::size_t i = 0; i < kLagShort; ++i) {
        x[i] ^= x[i + kWords - kLagShort];
    }
    for (std::size_t i = kLagShort; i < kWords; ++i) {
        x[i] ^= x[i - kLagShort];
    }
}

void ScrambleGenerator::Seed(std::uint32_t seed) {
    // Each of the first 17 words gathers the top bits of 32 successive
    // states of the linear congruential step, the latest in bit 31.
    std::uint32_t s = seed;
    std::uint32_t u = 0;
    for (std::size_t i = 0; i <= 16; ++i) {
        for (int bit = 0; bit < 32; ++bit) {
            s = s * kSeedMultiplier + 1;
            u = (u >> 1) | (s & 0x80000000u);
        }
        x_[i] = u;
    }
    // Spread them over the whole register.
    x_[16] = (x_[16] << 23) ^ (x_[0] >> 9) ^ x_[15];
    for (std::size_t i = 17; i < kWords; ++i) {
        x_[i] = (x_[i - 17] << 23) ^ (x_[i - 16] >> 9) ^ x_[i - 1];
    }
    // Stir the register three times; the first Next() starts with one more refill.
    Refill();
    Refill();
    Refill();
    k_ = kWords - 1;
}

std::uint32_t ScrambleGenerator::Next() {
    ++k_;
    if (k_ >= kWords) {
        Refill();
        k_ = 0;
    }
    return x_.data()[k_];
}

void FlipScheduledBits(std::string& buffer, std::size_t dataBytes) {
    const std::size_t bits = 8 * dataBytes;
    if (bits == 0 || buffer.size() <= dataBytes) {
        return;  // no data, or no spare byte: nothing the pass may touch
    }
    std::size_t c = 0;
    for (const std::uint8_t t : kFlipSchedule) {
        c += t / 10;
        for (int n = 0; n < t % 10; ++n) {
            // Wrap only while beyond the end: a cursor exactly at the end
            // inverts a bit of the spare byte, which never reaches a result.
            while (c > bits) {
                c -= bits;
            }
            buffer[c / 8] = static_cast<char>(static_cast<unsigned char>(buffer[c / 8]) ^ (0x80u >> (c % 8)));
            ++c;
        }
    }
}

namespace {

// Seeding fills the 521 words four times over, far more work than scrambling
// a short password; the seed is fixed, so the seeded state is made once and
// every encoding starts from a copy of it.
const ScrambleGenerator& SeededGenerator() {
    static const ScrambleGenerator seeded = [] {
        ScrambleGenerator generator;
        generator.Seed(kScrambleSeed);
        return generator;
    }();
    return seeded;
}

}  // namespace

std::string EncodePassword(std::string_view password) {
    const std::size_t a = password.size();
    if (a == 0) {
        return std::string();
    }
    // The password repeated end to end over L bytes, plus the spare byte.
    const std::size_t length = 2 * a + 5;
    std::string work(length + 1, '\0');
    for (std::size_t i = 0; i < length; ++i) {
        work[i] = password[i % a];
    }
    // Invert the scheduled bits, then spread every byte over characters.
    FlipScheduledBits(work, length);
    ScrambleGenerator generator = SeededGenerator();
    // Three characters per byte whose codes (less 33) add up to the byte;
    // the split and its rotation come from the generator.
    std::string text;
    text.reserve(3 * length);
    for (std::size_t j = 0; j < length; ++j) {
        const int v = static_cast<unsigned char>(work[j]);
        int d[3];
        do {
            d[2] = static_cast<int>(generator.Next() % kDigitRange);
            d[1] = static_cast<int>(generator.Next() % kDigitRange);
            d[0] = v - d[2] - d[1];
        } while (d[0] < 0 || d[0] > static_cast<int>(kDigitRange) - 1);
        const int s = static_cast<int>(generator.Next() % 3);
        for (int r = 0; r < 3; ++r) {
            text += static_cast<char>(kFirstChar + d[(s + r) % 3]);
        }
    }
    return text;
}

std::string DecodePassword(std::string_view text) {
    // Whole groups of three characters, at least five of them.
    const std::size_t size = text.size();
    if (size < 15 || size % 3 != 0) {
        return std::string();
    }
    // Each group's character codes, less 33 each, add up to one byte.
    const std::size_t n = size / 3;
    std::string v(n + 1, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        unsigned sum = 0;
        for (std::size_t r = 0; r < 3; ++r) {
            sum += static_cast<unsigned char>(text[3 * i + r]);
        }
        v[i] = static_cast<char>((sum + 256u - 3u * kFirstChar) & 0xFFu);
    }
    // Inverting the same bits again restores the buffer.
    FlipScheduledBits(v, n);
    // The buffer must be the password repeated end to end.
    const std::size_t e = (n - 5) / 2;
    for (std::size_t k = e; k < n; ++k) {
        if (v[k] != v[k - e]) {
            return std::string();
        }
    }
    // The password is the first e bytes up to any zero byte, and never empty.
    std::string password = v.substr(0, e);
    password = password.substr(0, password.find('\0'));
    if (password.empty()) {
        return std::string();
    }
    // Only a text the encoder itself writes is accepted.
    if (EncodePassword(password) != text) {
        return std::string();
    }
    return password;
}

}  // namespace velmo
