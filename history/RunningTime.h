// The router's running time of the line, as its status page writes it.
#pragma once

#include <cstdint>
#include <string>

namespace velmo {

// Seconds of a running time "h:mm:ss" (any number of hours), "N日 h:mm:ss" or
// "Nd hh:mm:ss" (CP932); -1 when the text is none of these.
std::int64_t RunningTimeSeconds(const std::string& cell);

// The running-time cell as the screen shows it: a day count's "日" in the
// language the tool speaks ("2日 3:04:05" is "2d 3:04:05" in English); any
// other cell as it is.
std::string ShownRunningTime(const std::string& cell);

// "h:mm:ss" with as many hours as needed; negative counts as 0.
std::string RunningTimeText(std::int64_t seconds);

}  // namespace velmo
