#include "base/DateTime.h"

#include <cstdio>

namespace velmo {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

// constexpr, so that DateTime constants of other files can be built during
// static initialisation in any order.
constexpr std::int64_t kEpochDays = DaysFromCivil(1899, 12, 30);        // the day count's origin
constexpr std::int64_t kFileTimeEpochDays = DaysFromCivil(1601, 1, 1);  // FILETIME's origin
constexpr std::int64_t kMinSeconds = (DaysFromCivil(100, 1, 1) - kEpochDays) * kSecondsPerDay;
constexpr std::int64_t kMaxSeconds = (DaysFromCivil(10000, 1, 1) - kEpochDays) * kSecondsPerDay - 1;

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Reads an unsigned decimal number of 1 to `maxDigits` digits at `pos`.
bool ReadNumber(std::string_view text, std::size_t& pos, int maxDigits, int& value) {
    int digits = 0;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < maxDigits) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits > 0;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

void SkipBlanks(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
}

// "H:M" or "H:M:S".
bool ParseTime(std::string_view text, std::size_t& pos, int& h, int& mi, int& s) {
    s = 0;
    if (!ReadNumber(text, pos, 2, h) || !Expect(text, pos, ':') || !ReadNumber(text, pos, 2, mi)) {
        return false;
    }
    if (Expect(text, pos, ':') && !ReadNumber(text, pos, 2, s)) {
        return false;
    }
    return true;
}

}  // namespace

DateTime DateTime::FromParts(int year, int month, int day, int hour, int minute, int second) {
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return Invalid();
    }
    DateTime t;
    std::int64_t days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochDays;
    t.seconds_ = days * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    return t;
}

DateTime DateTime::Invalid() {
    DateTime t;
    t.valid_ = false;
    return t;
}

std::optional<DateTime> DateTime::Parse(std::string_view text) {
    std::size_t pos = 0;
    SkipBlanks(text, pos);
    int y = 1899, mo = 12, d = 30, h = 0, mi = 0, s = 0;
    std::size_t start = pos;
    bool hasDate = false;
    if (ReadNumber(text, pos, 4, y) && pos < text.size() && (text[pos] == '/' || text[pos] == '-')) {
        char sep = text[pos++];
        if (!ReadNumber(text, pos, 2, mo) || !Expect(text, pos, sep) || !ReadNumber(text, pos, 2, d)) {
            return std::nullopt;
        }
        hasDate = true;
        SkipBlanks(text, pos);
        if (pos < text.size() && !ParseTime(text, pos, h, mi, s)) {
            return std::nullopt;
        }
    } else {
        pos = start;
        y = 1899;
        if (!ParseTime(text, pos, h, mi, s)) {
            return std::nullopt;
        }
    }
    SkipBlanks(text, pos);
    if (pos != text.size() || (!hasDate && pos == start)) {
        return std::nullopt;
    }
    DateTime t = FromParts(y, mo, d, h, mi, s);
    if (!t.IsValid()) {
        return std::nullopt;
    }
    return t;
}

CalendarTime DateTime::Calendar() const {
    CalendarTime c;
    std::int64_t days = FloorDiv(seconds_, kSecondsPerDay);
    std::int64_t rest = seconds_ - days * kSecondsPerDay;
    CivilFromDays(days + kEpochDays, c.year, c.month, c.day);
    c.hour = static_cast<int>(rest / 3600);
    c.minute = static_cast<int>(rest / 60 % 60);
    c.second = static_cast<int>(rest % 60);
    // 1970-01-01 was a Thursday (4).
    c.dayOfWeek = static_cast<int>(((days + kEpochDays) % 7 + 7 + 4) % 7);
    return c;
}

double DateTime::OleDays() const {
    std::int64_t days = FloorDiv(seconds_, kSecondsPerDay);
    double fraction = static_cast<double>(seconds_ - days * kSecondsPerDay) / kSecondsPerDay;
    // Before the origin the OLE type counts whole days down and the time of day up.
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

std::string DateTime::Format(std::string_view pattern) const {
    if (!valid_) {
        return {};
    }
    CalendarTime c = Calendar();
    std::string out;
    char field[8];
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            out += pattern[i];
            continue;
        }
        char conversion = pattern[++i];
        int value = 0, width = 2;
        switch (conversion) {
            case 'Y':
                value = c.year;
                width = 4;
                break;
            case 'm':
                value = c.month;
                break;
            case 'd':
                value = c.day;
                break;
            case 'H':
                value = c.hour;
                break;
            case 'M':
                value = c.minute;
                break;
            case 'S':
                value = c.second;
                break;
            case '%':
                out += '%';
                continue;
            default:
                out += '%';
                out += conversion;
                continue;
        }
        std::snprintf(field, sizeof field, "%0*d", width, value);
        out += field;
    }
    return out;
}

DateTime DateTime::OnDateOf(const DateTime& day) const {
    if (!valid_ || !day.valid_) {
        return Invalid();
    }
    CalendarTime date = day.Calendar();
    CalendarTime time = Calendar();
    return FromParts(date.year, date.month, date.day, time.hour, time.minute, time.second);
}

DateTime DateTime::PlusSeconds(std::int64_t seconds) const {
    if (!valid_ || seconds > kMaxSeconds - kMinSeconds || seconds < kMinSeconds - kMaxSeconds) {
        return Invalid();
    }
    DateTime t;
    t.seconds_ = seconds_ + seconds;
    if (t.seconds_ < kMinSeconds || t.seconds_ > kMaxSeconds) {
        return Invalid();
    }
    return t;
}

std::int64_t DateTime::SecondsSince(const DateTime& earlier) const {
    return seconds_ - earlier.seconds_;
}

std::int64_t DateTime::ToFileTime() const {
    std::int64_t secondsSince1601 = seconds_ + (kEpochDays - kFileTimeEpochDays) * kSecondsPerDay;
    return secondsSince1601 * 10000000;
}

std::optional<DateTime> DateTime::FromFileTime(std::int64_t fileTime) {
    if (fileTime < 0) {
        return std::nullopt;
    }
    std::int64_t seconds = fileTime / 10000000 - (kEpochDays - kFileTimeEpochDays) * kSecondsPerDay;
    if (seconds < kMinSeconds || seconds > kMaxSeconds) {
        return std::nullopt;
    }
    DateTime t;
    t.seconds_ = seconds;
    return t;
}

}  // namespace velmo
