// The string table: the texts the tool shows or writes, by resource id. Both
// this table and the resource script's are made from res/texts/ja.txt.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace velmo {

// The text of string `id` in CP932; empty for an id the table does not hold.
const std::string& TableString(int id);

// The text of string `id` with its placeholders ("%s" or "%d") filled by
// `values` in turn. Each placeholder is looked for after the value put in
// before it, so a "%s" inside a value (a path) stays as it is; placeholders
// without a value stay, values without a placeholder are dropped.
std::string FilledString(int id, std::initializer_list<std::string_view> values);

// The UTF-8 source text of string `id`; nullptr when absent.
const char* StringTableUtf8(int id);

}  // namespace velmo
