// UpdateLogFile on a scratch file holding arbitrary bytes, with the entries
// of an arbitrary log page: the file afterwards is exactly the part of the
// old content that is kept, followed by the new text, and what was cut was
// only the tool's own trailing lines.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/FileSystem.h"
#include "routerlog/LogFile.h"
#include "routerlog/LogStamp.h"
#include "routerlog/SystemLogPage.h"

namespace {

const std::string& ScratchFile() {
    static const std::string name =
        (std::filesystem::temp_directory_path() / ("velmo-fuzz-log-" + std::to_string(::getpid()) + ".txt"))
            .string();
    return name;
}

// True when every line of `tail` is empty, a failure line or an update marker.
bool OnlyToolLines(std::string_view tail) {
    std::size_t start = 0;
    while (start < tail.size()) {
        std::size_t end = tail.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = tail.size();
        }
        const std::string_view line = tail.substr(start, end - start);
        if (!line.empty() && !velmo::IsFailureLine(line) && !velmo::IsUpdateMarkerLine(line)) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string old(input.substr(0, size / 2));
    const std::string page(input.substr(size / 2));
    const velmo::DateTime now = velmo::DateTime::FromParts(2026, 12, 8, 12, 0, 0);
    std::ofstream(ScratchFile(), std::ios::binary | std::ios::trunc) << old;
    // Each input is a file of its own: the last input's ledger says nothing of it.
    std::filesystem::remove(velmo::LedgerFileName(ScratchFile()));

    velmo::CapturedLog capture;
    capture.filters = velmo::LogFilters{true, true, true};
    velmo::ParseSystemLogPage(page, now.ToFileTime(), capture.entries);
    if (capture.entries.empty()) {
        capture.failedAt = now;
    }
    const velmo::CaptureResult result = velmo::UpdateLogFile(ScratchFile(), capture, now);
    std::string after;
    if (!result.written || !velmo::ReadFileBytes(ScratchFile(), after)) {
        std::abort();
    }
    velmo::LogWrite write;
    velmo::MergeLogText(old, capture, now, write);
    if (after != old.substr(0, write.cutAt) + write.appendText ||
        !OnlyToolLines(std::string_view(old).substr(write.cutAt))) {
        std::abort();
    }
    return 0;
}
