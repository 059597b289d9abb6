#include <iconv.h>

#include <cerrno>

#include "base/CodePage.h"

namespace velmo {

namespace {

// Converts with iconv; an input sequence it cannot convert is skipped and
// `replacement` written in its place.
std::string Convert(const char* to, const char* from, std::string_view input, std::string_view replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string(input);
    }
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // EILSEQ or EINVAL: skip one input byte and mark the spot.
            out.append(replacement);
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string Utf8ToSjis(std::string_view utf8) {
    return Convert("CP932", "UTF-8", utf8, "?");
}

std::string SjisToUtf8(std::string_view sjis) {
    return Convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD");
}

}  // namespace velmo
