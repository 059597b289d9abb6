#include "router/RouterClient.h"

#include <utility>

namespace velmo {

RouterClient::RouterClient()
    : RouterClient(
          [](const std::string& host, const std::string& path, std::string& text, const CancelToken& cancel) {
              return RequestPage(host, path, text, RequestLimits{}, cancel);
          }) {}

RouterClient::RouterClient(RequestFunction request) : fetchWorkers(std::move(request)) {
    fetchWorkers.waitTimeout = 1000;
    fetchWorkers.maxPending = 3;
}

bool RouterClient::FetchPage(std::string& text, std::string_view path, std::chrono::milliseconds maxAge) {
    return fetchWorkers.FetchPage(text, routerAddress, path, maxAge);
}

}  // namespace velmo
