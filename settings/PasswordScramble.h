// The scrambled form in which the administrator password is stored in the
// settings file. It keeps the password from being read off the file at a
// glance and nothing more. One password always gives one and the same text:
// the generator is seeded afresh from a fixed seed on every call.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmo {

// Generalised feedback shift register over x^521 + x^32 + 1: each regenerated
// word is the XOR of the words 521 and 32 places back. All arithmetic is
// unsigned 32-bit with wrap-around.
class ScrambleGenerator {
  public:
    void Seed(std::uint32_t seed);
    std::uint32_t Next();
    void Refill();

  private:
    static constexpr std::size_t kWords = 521;
    std::array<std::uint32_t, kWords> x_{};
    std::size_t k_ = kWords - 1;
};

// Inverts the bits the fixed flip schedule names in the first `dataBytes`
// bytes of `buffer`, most significant bit first. `buffer` must hold one spare
// byte after the data: a cursor that lands exactly on the end inverts a bit of
// it. The same pass undoes itself.
void FlipScheduledBits(std::string& buffer, std::size_t dataBytes);

// The scrambled text of `password`: 6 * size + 15 characters from '!' to '~'.
// An empty password has no scrambled form and gives the empty text.
std::string EncodePassword(std::string_view password);

// The password whose scrambled text `text` is, or the empty text when `text`
// is not exactly what EncodePassword writes for some password.
std::string DecodePassword(std::string_view text);

}  // namespace velmo
