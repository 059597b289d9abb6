// One HTTP/1.0 GET exchange with the router over the sockets shim.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/CancelToken.h"
#include "router/HttpResponseReader.h"

namespace velmo {

// Bounds that make every request end by itself, whatever the router does.
struct RequestLimits {
    std::chrono::milliseconds connectTimeout{10000};  // to establish the connection
    std::chrono::milliseconds idleTimeout{15000};     // without any data arriving
    std::chrono::milliseconds totalTimeout{30000};    // for the whole exchange
    std::size_t maxBody = HttpResponseReader::kDefaultMaxBody;
};

// Where the router listens: "host" or "host:port", port 80 when absent.
struct RouterEndpoint {
    std::string host;
    std::uint16_t port = 80;
};

// False for an empty host, a port outside 1-65535, or a host holding blanks
// or control bytes (which could break the request).
bool ParseRouterAddress(std::string_view address, RouterEndpoint& endpoint);

// "/" followed by the stored path, byte for byte, except that control bytes,
// blanks and DEL are percent-encoded so the request line stays one line.
std::string BuildRequestTarget(std::string_view path);

// The complete request: request line, agent, host and no-cache headers.
std::string BuildGetRequest(const RouterEndpoint& endpoint, std::string_view path);

// Requests `path` from the router at `address` and appends the body to
// `responseText`. True when the body was read to its end after a status other
// than 301, 302, 303 and 401. On a connect or send failure the text stays as
// it was; on a failure while reading it holds the chunks read so far. Raising
// `cancel` ends the request within a short slice, as a failure. `firstByte`,
// when given, is called once, as the answer's first bytes arrive.
bool RequestPage(const std::string& address, const std::string& path, std::string& responseText,
                 const RequestLimits& limits = RequestLimits{}, const CancelToken& cancel = NeverCancelled(),
                 const std::function<void()>& firstByte = {});

}  // namespace velmo
