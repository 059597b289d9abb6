#include "router/HttpRequest.h"

#include <algorithm>
#include <charconv>

#include "base/Socket.h"

namespace velmo {
namespace {

using SteadyClock = std::chrono::steady_clock;

bool IsUnsafeByte(unsigned char byte) {
    return byte <= 0x20 || byte == 0x7F;
}

Milliseconds Remaining(SteadyClock::time_point deadline) {
    return std::max(Milliseconds(0), std::chrono::duration_cast<Milliseconds>(deadline - SteadyClock::now()));
}

// Receives until the reader is done or a bound expires.
void ReadResponse(Socket& socket, HttpResponseReader& reader, const RequestLimits& limits,
                  SteadyClock::time_point deadline, const std::function<void()>& firstByte) {
    char buffer[4096];
    bool first = true;
    while (!reader.Done()) {
        std::size_t received = 0;
        switch (socket.Receive(buffer, sizeof buffer, std::min(limits.idleTimeout, Remaining(deadline)),
                               received)) {
            case ReceiveResult::Data:
                if (first && firstByte) {
                    firstByte();
                }
                first = false;
                reader.Feed(std::string_view(buffer, received));
                break;
            case ReceiveResult::Closed:
                reader.End();
                break;
            case ReceiveResult::TimedOut:
            case ReceiveResult::Failed:
                reader.Fail();
                break;
        }
    }
}

}  // namespace

bool ParseRouterAddress(std::string_view address, RouterEndpoint& endpoint) {
    RouterEndpoint parsed;
    std::string_view host = address;
    // One colon separates host and port; more than one is left to the resolver.
    std::size_t colon = address.find(':');
    if (colon != std::string_view::npos && address.find(':', colon + 1) == std::string_view::npos) {
        host = address.substr(0, colon);
        std::string_view digits = address.substr(colon + 1);
        unsigned port = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || port == 0 ||
            port > 65535) {
            return false;
        }
        parsed.port = static_cast<std::uint16_t>(port);
    }
    if (host.empty() || std::any_of(host.begin(), host.end(), [](char c) { return IsUnsafeByte(c); })) {
        return false;
    }
    parsed.host = host;
    endpoint = parsed;
    return true;
}

std::string BuildRequestTarget(std::string_view path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string target = "/";
    for (char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnsafeByte(byte)) {
            target += '%';
            target += kHex[byte >> 4];
            target += kHex[byte & 0x0F];
        } else {
            target += c;
        }
    }
    return target;
}

std::string BuildGetRequest(const RouterEndpoint& endpoint, std::string_view path) {
    std::string hostHeader = endpoint.host;
    if (endpoint.port != 80) {
        hostHeader += ":" + std::to_string(endpoint.port);
    }
    return "GET " + BuildRequestTarget(path) +
           " HTTP/1.0\r\n"
           "User-Agent: Vir Eved\r\n"
           "Host: " +
           hostHeader +
           "\r\n"
           "Pragma: no-cache\r\n"
           "Cache-Control: no-cache\r\n"
           "\r\n";
}

bool RequestPage(const std::string& address, const std::string& path, std::string& responseText,
                 const RequestLimits& limits, const CancelToken& cancel,
                 const std::function<void()>& firstByte) {
    const auto deadline = SteadyClock::now() + limits.totalTimeout;
    RouterEndpoint endpoint;
    if (!ParseRouterAddress(address, endpoint)) {
        return false;
    }
    // Connect: a failure leaves the text empty.
    Socket socket = Socket::Connect(endpoint.host, endpoint.port,
                                    std::min(limits.connectTimeout, Remaining(deadline)), &cancel);
    if (!socket.IsOpen()) {
        return false;
    }
    // Send the request; the router answers and closes (HTTP/1.0).
    if (!socket.SendAll(BuildGetRequest(endpoint, path), Remaining(deadline))) {
        return false;
    }
    // Status test and body: the reader decides, the loop only feeds it.
    HttpResponseReader reader(limits.maxBody);
    ReadResponse(socket, reader, limits, deadline, firstByte);
    responseText += reader.text();
    return reader.Succeeded();
}

}  // namespace velmo
