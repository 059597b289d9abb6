#include "sim/SimulatorOptions.h"

#include <charconv>

namespace velmo {

bool ParseFault(std::string_view text, Fault& fault) {
    if (text == "silent") {
        fault = Fault{Fault::Kind::Silent, 0};
        return true;
    }
    static constexpr std::pair<std::string_view, Fault::Kind> kKinds[] = {
        {"delay:", Fault::Kind::Delay},
        {"status:", Fault::Kind::Status},
        {"close:", Fault::Kind::CloseAfter},
        {"size:", Fault::Kind::BodySize},
    };
    for (const auto& [prefix, kind] : kKinds) {
        if (!text.starts_with(prefix)) {
            continue;
        }
        std::string_view digits = text.substr(prefix.size());
        long value = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value < 0) {
            return false;
        }
        if (kind == Fault::Kind::Status && (value < 100 || value > 999)) {
            return false;
        }
        fault = Fault{kind, value};
        return true;
    }
    return false;
}

}  // namespace velmo
