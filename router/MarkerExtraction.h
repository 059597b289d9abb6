// Cutting values out of router pages between marker strings, and replacing a
// whole word by another from a table. Pure functions on CP932 bytes.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace velmo {

// A start and end marker whose first occurrences bracket a value.
struct MarkerPair {
    std::string start;
    std::string end;
};

// A word as the router writes it and the word shown instead.
struct WordPair {
    std::string word;
    std::string replacement;
};

// Tries the pairs in list order; the first pair whose start marker occurs at
// or after `startAt` and whose end marker follows it gives the value: the bytes
// between them, trimmed of single-byte white space. `resumeAt` (when given)
// receives the position just past that end marker. False, with `value` and
// `resumeAt` untouched, when no pair matches (or the list is empty).
bool ExtractBetween(std::string& value, std::string_view page, std::span<const MarkerPair> pairs,
                    std::size_t startAt = 0, std::size_t* resumeAt = nullptr);

// Replaces `text` by the replacement of the first pair whose word equals it
// exactly (every byte, case included). False, `text` untouched, when none does.
bool TranslateWord(std::string& text, std::span<const WordPair> table);

}  // namespace velmo
