// The system log page parser on arbitrary pages, and on log pages built
// around an arbitrary entry text that is escaped as a router's script would
// escape it. The first byte chooses which.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/SjisText.h"
#include "routerlog/SystemLogPage.h"
#include "sim/LogPageBuilder.h"

namespace {

const std::int64_t kBase = velmo::DateTime::FromParts(2026, 12, 8, 12, 0, 0).ToFileTime();
const velmo::LogEntry kEarlier{std::nullopt, 0, "earlier", false};

// Every entry's text is one line: no CR, LF or zero byte.
void CheckEntries(const std::vector<velmo::LogEntry>& entries) {
    for (const velmo::LogEntry& entry : entries) {
        if (entry.text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
            std::abort();
        }
    }
}

void ParseAnyPage(const std::string& page) {
    std::vector<velmo::LogEntry> entries{kEarlier};
    const velmo::LogPageOutcome outcome = velmo::ParseSystemLogPage(page, kBase, entries);
    if (outcome == velmo::LogPageOutcome::NotLogPage || outcome == velmo::LogPageOutcome::NoEntry) {
        if (entries != std::vector<velmo::LogEntry>{kEarlier}) {
            std::abort();
        }
        return;
    }
    CheckEntries(entries);
}

// The length of the character at `i` as the page's reader takes it: a lead
// byte makes two bytes only with a byte that can end the character.
std::size_t CharLength(std::string_view text, std::size_t i) {
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    const bool trail = (next >= 0x40 && next <= 0x7E) || (next >= 0x80 && next <= 0xFC);
    return velmo::SjisCharLength(text, i) == 2 && trail ? 2 : 1;
}

// The text as a single-quoted script string: backslash, quote and double
// quote escaped, double-byte characters left whole.
std::string Escaped(std::string_view text) {
    std::string escaped;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = CharLength(text, i);
        if (length == 1 && (text[i] == '\\' || text[i] == '\'' || text[i] == '"')) {
            escaped += '\\';
        }
        escaped.append(text.substr(i, length));
        i += length;
    }
    return escaped;
}

void RoundTripEntryText(std::string_view text) {
    // A lone lead byte before a character that is escaped would take the
    // escaping backslash as its trail byte, as a browser would.
    for (std::size_t i = 0; i + 1 < text.size(); i += CharLength(text, i)) {
        if (velmo::IsSjisLeadByte(static_cast<unsigned char>(text[i])) && CharLength(text, i) == 1 &&
            std::string_view("\\'\"").find(text[i + 1]) != std::string_view::npos) {
            return;
        }
    }
    const std::string page = velmo::SystemLogPageBody({{2000, Escaped(text)}, {{}, "after"}});
    std::vector<velmo::LogEntry> entries;
    if (velmo::ParseSystemLogPage(page, kBase, entries) != velmo::LogPageOutcome::EntriesRead) {
        std::abort();
    }
    std::string expected(text);
    for (char& c : expected) {
        if (c == '\r' || c == '\n' || c == '\0') {
            c = ' ';
        }
    }
    const velmo::DateTime stamp = velmo::DateTime::FromParts(2026, 12, 8, 11, 59, 58);
    if (entries !=
        std::vector<velmo::LogEntry>{{stamp, 2000, expected, false}, {stamp, 2000, "after", true}}) {
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
