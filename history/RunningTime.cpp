#include "history/RunningTime.h"

#include <cstdio>
#include <string_view>

#include "base/CodePage.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

namespace {

// "h:mm:ss", each part a run of digits.
std::int64_t ClockSeconds(std::string_view text) {
    std::int64_t parts[3] = {0, 0, 0};
    int part = 0;
    std::size_t digits = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9' && digits < 6) {
            parts[part] = parts[part] * 10 + (c - '0');
            ++digits;
        } else if (c == ':' && digits > 0 && part < 2) {
            ++part;
            digits = 0;
        } else {
            return -1;
        }
    }
    if (part != 2 || digits == 0 || parts[1] > 59 || parts[2] > 59) {
        return -1;
    }
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

// The day mark of the router's Japanese pages.
const std::string& DayMark() {
    static const std::string mark = Utf8ToSjis("日");
    return mark;
}

// The day count before "日" or "d", with the blanks after it passed over;
// `rest` receives the text after them. -1 without a day count.
std::int64_t DayCount(std::string_view text, std::string_view& rest) {
    std::size_t digits = 0;
    std::int64_t days = 0;
    while (digits < text.size() && digits < 6 && text[digits] >= '0' && text[digits] <= '9') {
        days = days * 10 + (text[digits] - '0');
        ++digits;
    }
    if (digits == 0) {
        return -1;
    }
    rest = text.substr(digits);
    if (rest.starts_with(DayMark())) {
        rest.remove_prefix(DayMark().size());
    } else if (rest.starts_with("d")) {
        rest.remove_prefix(1);
    } else {
        return -1;
    }
    const std::size_t blanks = rest.find_first_not_of(' ');
    if (blanks == 0 || blanks == std::string_view::npos) {
        return -1;  // the clock part stands after at least one blank
    }
    rest.remove_prefix(blanks);
    return days;
}

}  // namespace

std::int64_t RunningTimeSeconds(const std::string& cell) {
    const std::int64_t plain = ClockSeconds(cell);
    if (plain >= 0) {
        return plain;
    }
    std::string_view rest;
    const std::int64_t days = DayCount(cell, rest);
    const std::int64_t clock = days < 0 ? -1 : ClockSeconds(rest);
    return clock < 0 ? -1 : days * 86400 + clock;
}

std::string ShownRunningTime(const std::string& cell) {
    const std::size_t digits = cell.find_first_not_of("0123456789");
    if (RunningTimeSeconds(cell) < 0 || digits == std::string::npos ||
        cell.compare(digits, DayMark().size(), DayMark()) != 0) {
        return cell;  // a plain clock, the "d" form or no running time
    }
    return cell.substr(0, digits) + TableString(IDS_RUNNING_TIME_DAY) +
           cell.substr(digits + DayMark().size());
}

std::string RunningTimeText(std::int64_t seconds) {
    if (seconds < 0) {
        seconds = 0;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

}  // namespace velmo
