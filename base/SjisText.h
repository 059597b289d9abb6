// Byte strings in the Japanese ANSI code page (CP932, Shift-JIS).
//
// Every text of the core is a std::string of CP932 bytes. A search must never
// match starting on the second (trail) byte of a double-byte character, so the
// helpers here walk the text character by character from its start.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmo {

inline constexpr std::size_t npos = std::string::npos;

// True for a byte that starts a double-byte character (0x81-0x9F, 0xE0-0xFC).
bool IsSjisLeadByte(unsigned char byte);

// Length in bytes (1 or 2) of the character starting at `pos`; a lead byte as
// the very last byte counts as a one-byte character.
std::size_t SjisCharLength(std::string_view text, std::size_t pos);

// True when `pos` is a character boundary of `text` (0 and text.size() are).
bool IsSjisCharBoundary(std::string_view text, std::size_t pos);

// First occurrence of `needle` at or after `from` that starts on a character
// boundary; npos when there is none or `from` lies beyond the end. An empty
// needle is found at `from` itself (when `from` <= size and on a boundary,
// otherwise at the next boundary).
std::size_t SjisFind(std::string_view text, std::string_view needle, std::size_t from = 0);

// First single byte `ch` (an ASCII character) at or after `from` that is not
// the trail byte of a double-byte character.
std::size_t SjisFindChar(std::string_view text, char ch, std::size_t from = 0);

// Last such byte `ch` in the text; npos when absent.
std::size_t SjisFindLastChar(std::string_view text, char ch);

bool SjisContains(std::string_view text, std::string_view needle);

// True when every byte of `text` stands in a CP932 character: ASCII, a
// half-width katakana (0xA1-0xDF), or a lead byte followed by a trail byte
// (0x40-0x7E, 0x80-0xFC). False for 0x80, 0xA0 and 0xFD-0xFF alone, a lead
// byte without its trail, and a lead byte as the last byte.
bool IsValidSjis(std::string_view text);

// Removes single-byte white space (blank, \t, \n, \v, \f, \r) from both ends,
// leading first. A full-width blank is not white space here.
std::string SjisTrim(std::string_view text);

// Longest prefix of `text` with at most `maxBytes` bytes that ends on a
// character boundary (a double-byte character is never cut in half).
std::string_view SjisTruncate(std::string_view text, std::size_t maxBytes);

// Case-insensitive comparison of ASCII letters; trail bytes are compared exactly.
bool SjisEqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace velmo
