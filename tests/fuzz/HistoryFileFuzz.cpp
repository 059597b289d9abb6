// Reads arbitrary bytes as the record file (a file the user may edit by hand)
// and as a running-time cell: every row read is a valid session that reads
// back the same from the line the tool writes for it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "history/HistoryFile.h"
#include "history/RunningTime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const velmo::DateTime since = velmo::DateTime::FromParts(2026, 1, 1, 0, 0, 0);
    for (const bool fromStart : {true, false}) {
        for (const velmo::Session& row : velmo::ParseRecentRows(text, fromStart, since)) {
            const std::string line = velmo::HistoryRow(row);
            if (row.end < row.start || row.end < since ||
                velmo::ParseHistoryRow(std::string_view(line).substr(0, line.size() - 2)) != row) {
                std::abort();
            }
        }
    }
    if (velmo::RunningTimeSeconds(std::string(text.substr(0, 64))) < -1) {
        std::abort();
    }
    return 0;
}
