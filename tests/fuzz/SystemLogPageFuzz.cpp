// The system log page parser on arbitrary pages, and on log pages built
// around an arbitrary entry text that is escaped as a router's script would
// escape it. The first byte chooses which.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/SjisText.h"
#include "routerlog/SystemLogPage.h"

namespace {

const std::int64_t kBase = velmo::DateTime::FromParts(2026, 12, 8, 12, 0, 0).ToFileTime();
constexpr velmo::LogFilters kAll{true, true, true};
constexpr std::size_t kStampLength = 23;

// Every line of a capture is a stamp (or 23 blanks) and one line of text.
void CheckCaptureLines(std::string_view capture) {
    while (!capture.empty()) {
        const std::size_t end = capture.find('\n');
        if (end == std::string_view::npos || end < kStampLength) {
            std::abort();
        }
        const std::string_view line = capture.substr(0, end);
        if (line.find('\r') != std::string_view::npos || line.find('\0') != std::string_view::npos) {
            std::abort();
        }
        if (line[0] != '[' && line.substr(0, kStampLength) != std::string(kStampLength, ' ')) {
            std::abort();
        }
        capture.remove_prefix(end + 1);
    }
}

void ParseAnyPage(const std::string& page) {
    std::string capture = "failure\n";
    const velmo::LogPageOutcome outcome = velmo::ParseSystemLogPage(page, kBase, kAll, capture);
    if (outcome == velmo::LogPageOutcome::NotLogPage || outcome == velmo::LogPageOutcome::NoEntry) {
        if (capture != "failure\n") {
            std::abort();
        }
        return;
    }
    if (capture != "failure\n") {
        CheckCaptureLines(capture);
    }
}

// The text as a single-quoted script string: backslash, quote and double
// quote escaped, double-byte characters left whole.
std::string Escaped(std::string_view text) {
    std::string escaped;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = velmo::SjisCharLength(text, i);
        if (length == 1 && (text[i] == '\\' || text[i] == '\'' || text[i] == '"')) {
            escaped += '\\';
        }
        escaped.append(text.substr(i, length));
        i += length;
    }
    return escaped;
}

void RoundTripEntryText(std::string_view text) {
    // A lead byte at the very end would take the closing quote as its trail byte.
    if (!text.empty() && velmo::SjisCharLength(text, text.size() - 1) == 1 &&
        velmo::IsSjisLeadByte(static_cast<unsigned char>(text.back())) &&
        velmo::IsSjisCharBoundary(text, text.size() - 1)) {
        return;
    }
    const std::string page =
        "<SCRIPT>function L2(w,x){}\nL2(2000,'" + Escaped(text) + "');L1('after');</SCRIPT>";
    std::string capture;
    if (velmo::ParseSystemLogPage(page, kBase, kAll, capture) != velmo::LogPageOutcome::EntriesRead) {
        std::abort();
    }
    std::string expected(text);
    for (char& c : expected) {
        if (c == '\r' || c == '\n' || c == '\0') {
            c = ' ';
        }
    }
    const std::string stamp = "[2026/12/08 11:59:58]  ";
    if (capture != stamp + expected + "\n" + stamp + "after\n") {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 1) {
        RoundTripEntryText(rest);
    } else {
        ParseAnyPage(std::string(rest));
    }
    return 0;
}
