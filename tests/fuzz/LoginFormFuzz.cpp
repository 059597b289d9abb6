// The login request built from arbitrary menu pages.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "routerlog/LoginRequest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string page(reinterpret_cast<const char*>(data), size);
    std::string request;
    if (!velmo::BuildLoginRequest(page, "pa ss&=\r\n\x95\x5C", request)) {
        return 0;
    }
    // Whatever the page holds, the request is one clean request-target: the
    // prefix, then only form-encoded bytes, "&" and "=".
    if (request.rfind("cgi-bin/logi?", 0) != 0) {
        std::abort();
    }
    for (char c : request) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte >= 0x7F) {
            std::abort();
        }
    }
    return 0;
}
