#include "sim/AdminLogin.h"

#include <map>

namespace velmo {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string Decode(std::string_view text, bool plusIsBlank) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool twoFollow = i + 2 < text.size();
        const int high = twoFollow ? HexValue(text[i + 1]) : -1;
        const int low = twoFollow ? HexValue(text[i + 2]) : -1;
        if (text[i] == '%' && high >= 0 && low >= 0) {
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else if (text[i] == '+' && plusIsBlank) {
            decoded += ' ';
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// name -> value of the first pair of each name, decoded.
std::map<std::string, std::string> QueryPairs(std::string_view query) {
    std::map<std::string, std::string> pairs;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        const std::size_t equals = pair.find('=');
        if (equals != std::string_view::npos) {
            pairs.emplace(FormDecode(pair.substr(0, equals)), FormDecode(pair.substr(equals + 1)));
        }
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    }
    return pairs;
}

}  // namespace

std::string PercentDecode(std::string_view text) {
    return Decode(text, false);
}

std::string FormDecode(std::string_view text) {
    return Decode(text, true);
}

bool LoginAccepted(std::string_view query, const RouterSimulatorOptions& options) {
    const auto pairs = QueryPairs(query);
    const auto password = pairs.find(options.passwordFieldName);
    if (password == pairs.end() || password->second != options.password) {
        return false;
    }
    for (const HiddenField& field : options.hiddenFields) {
        const auto pair = pairs.find(field.name);
        if (pair == pairs.end() || pair->second != field.value) {
            return false;
        }
    }
    return true;
}

}  // namespace velmo
