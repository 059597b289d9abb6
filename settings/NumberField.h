// The number fields of the settings pages: intervals shown in seconds or
// minutes as single-precision numbers, kept in milliseconds.
#pragma once

#include <cstdint>
#include <string>

namespace velmo {

// At most this many characters of a number field are read.
inline constexpr std::size_t kNumberFieldChars = 31;

// "%.*g" with 6 significant digits: 3 for 3000 ms, 2.5 for 2500 ms.
std::string FormatNumberField(float value);

// Reads a number field: blanks and tabs around are ignored, the rest must be
// a decimal number ([sign] digits [. digits] [e [sign] digits]); a value of 0
// is accepted only when the first non-blank character is "0". Numbers too
// large for a float are refused too.
bool ParseNumberField(const std::string& text, float& value);

// Milliseconds to seconds or minutes, rounded to single precision.
float MillisecondsToSeconds(std::int32_t milliseconds);
float MillisecondsToMinutes(std::int32_t milliseconds);
// Back to milliseconds, multiplied in double precision and truncated toward
// zero (0.7 s, held just below 0.7, gives 699 ms); saturated at the int range.
std::int32_t SecondsToMilliseconds(float seconds);
std::int32_t MinutesToMilliseconds(float minutes);

}  // namespace velmo
