// Local date and time in whole seconds, counted from 1899-12-30 00:00:00 like
// the classic OLE date type, with a validity flag.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmo {

struct CalendarTime {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
    int dayOfWeek = 6;  // 0 = Sunday; filled in by DateTime::Calendar()
};

class DateTime {
  public:
    // 1899/12/30 00:00:00, valid: the day count 0.0.
    DateTime() = default;

    // A valid moment when every field is in range (years 100 to 9999), else Invalid().
    static DateTime FromParts(int year, int month, int day, int hour, int minute, int second);
    static DateTime Invalid();
    // Parses what Format("%Y/%m/%d %H:%M:%S") writes and a few common forms:
    // "Y/M/D", "Y-M-D", either followed by "H:M" or "H:M:S", or a time alone
    // (on 1899/12/30). Blanks around are ignored; the empty text is rejected.
    static std::optional<DateTime> Parse(std::string_view text);

    bool IsValid() const { return valid_; }
    CalendarTime Calendar() const;
    // Day count since 1899-12-30 as the OLE type keeps it (fraction = time of day).
    double OleDays() const;

    // strftime-like: %Y %m %d %H %M %S %%; other characters are copied. An
    // invalid moment formats as the empty text.
    std::string Format(std::string_view pattern) const;

    // This moment's time of day on the date of `day`.
    DateTime OnDateOf(const DateTime& day) const;
    DateTime PlusSeconds(std::int64_t seconds) const;
    // Whole seconds from `earlier` to this moment (negative when this is earlier).
    std::int64_t SecondsSince(const DateTime& earlier) const;

    // 100-nanosecond units since 1601-01-01 (the FILETIME form), no time-zone change.
    std::int64_t ToFileTime() const;
    // Inverse of ToFileTime; nullopt when out of the supported range.
    static std::optional<DateTime> FromFileTime(std::int64_t fileTime);

    friend bool operator==(const DateTime&, const DateTime&) = default;
    friend std::strong_ordering operator<=>(const DateTime& a, const DateTime& b) {
        if (auto c = a.valid_ <=> b.valid_; c != 0) {
            return c;
        }
        return a.seconds_ <=> b.seconds_;
    }

  private:
    std::int64_t seconds_ = 0;  // since 1899-12-30 00:00:00
    bool valid_ = true;
};

inline constexpr const char* kDateTimeFormat = "%Y/%m/%d %H:%M:%S";

}  // namespace velmo
