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

    std::string capture = "failure\n";
    velmo::ParseSystemLogPage(page, now.ToFileTime(), velmo::LogFilters{true, true, true}, capture);
    const velmo::LogMerge merge = velmo::MergeLogText(file, capture, now);
    // The merge keeps a prefix of the file and ends with one line end.
    if (merge.cutAt > file.size() || !merge.appendText.ends_with("\r\n")) {
        std::abort();
    }
    // Reading the file's tail in small blocks (lines across block ends, a CR
    // and its LF in two blocks) comes to the same merge.
    const std::size_t block = size == 0 ? 1 : 1 + data[0] % 17;
    const velmo::LogMerge small = velmo::MergeLogText(file, capture, now, block);
    if (small.cutAt != merge.cutAt || small.appendText != merge.appendText ||
        small.accessCount != merge.accessCount) {
        std::abort();
    }
    return 0;
}
