// Router requests on short-lived worker threads with a bounded wait.
//
// The user-interface thread hands each request to a new worker thread, waits
// up to `waitTimeout` for it, then either collects the text or gives the
// worker up. A given-up worker finishes on its own and frees its request; its
// thread stays in `pendingThreads` until a sweep sees it finished. While
// `maxPending` given-up workers are left, every further fetch fails at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace velmo {

// The request a worker runs: fetch `path` from the router at `host`, append
// the body to `responseText`, return the verdict. Production uses RequestPage.
using RequestFunction =
    std::function<bool(const std::string& host, const std::string& path, std::string& responseText)>;

// One router request, shared by the waiting thread and its worker. Exactly
// one of them frees it: the waiting thread when it collects, the worker when
// it finds, on delivering, that the waiting thread has given up.
struct FetchRequest {
    enum class Handover {
        Waiting,    // the waiting thread still means to collect
        Delivered,  // the worker stored its verdict: the waiting thread frees the request
        GivenUp,    // the waiting thread left: the worker frees the request
    };

    // Makes the worker's delivery and the waiting thread's collect-or-give-up
    // decision exclusive. The state below replaces a second "collector" lock:
    // the waiting thread decides by it, under this lock, instead of by whether
    // the thread has ended, so a worker that has delivered is always collected.
    std::mutex handoverLock;
    std::condition_variable delivered;
    Handover handover = Handover::Waiting;  // guarded by handoverLock

    RequestFunction client;
    std::string responseText;
    std::string host;
    std::string path;  // without a leading slash; empty for the top page
    bool succeeded = false;
};

// A worker's thread and the flag it sets as its very last action, so the
// sweep can tell, without blocking, that joining will return at once.
struct WorkerThread {
    std::thread thread;
    std::atomic<bool> finished{false};
};

// The procedure each worker thread runs; it frees `request` when given up.
void FetchWorkerProc(FetchRequest* request, WorkerThread* self);

class FetchWorkers {
  public:
    explicit FetchWorkers(RequestFunction request);
    // Waits for every given-up worker, like WaitForAllWorkers.
    ~FetchWorkers();
    FetchWorkers(const FetchWorkers&) = delete;
    FetchWorkers& operator=(const FetchWorkers&) = delete;

    // Fetches `path` from `host` on a worker thread. True when the worker
    // delivered within the wait with a successful request; `text` then holds
    // the collected text (also after a failed request). A refused or given-up
    // fetch returns false and leaves `text` as it was.
    bool FetchPage(std::string& text, std::string_view host, std::string_view path);

    // Joins and forgets the given-up workers that have finished, keeping the
    // order of the rest.
    void SweepFinishedWorkers();

    // Sweeps in 100 ms steps until every given-up worker has finished.
    void WaitForAllWorkers();

    std::size_t PendingCount() const { return pendingThreads.size(); }

    // How long FetchPage waits for a worker, in ms.
    std::uint32_t waitTimeout = 1000;
    // A fetch is refused while this many given-up workers are left.
    int maxPending = 3;

    // Test seam: runs after the wait has timed out and before the second
    // test under the hand-over lock.
    std::function<void()> onWaitTimedOut;

  private:
    bool WaitForDelivery(FetchRequest& request);

    RequestFunction request_;
    // Given-up workers in the order they were left; owns their threads.
    std::list<std::unique_ptr<WorkerThread>> pendingThreads;
};

}  // namespace velmo
