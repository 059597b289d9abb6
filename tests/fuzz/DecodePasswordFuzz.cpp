// DecodePassword on arbitrary text: whatever it accepts must be exactly what
// EncodePassword writes for the password it returns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/PasswordScramble.h"

namespace {
constexpr std::size_t kMaxRoundTrip = 16;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string password = velmo::DecodePassword(text);
    if (!password.empty() && velmo::EncodePassword(password) != text) {
        std::abort();
    }
    // The input read as a password (without zero bytes) must come back too.
    // Short inputs only: the encoder draws until a byte's three digits fit,
    // about 8 800 tries for a work-buffer byte of 0, and a long password of
    // control bytes would spend the run in that loop. Sixteen bytes still
    // give a work buffer that the flip schedule wraps around.
    if (size > 0 && size <= kMaxRoundTrip && text.find('\0') == std::string::npos &&
        velmo::DecodePassword(velmo::EncodePassword(text)) != text) {
        std::abort();
    }
    return 0;
}
