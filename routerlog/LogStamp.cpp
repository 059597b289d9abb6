#include "routerlog/LogStamp.h"

#include <algorithm>
#include <cstdio>

#include "base/SjisText.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

namespace {

// What follows the first "]" of a tool line written with `text`: the rest of
// the stamp (its two blanks), one blank and the text.
std::string ToolLineTail(int textId) {
    const std::string zeroStamp = FormatLogStamp(CalendarTime{0, 0, 0, 0, 0, 0, 0});
    const std::size_t bracket = SjisFindChar(zeroStamp, ']');
    const std::string stampTail = bracket == npos ? std::string() : zeroStamp.substr(bracket);
    return stampTail + " " + TableString(textId);
}

bool HasToolLineTail(std::string_view line, const std::string& tail) {
    const std::size_t bracket = SjisFindChar(line, ']');
    return bracket != npos && line.substr(bracket) == tail;
}

// The decimal number of `count` digits at `position`; -1 when one is not a digit.
int Digits(std::string_view text, std::size_t position, std::size_t count) {
    int value = 0;
    for (std::size_t i = position; i < position + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::string ToolLine(const DateTime& time, int textId) {
    return FormatLogStamp(time.Calendar()) + " " + TableString(textId);
}

}  // namespace

std::string FormatLogStamp(const CalendarTime& time) {
    // Years stay within 4 digits (DateTime holds 100 to 9999), so the stamp
    // always fits; the buffer leaves room for any int all the same.
    char buffer[128];
    const int length = std::snprintf(buffer, sizeof buffer, TableString(IDS_LOG_STAMP).c_str(), time.year,
                                     time.month, time.day, time.hour, time.minute, time.second);
    if (length < 0) {
        return {};
    }
    return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
}

const std::string& LogStampBlanks() {
    static const std::string blanks(FormatLogStamp(CalendarTime{0, 0, 0, 0, 0, 0, 0}).size(), ' ');
    return blanks;
}

bool LogStampSeconds(std::string_view line, std::int64_t& seconds) {
    // The fields stand where "[YYYY/MM/DD hh:mm:ss]  " puts them; formatting
    // the date read back must give the same characters, so that only a stamp
    // the tool itself writes counts (no other separators, no out-of-range field).
    const std::size_t length = LogStampBlanks().size();
    if (line.size() < length || length < 20) {
        return false;
    }
    const DateTime time = DateTime::FromParts(Digits(line, 1, 4), Digits(line, 6, 2), Digits(line, 9, 2),
                                              Digits(line, 12, 2), Digits(line, 15, 2), Digits(line, 18, 2));
    if (!time.IsValid() || FormatLogStamp(time.Calendar()) != line.substr(0, length)) {
        return false;
    }
    seconds = time.SecondsSince(DateTime());
    return true;
}

std::string FailureLine(const DateTime& time) {
    return ToolLine(time, IDS_LOG_FAILURE);
}

std::string UpdateMarkerLine(const DateTime& time) {
    return ToolLine(time, IDS_LOG_UPDATE_MARKER);
}

bool StampKey(std::string_view line, std::string_view& key) {
    const std::size_t bracket = SjisFindChar(line, ']');
    if (bracket == npos) {
        return false;
    }
    key = line.substr(0, bracket);
    return true;
}

bool IsFailureLine(std::string_view line) {
    static const std::string tail = ToolLineTail(IDS_LOG_FAILURE);
    return HasToolLineTail(line, tail);
}

bool IsUpdateMarkerLine(std::string_view line) {
    static const std::string tail = ToolLineTail(IDS_LOG_UPDATE_MARKER);
    return HasToolLineTail(line, tail);
}

}  // namespace velmo
