// The frame every administration page of the simulated router shares.
#pragma once

#include <string>

namespace velmo {

// An HTML page titled `titleUtf8` (written in CP932) around `body` (CP932).
std::string AdminPage(const char* titleUtf8, const std::string& body);

}  // namespace velmo
