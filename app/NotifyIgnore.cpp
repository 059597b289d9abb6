#include "app/NotifyIgnore.h"

#include <algorithm>
#include <cctype>

namespace velmo {

namespace {

constexpr std::string_view kFrom = "Unrecognized access from ";
// Longer than any address: a longer word is not looked at.
constexpr std::size_t kLongestAddress = 45;

bool IsSeparator(char ch) {
    return ch == ' ' || ch == '\t' || ch == ',' || ch == '\r' || ch == '\n';
}

bool IsIpv4(std::string_view word) {
    int parts = 0;
    while (true) {
        std::size_t digits = 0;
        int value = 0;
        while (digits < word.size() && std::isdigit(static_cast<unsigned char>(word[digits]))) {
            value = value * 10 + (word[digits] - '0');
            if (++digits > 3) {
                return false;
            }
        }
        if (digits == 0 || value > 255) {
            return false;
        }
        ++parts;
        word.remove_prefix(digits);
        if (word.empty()) {
            return parts == 4;
        }
        if (word.front() != '.' || parts == 4) {
            return false;
        }
        word.remove_prefix(1);
    }
}

// Hex digits and colons, with at least two colons (and an IPv4 tail allowed).
bool IsIpv6(std::string_view word) {
    if (std::count(word.begin(), word.end(), ':') < 2) {
        return false;
    }
    return std::all_of(word.begin(), word.end(), [](char ch) {
        return std::isxdigit(static_cast<unsigned char>(ch)) || ch == ':' || ch == '.';
    });
}

bool IsAddress(std::string_view word) {
    return word.size() <= kLongestAddress && (IsIpv4(word) || IsIpv6(word));
}

std::string Lowered(std::string_view word) {
    std::string lower(word);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); });
    return lower;
}

}  // namespace

std::vector<std::string> IgnoredSources(std::string_view text) {
    std::vector<std::string> sources;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && IsSeparator(text[pos])) {
            ++pos;
        }
        std::size_t end = pos;
        while (end < text.size() && !IsSeparator(text[end])) {
            ++end;
        }
        const std::string_view word = text.substr(pos, end - pos);
        if (IsAddress(word)) {
            sources.push_back(Lowered(word));
        }
        pos = end;
    }
    return sources;
}

std::string AccessSource(std::string_view entry) {
    const std::size_t at = entry.find(kFrom);
    if (at == std::string_view::npos) {
        return {};
    }
    std::string_view word = entry.substr(at + kFrom.size());
    word = word.substr(0, std::min(word.find(' '), word.size()));
    // One colon ends an IPv4 address and starts its port; "[v6]:port" is unbracketed.
    if (std::count(word.begin(), word.end(), ':') == 1) {
        word = word.substr(0, word.find(':'));
    } else if (!word.empty() && word.front() == '[') {
        word = word.substr(1, word.find(']') - 1);
    }
    return Lowered(word);
}

CaptureResult WithoutIgnoredAccess(CaptureResult result, const std::vector<std::string>& ignored) {
    if (ignored.empty()) {
        return result;
    }
    const auto isIgnored = [&ignored](const std::string& entry) {
        return std::find(ignored.begin(), ignored.end(), AccessSource(entry)) != ignored.end();
    };
    std::erase_if(result.accessEntries, isIgnored);
    result.accessCount = result.accessEntries.size();
    result.accessWarning = result.accessCount > 0;
    result.newestAccessEntry = result.accessEntries.empty() ? std::string() : result.accessEntries.back();
    return result;
}

}  // namespace velmo
