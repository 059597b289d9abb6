// Finding a text in big blocks of Shift-JIS bytes: exact, except that ASCII
// letters match in either case. Candidates come from comparing two of the
// text's rarest bytes at sixteen positions at once; each is then checked in
// full. Whether a candidate starts on a character boundary is the caller's
// to check, from the start of its line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmo {

class TextFinder {
  public:
    explicit TextFinder(std::string_view text);
    bool Empty() const { return text_.empty(); }
    std::size_t Size() const { return text_.size(); }
    // The first place at or after `from` where the text stands; npos if none.
    std::size_t Find(std::string_view haystack, std::size_t from) const;
    // Whether the text stands at the start of `at` (which holds Size() bytes).
    bool MatchesAt(const char* at) const;

  private:
    std::string text_;  // letters lowered
    std::string fold_;  // 0x20 where the text holds a letter, else 0
    std::size_t first_ = 0, second_ = 0;
};

}  // namespace velmo
