#include "router/RouterClient.h"

#include <utility>

namespace velmo {

RouterClient::RouterClient()
    : RouterClient([](const std::string& host, const std::string& path, std::string& text,
                      const CancelToken& cancel, const std::function<void()>& firstByte) {
          RequestLimits limits;
          limits.connectTimeout = kRequestBound;
          limits.idleTimeout = kRequestBound;
          limits.totalTimeout = kRequestBound;
          return RequestPage(host, path, text, limits, cancel, firstByte);
      }) {}

RouterClient::RouterClient(RequestFunction request)
    : RouterClient(TimedRequestFunction(
          [request = std::move(request)](const std::string& host, const std::string& path, std::string& text,
                                         const CancelToken& cancel, const std::function<void()>& firstByte) {
              const bool answered = request(host, path, text, cancel);
              if (firstByte) {
                  firstByte();
              }
              return answered;
          })) {}

RouterClient::RouterClient(TimedRequestFunction request) : request_(std::move(request)) {}

bool RouterClient::FetchPage(std::string& text, std::string_view path) const {
    return FetchPage(text, path, {});
}

bool RouterClient::FetchPage(std::string& text, std::string_view path,
                             const std::function<void()>& firstByte) const {
    if (cancel_->Cancelled()) {
        return false;  // a cancelled job sends nothing more
    }
    std::string body;
    const bool answered = request_(routerAddress, std::string(path), body, *cancel_, firstByte);
    text = std::move(body);
    return answered;
}

}  // namespace velmo
