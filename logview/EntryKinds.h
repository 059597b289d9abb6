// What a line of the log archive is: its kind, its day and, for an access
// entry, who knocked at which port. The router's words that decide the kind
// stand in one table (EntryKinds.cpp).
#pragma once

#include <cstdint>
#include <string_view>

namespace velmo {

enum class EntryKind : std::uint8_t { Access, Login, Line, Other };
inline constexpr int kEntryKindCount = 4;

// The day of a line that carries no stamp before any stamped line.
inline constexpr std::int32_t kNoDay = INT32_MIN;

struct LineFacts {
    EntryKind kind = EntryKind::Other;
    bool drop = false;          // the line going down (回線 only)
    bool stamped = false;       // begins with a stamp the tool writes
    bool continuation = false;  // a sub-info line: it takes the kind of the entry before it
    bool toolLine = false;      // the tool's own update marker or failure line, or an empty line
    std::int32_t day = kNoDay;  // days since 1970-01-01 of the stamp
    std::string_view source;    // access entries: the source address, without its port
    std::string_view port;      // access entries: the port knocked at, else the source's port
};

// The facts of one line (without its line end). `before` is the kind of the
// entry before it, which a sub-info line takes.
LineFacts ReadLineFacts(std::string_view line, EntryKind before);

// True for a line the capture may still cut away when it stands at the end of
// the archive: its update marker, its failure line, an empty line.
bool IsTrailingToolLine(std::string_view line);

// The day of a stamp "[YYYY/MM/DD hh:mm:ss]" at the start of `line`.
bool StampDay(std::string_view line, std::int32_t& day);

// Days since 1970-01-01 and back (proleptic Gregorian calendar).
std::int32_t DayNumber(int year, int month, int day);
void DayDate(std::int32_t dayNumber, int& year, int& month, int& day);

}  // namespace velmo
