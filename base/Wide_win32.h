// CP932 <-> UTF-16 for the Windows side of the shims and the front end.
// Only code built for Windows includes this header.
#pragma once

#include <string>
#include <string_view>

namespace velmo {

std::wstring SjisToWide(std::string_view sjis);
std::string WideToSjis(std::wstring_view wide);

}  // namespace velmo
