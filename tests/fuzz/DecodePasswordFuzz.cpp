// DecodePassword on arbitrary text: whatever it accepts must be exactly what
// EncodePassword writes for the password it returns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/PasswordScramble.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string password = velmo::DecodePassword(text);
    if (!password.empty() && velmo::EncodePassword(password) != text) {
        std::abort();
    }
    // The input read as a password (without zero bytes) must come back too.
    if (size > 0 && size <= 64 && text.find('\0') == std::string::npos &&
        velmo::DecodePassword(velmo::EncodePassword(text)) != text) {
        std::abort();
    }
    return 0;
}
