// The string table: the texts the tool shows or writes, by resource id, in
// Japanese and in English, made from res/texts/*.txt. The texts come in the
// language the tool speaks now; the texts written into files are the same in
// both.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

enum class Language { Japanese, English };

// The language the tool speaks: "ja" or "en" as the setting names it; for
// "auto" (or a value this version does not know) the Windows display
// language, given as its language id: Japanese for Japanese, English for
// any other.
Language ChooseLanguage(std::string_view setting, unsigned displayLanguageId);

// The language TableString and FilledString speak from now on, on every
// thread; Japanese until set.
void SetTextLanguage(Language language);
Language TextLanguage();

// The text of string `id` in CP932; empty for an id the table does not hold.
const std::string& TableString(int id);
const std::string& TableString(int id, Language language);

// The text of string `id` with its placeholders ("%s" or "%d") filled by
// `values` in turn. Each placeholder is looked for after the value put in
// before it, so a "%s" inside a value (a path) stays as it is; placeholders
// without a value stay, values without a placeholder are dropped.
std::string FilledString(int id, std::initializer_list<std::string_view> values);

// Every id the table holds, in the table's order.
std::vector<int> TableIds();

}  // namespace velmo
