// Conversion between UTF-8 (source files, the host's terminal) and CP932.
// POSIX uses iconv("CP932"), Windows MultiByteToWideChar with code page 932.
#pragma once

#include <string>
#include <string_view>

namespace velmo {

// UTF-8 to CP932. Characters CP932 cannot hold become '?'.
std::string Utf8ToSjis(std::string_view utf8);

// CP932 to UTF-8. Invalid bytes become U+FFFD.
std::string SjisToUtf8(std::string_view sjis);

}  // namespace velmo
