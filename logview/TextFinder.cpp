#include "logview/TextFinder.h"

#include <cstring>

#include "base/SjisText.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmo {

namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// How often a byte stands in a log line, roughly: digits, blanks and the
// stamp's separators most, then frequent letters; rare bytes make few
// candidates.
int Commonness(unsigned char byte) {
    if (byte == ' ' || (byte >= '0' && byte <= '9') || byte == '/' || byte == ':' || byte == '.') {
        return 4;
    }
    if (std::strchr("etaoinsrlcdu", byte | 0x20) != nullptr && IsLetter(static_cast<char>(byte))) {
        return 3;
    }
    if (IsLetter(static_cast<char>(byte)) || byte == '[' || byte == ']' || byte == 0x81 || byte == 0x82 ||
        byte == 0x83) {
        return 2;
    }
    return 1;
}

}  // namespace

TextFinder::TextFinder(std::string_view text) : text_(text), fold_(text.size(), '\0') {
    // Only single-byte characters are letters: a trail byte is matched exactly.
    for (std::size_t i = 0; i < text_.size(); i += SjisCharLength(text_, i)) {
        if (SjisCharLength(text_, i) == 1 && IsLetter(text_[i])) {
            text_[i] = static_cast<char>(text_[i] | 0x20);
            fold_[i] = 0x20;
        }
    }
    // The rarest byte, then the rarest other byte (nearest the end on ties).
    for (std::size_t i = 0; i < text_.size(); ++i) {
        if (Commonness(static_cast<unsigned char>(text_[i])) <=
            Commonness(static_cast<unsigned char>(text_[first_]))) {
            first_ = i;
        }
    }
    second_ = first_ == 0 ? text_.size() - 1 : 0;
    for (std::size_t i = 0; i < text_.size(); ++i) {
        if (i != first_ && Commonness(static_cast<unsigned char>(text_[i])) <=
                               Commonness(static_cast<unsigned char>(text_[second_]))) {
            second_ = i;
        }
    }
    if (text_.size() <= 1) {
        second_ = first_;
    }
}

bool TextFinder::MatchesAt(const char* at) const {
    for (std::size_t i = 0; i < text_.size(); ++i) {
        if (static_cast<char>(at[i] | fold_[i]) != text_[i]) {
            return false;
        }
    }
    return true;
}

std::size_t TextFinder::Find(std::string_view haystack, std::size_t from) const {
    const std::size_t n = text_.size();
    if (n == 0 || haystack.size() < n) {
        return n == 0 && from <= haystack.size() ? from : npos;
    }
    const std::size_t last = haystack.size() - n;  // the last start a match can have
    const char* data = haystack.data();
    std::size_t position = from;
#if defined(__SSE2__)
    const __m128i firstByte = _mm_set1_epi8(text_[first_]);
    const __m128i secondByte = _mm_set1_epi8(text_[second_]);
    const __m128i firstFold = _mm_set1_epi8(fold_[first_]);
    const __m128i secondFold = _mm_set1_epi8(fold_[second_]);
    while (position + 16 <= last + 1) {
        const __m128i a = _mm_or_si128(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + position + first_)), firstFold);
        const __m128i b = _mm_or_si128(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + position + second_)), secondFold);
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, firstByte), _mm_cmpeq_epi8(b, secondByte))));
        while (mask != 0) {
            const std::size_t candidate = position + static_cast<std::size_t>(__builtin_ctz(mask));
            if (MatchesAt(data + candidate)) {
                return candidate;
            }
            mask &= mask - 1;
        }
        position += 16;
    }
#endif
    for (; position <= last; ++position) {
        if (static_cast<char>(data[position + first_] | fold_[first_]) == text_[first_] &&
            MatchesAt(data + position)) {
            return position;
        }
    }
    return npos;
}

}  // namespace velmo
