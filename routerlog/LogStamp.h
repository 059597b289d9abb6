// Time stamps and the tool's own lines in the log file.
//
// A stamp is string 110 filled with a local date and time:
// "[2002/05/01 09:05:07]  " (23 characters). The stamp key of a line is the
// text before its first "]"; zero-padded fields make key order time order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/DateTime.h"

namespace velmo {

// String 110 filled with the calendar fields of `time`.
std::string FormatLogStamp(const CalendarTime& time);

// As many blanks as a stamp has characters (23): the stamp of a sub-info
// entry that no timed entry precedes.
const std::string& LogStampBlanks();

// Reads the stamp that begins `line` (exactly what FormatLogStamp writes for a
// valid date and time) as whole seconds since 1899-12-30; false, `seconds`
// untouched, when the line does not begin with one.
bool LogStampSeconds(std::string_view line, std::int64_t& seconds);

// "<stamp of time> ログの取得に失敗しました", without a line end.
std::string FailureLine(const DateTime& time);

// "<stamp of time> Last Log Update", without a line end.
std::string UpdateMarkerLine(const DateTime& time);

// The text before the first "]" of `line` (never on a trail byte); false,
// `key` untouched, for a line without "]".
bool StampKey(std::string_view line, std::string_view& key);

// True for a line of exactly the shape FailureLine / UpdateMarkerLine write:
// whatever stands before its first "]", then the stamp's tail, one blank and
// the text. A router entry that merely contains the words is not such a line.
bool IsFailureLine(std::string_view line);
bool IsUpdateMarkerLine(std::string_view line);

}  // namespace velmo
