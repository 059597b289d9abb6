// Parses arbitrary bytes as a settings file, reads keys, sets keys and checks
// that the re-serialised file reads back every value set.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/SjisText.h"
#include "settings/ProfileFile.h"

namespace {

struct Assignment {
    std::string section, key, value;
};

// The value the reader returns for what the writer was given.
std::string Expected(const std::string& value) {
    return value.substr(0, value.find_first_of("\r\n"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::size_t limit = input.ConsumeIntegralInRange<std::size_t>(0, 2048);
    std::vector<Assignment> assignments;
    const int count = input.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < count; ++i) {
        Assignment a;
        a.section = input.ConsumeBool() ? "Setting" : input.ConsumeRandomLengthString(16);
        a.key = input.ConsumeBool() ? "RootPasswd" : input.ConsumeRandomLengthString(16);
        a.value = input.ConsumeRandomLengthString(256);
        assignments.push_back(a);
    }
    const std::string text = input.ConsumeRemainingBytesAsString();

    velmo::ProfileFile profile = velmo::ProfileFile::Parse(text);
    if (profile.Text() != text) {
        std::abort();  // parsing alone must keep every byte
    }
    for (const Assignment& a : assignments) {
        const auto value = profile.Get(a.section, a.key, limit);
        if (value && value->size() > limit) {
            std::abort();
        }
    }
    std::vector<bool> written;
    for (const Assignment& a : assignments) {
        written.push_back(profile.Set(a.section, a.key, a.value));
    }

    const velmo::ProfileFile reread = velmo::ProfileFile::Parse(profile.Text());
    for (std::size_t i = 0; i < assignments.size(); ++i) {
        const Assignment& a = assignments[i];
        if (!written[i]) {
            continue;
        }
        bool overwritten = false;  // a later assignment to the same name wins
        for (std::size_t j = i + 1; j < assignments.size(); ++j) {
            overwritten = overwritten ||
                          (written[j] && velmo::SjisEqualsIgnoreCase(assignments[j].section, a.section) &&
                           velmo::SjisEqualsIgnoreCase(assignments[j].key, a.key));
        }
        if (!overwritten && reread.Get(a.section, a.key, std::string::npos) != Expected(a.value)) {
            std::abort();
        }
    }
    return 0;
}
