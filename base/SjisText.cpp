#include "base/SjisText.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace velmo {

bool IsSjisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

namespace {

// Each byte's part when it starts a character: 0 a character of its own,
// 1 a lead byte, 2 never the start of a character.
constexpr std::array<std::uint8_t, 256> kStartClass = [] {
    std::array<std::uint8_t, 256> classes{};
    for (int byte = 0; byte < 256; ++byte) {
        const bool single = byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF);
        const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        classes[static_cast<std::size_t>(byte)] = single ? 0 : lead ? 1 : 2;
    }
    return classes;
}();

}  // namespace

bool IsValidSjis(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    // Eight ASCII bytes at a time up to the first other byte: most log
    // lines are ASCII from end to end.
    for (std::uint64_t word = 0; i + sizeof word <= size; i += sizeof word) {
        std::memcpy(&word, bytes + i, sizeof word);
        if ((word & 0x8080808080808080ull) != 0) {
            break;
        }
    }
    while (i < size) {
        const std::uint8_t start = kStartClass[bytes[i]];
        if (start == 0) {
            ++i;
            continue;
        }
        if (start == 2 || i + 1 == size) {
            return false;
        }
        const unsigned char trail = bytes[i + 1];
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC) {
            return false;
        }
        i += 2;
    }
    return true;
}

std::size_t SjisCharLength(std::string_view text, std::size_t pos) {
    if (pos + 1 < text.size() && IsSjisLeadByte(static_cast<unsigned char>(text[pos]))) {
        return 2;
    }
    return 1;
}

bool IsSjisCharBoundary(std::string_view text, std::size_t pos) {
    std::size_t i = 0;
    while (i < pos && i < text.size()) {
        i += SjisCharLength(text, i);
    }
    return i == pos;
}

std::size_t SjisFind(std::string_view text, std::string_view needle, std::size_t from) {
    if (from > text.size()) {
        return npos;
    }
    // Walk from the start so that every candidate position is a character boundary.
    std::size_t i = 0;
    while (i < from) {
        i += SjisCharLength(text, i);
    }
    while (i + needle.size() <= text.size()) {
        if (text.compare(i, needle.size(), needle) == 0) {
            return i;
        }
        if (i == text.size()) {
            break;
        }
        i += SjisCharLength(text, i);
    }
    return npos;
}

std::size_t SjisFindChar(std::string_view text, char ch, std::size_t from) {
    return SjisFind(text, std::string_view(&ch, 1), from);
}

std::size_t SjisFindLastChar(std::string_view text, char ch) {
    std::size_t last = npos;
    for (std::size_t i = 0; i < text.size(); i += SjisCharLength(text, i)) {
        if (text[i] == ch) {
            last = i;
        }
    }
    return last;
}

bool SjisContains(std::string_view text, std::string_view needle) {
    return SjisFind(text, needle) != npos;
}

namespace {

bool IsSingleByteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::string SjisTrim(std::string_view text) {
    // A trail byte is never one of the white-space bytes (all below 0x40), so
    // byte-wise trimming is safe for Shift-JIS.
    std::size_t begin = 0;
    while (begin < text.size() && IsSingleByteSpace(text[begin])) {
        ++begin;
    }
    std::size_t end = text.size();
    while (end > begin && IsSingleByteSpace(text[end - 1])) {
        --end;
    }
    return std::string(text.substr(begin, end - begin));
}

std::string_view SjisTruncate(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t next = i + SjisCharLength(text, i);
        if (next > maxBytes) {
            break;
        }
        i = next;
    }
    return text.substr(0, i);
}

bool SjisEqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size();) {
        std::size_t len = SjisCharLength(a, i);
        if (len == 2) {
            if (a.compare(i, 2, b.substr(i, 2)) != 0) {
                return false;
            }
        } else if (fold(a[i]) != fold(b[i])) {
            return false;
        }
        i += len;
    }
    return true;
}

}  // namespace velmo
