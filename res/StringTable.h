// The string table: user-visible texts by resource id. The resource script
// carries the same texts (a test compares them), the core reads them here.
#pragma once

#include <string>

namespace velmo {

// The text of string `id` in CP932; empty for an id the table does not hold.
const std::string& TableString(int id);

// The UTF-8 source text of string `id`; nullptr when absent.
const char* StringTableUtf8(int id);

}  // namespace velmo
