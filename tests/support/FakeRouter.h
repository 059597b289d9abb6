// A router in memory for the window logic's tests: pages by path, every
// request recorded. Thread-safe, since the requests run on worker threads.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "router/RouterClient.h"

namespace velmo::testing {

class FakeRouter {
  public:
    // Serve `body` for `path` (without the leading slash; "" is the top page).
    void Serve(const std::string& path, const std::string& body) {
        std::lock_guard lock(mutex_);
        pages_[path] = body;
    }
    // Every path fails, as a router that refuses connections.
    void GoAway() {
        std::lock_guard lock(mutex_);
        pages_.clear();
    }
    // Once `path` has been asked for, `page` is served as `body`: a command
    // that changes the line.
    void After(const std::string& path, const std::string& page, const std::string& body) {
        std::lock_guard lock(mutex_);
        after_[path] = {page, body};
    }
    std::vector<std::string> Requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    void ClearRequests() {
        std::lock_guard lock(mutex_);
        requests_.clear();
        after_.clear();
    }

    RequestFunction Function() {
        return [this](const std::string&, const std::string& path, std::string& text, const CancelToken&) {
            std::lock_guard lock(mutex_);
            requests_.push_back(path);
            if (onRequest) {
                onRequest();
            }
            auto it = pages_.find(path);
            if (it == pages_.end()) {
                return false;
            }
            text += it->second;
            if (auto then = after_.find(path); then != after_.end()) {
                pages_[then->second.first] = then->second.second;
            }
            return true;
        };
    }

    // Runs on the worker thread with every request, under the router's lock.
    std::function<void()> onRequest;

  private:
    std::mutex mutex_;
    std::map<std::string, std::string> pages_;
    std::map<std::string, std::pair<std::string, std::string>> after_;
    std::vector<std::string> requests_;
};

}  // namespace velmo::testing
