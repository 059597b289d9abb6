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
