// The log page parser and the log-file merge on arbitrary pages and files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "routerlog/LogFile.h"
#include "routerlog/SystemLogPage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first half is the log page, the second the file's old content.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string page(input.substr(0, size / 2));
    const std::string file(input.substr(size / 2));
    const velmo::DateTime now = velmo::DateTime::FromParts(2026, 12, 8, 12, 0, 0);

    velmo::CapturedLog capture;
    capture.filters = velmo::LogFilters{true, true, true};
    velmo::ParseSystemLogPage(page, now.ToFileTime(), capture.entries);
    if (capture.entries.empty()) {
        capture.failedAt = now;
    }
    velmo::LogWrite write;
    const velmo::CaptureResult result = velmo::MergeLogText(file, capture, now, write);
    // The merge keeps a prefix of the file and ends with one line end.
    if (write.cutAt > file.size() || !write.appendText.ends_with("\r\n")) {
        std::abort();
    }
    // Reading the file's tail in small blocks (lines across block ends, a CR
    // and its LF in two blocks) comes to the same merge.
    const std::size_t block = size == 0 ? 1 : 1 + data[0] % 17;
    velmo::LogWrite small;
    const velmo::CaptureResult smallResult = velmo::MergeLogText(file, capture, now, small, block);
    if (small.cutAt != write.cutAt || small.appendText != write.appendText ||
        smallResult.accessCount != result.accessCount) {
        std::abort();
    }
    return 0;
}
