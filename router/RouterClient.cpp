#include "router/RouterClient.h"

#include <utility>

namespace velmo {

RouterClient::RouterClient()
    : RouterClient(
          [](const std::string& host, const std::string& path, std::string& text, const CancelToken& cancel) {
              RequestLimits limits;
              limits.connectTimeout = kRequestBound;
              limits.idleTimeout = kRequestBound;
              limits.totalTimeout = kRequestBound;
              return RequestPage(host, path, text, limits, cancel);
          }) {}

RouterClient::RouterClient(RequestFunction request) : request_(std::move(request)) {}

bool RouterClient::FetchPage(std::string& text, std::string_view path) const {
    if (cancel_->Cancelled()) {
        return false;  // a cancelled job sends nothing more
    }
    std::string body;
    const bool answered = request_(routerAddress, std::string(path), body, *cancel_);
    text = std::move(body);
    return answered;
}

}  // namespace velmo
