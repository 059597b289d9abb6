// ExtractBetween and TranslateWord on arbitrary pages and markers. The input
// holds two markers and a page, separated by 0xFF bytes (never CP932 text).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "router/MarkerExtraction.h"
#include "router/StatusPage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    for (std::size_t cut; parts.size() < 3 && (cut = input.find('\xFF')) != std::string_view::npos;) {
        parts.push_back(input.substr(0, cut));
        input.remove_prefix(cut + 1);
    }
    parts.push_back(input);
    if (parts.size() < 3) {
        return 0;
    }
    const std::string page(parts.back());
    const std::vector<velmo::MarkerPair> pairs = {{std::string(parts[0]), std::string(parts[1])}};
    const std::size_t startAt = parts.size() > 3 ? parts[2].size() : 0;

    std::string value = "unchanged";
    std::size_t resume = 12345;
    if (velmo::ExtractBetween(value, page, pairs, startAt, &resume)) {
        // The value is a trimmed piece of the page, and resuming stays inside it.
        if (resume > page.size() || value.size() > page.size()) {
            std::abort();
        }
        if (!value.empty() && (value.front() == ' ' || value.back() == '\n')) {
            std::abort();
        }
    } else if (value != "unchanged" || resume != 12345) {
        std::abort();
    }
    std::string word = page;
    if (velmo::TranslateWord(word, velmo::modemWords()) == (word == page)) {
        std::abort();
    }
    return 0;
}
