// The HTTP response reader on arbitrary bytes, fed in pieces whose sizes the
// first byte chooses, with a small body cap so the cap is reached too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "router/HttpResponseReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t step = 1 + data[0] % 200;
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    velmo::HttpResponseReader reader(1024);
    std::size_t previous = 0;
    while (!input.empty()) {
        reader.Feed(input.substr(0, step));
        input.remove_prefix(std::min(step, input.size()));
        // The text only grows, never past the cap.
        if (reader.text().size() < previous || reader.text().size() > 1024) {
            std::abort();
        }
        previous = reader.text().size();
    }
    (data[0] & 1) ? reader.End() : reader.Fail();
    if (!reader.Done()) {
        std::abort();
    }
    if (reader.Succeeded() && velmo::HttpResponseReader::IsRefusedStatus(reader.statusCode())) {
        std::abort();
    }
    // Zero bytes are kept with the rest of the body: the text never holds
    // more than the bytes that were fed.
    if (reader.text().size() > size) {
        std::abort();
    }
    return 0;
}
