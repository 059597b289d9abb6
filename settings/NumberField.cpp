#include "settings/NumberField.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace velmo {

std::string FormatNumberField(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", FLT_DIG, static_cast<double>(value));
    return buffer;
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the decimal number at the start of `text`, 0 when there is none.
// Hexadecimal, "inf" and "nan" are not numbers here on any platform.
std::size_t DecimalNumberLength(const std::string& text, std::size_t pos) {
    std::size_t start = pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    std::size_t digits = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos, ++digits;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && IsDigit(text[pos])) {
            ++pos, ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t e = pos + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) {
            ++e;
        }
        if (e < text.size() && IsDigit(text[e])) {
            while (e < text.size() && IsDigit(text[e])) {
                ++e;
            }
            pos = e;
        }
    }
    return pos - start;
}

}  // namespace

bool ParseNumberField(const std::string& fieldText, float& value) {
    std::string text = fieldText.substr(0, kNumberFieldChars);
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) {
        ++pos;
    }
    std::size_t length = DecimalNumberLength(text, pos);
    if (length == 0) {
        return false;
    }
    double number = std::strtod(text.substr(pos, length).c_str(), nullptr);
    if (number == 0.0 && text[pos] != '0') {
        return false;  // "-0", "+0", ".0": a zero must be written as one
    }
    if (!std::isfinite(number) || std::fabs(number) > FLT_MAX) {
        return false;
    }
    std::size_t end = pos + length;
    while (end < text.size() && IsBlank(text[end])) {
        ++end;
    }
    if (end != text.size()) {
        return false;
    }
    value = static_cast<float>(number);
    return true;
}

float MillisecondsToSeconds(std::int32_t milliseconds) {
    return static_cast<float>(milliseconds * 0.001);
}

float MillisecondsToMinutes(std::int32_t milliseconds) {
    return static_cast<float>(milliseconds * (1.0 / 60000));
}

namespace {

// Truncates toward zero; a value beyond the int range saturates instead of
// being undefined.
std::int32_t TruncateToInt(double value) {
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t SecondsToMilliseconds(float seconds) {
    return TruncateToInt(static_cast<double>(seconds) * 1000.0);
}

std::int32_t MinutesToMilliseconds(float minutes) {
    return TruncateToInt(static_cast<double>(minutes) * 60000.0);
}

}  // namespace velmo
