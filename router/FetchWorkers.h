// Router requests on short-lived worker threads with a bounded wait.
//
// The user-interface thread hands each request to a new worker thread, waits
// up to `waitTimeout` for it, then either collects the text or gives the
// worker up. A given-up worker finishes on its own and frees its request; its
// thread stays in `pendingThreads` until a sweep sees it finished. While
// `maxPending` given-up workers are left, every further fetch fails at once.
//
// What a given-up worker learns is not thrown away: it goes into the late
// answers, where a later fetch of the same page may take it (a slow router's
// page then shows one fetch late instead of never).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "base/CancelToken.h"

namespace velmo {

// The request a worker runs: fetch `path` from the router at `host`, append
// the body to `responseText`, return the verdict; end early (failing) once
// `cancel` is raised. Production uses RequestPage.
using RequestFunction = std::function<bool(const std::string& host, const std::string& path,
                                           std::string& responseText, const CancelToken& cancel)>;

using LateClock = std::chrono::steady_clock;

// An answer that arrived after its fetch had given the worker up.
struct LateAnswer {
    std::string host;
    std::string path;
    std::string text;
    bool succeeded = false;
    LateClock::time_point arrived;
};

// The answers given-up workers delivered, at most one per host and path (the
// newest). Workers write it, the user-interface thread takes from it; its own
// lock guards it, so it needs nothing from the hand-over of a request.
class LateAnswers {
  public:
    void Keep(LateAnswer answer);
    // Takes the answer for `host` and `path` if it is at most `maxAge` old; an
    // older one is dropped. Each answer is taken once.
    std::optional<LateAnswer> Take(std::string_view host, std::string_view path,
                                   std::chrono::milliseconds maxAge);
    // Waits at most `timeout` for an answer for `host` and `path` and takes it.
    std::optional<LateAnswer> WaitAndTake(std::string_view host, std::string_view path,
                                          std::chrono::milliseconds timeout);
    std::size_t Count();

  private:
    std::list<LateAnswer>::iterator Find(std::string_view host, std::string_view path);

    std::mutex lock_;
    std::condition_variable arrived_;
    std::list<LateAnswer> answers_;  // guarded by lock_
};

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
    LateAnswers* lateAnswers = nullptr;  // where a given-up worker leaves its answer
    std::string responseText;
    std::string host;
    std::string path;  // without a leading slash; empty for the top page
    bool succeeded = false;
};

// A worker's thread, the flag it sets as its very last action (so the sweep
// can tell, without blocking, that joining will return at once), what it
// requests, and the token that cancels its request.
struct WorkerThread {
    std::thread thread;
    std::atomic<bool> finished{false};
    CancelToken cancel;
    std::string host;  // read by the waiting thread only
    std::string path;
};

// The procedure each worker thread runs; it frees `request` when given up.
void FetchWorkerProc(FetchRequest* request, WorkerThread* self);

class FetchWorkers {
  public:
    explicit FetchWorkers(RequestFunction request);
    // Cancels the given-up workers' requests and waits for them.
    ~FetchWorkers();
    FetchWorkers(const FetchWorkers&) = delete;
    FetchWorkers& operator=(const FetchWorkers&) = delete;

    // Fetches `path` from `host` on a worker thread. True when the worker
    // delivered within the wait with a successful request; `text` then holds
    // the collected text (also after a failed request). A refused or given-up
    // fetch returns false and leaves `text` as it was.
    //
    // With a `maxAge` above zero a page may come late: a kept late answer for
    // the same host and path at most `maxAge` old stands in when the fresh
    // request does not deliver in time (a fresh answer always wins), and
    // while an earlier request for the page is still on its way the fetch
    // waits for that one instead of sending another. Commands pass no
    // `maxAge`: they never take an answer that was meant for another request.
    bool FetchPage(std::string& text, std::string_view host, std::string_view path,
                   std::chrono::milliseconds maxAge = std::chrono::milliseconds(0));

    // Joins and forgets the given-up workers that have finished, keeping the
    // order of the rest.
    void SweepFinishedWorkers();

    // Cancels the requests of every given-up worker: each ends within a short
    // slice, as if its time-out had expired (used before waiting at close).
    void CancelPendingRequests();

    // Sweeps in 100 ms steps until every given-up worker has finished.
    void WaitForAllWorkers();

    std::size_t PendingCount() const { return pendingThreads.size(); }
    // True while a given-up request for `host` and `path` may still deliver.
    bool IsOnItsWay(std::string_view host, std::string_view path) const;
    LateAnswers& Late() { return lateAnswers_; }

    // How long FetchPage waits for a worker, in ms.
    std::uint32_t waitTimeout = 1000;
    // A fetch is refused while this many given-up workers are left.
    int maxPending = 3;

    // Test seam: runs after the wait has timed out and before the second
    // test under the hand-over lock.
    std::function<void()> onWaitTimedOut;

  private:
    bool WaitForDelivery(FetchRequest& request);
    enum class Fresh { Succeeded, Failed, NotDelivered };
    // A fresh request on a new worker; NotDelivered (and `text` untouched)
    // when it was refused or given up.
    Fresh FetchFresh(std::string& text, std::string_view host, std::string_view path);

    RequestFunction request_;
    LateAnswers lateAnswers_;
    // Given-up workers in the order they were left; owns their threads.
    std::list<std::unique_ptr<WorkerThread>> pendingThreads;
};

}  // namespace velmo
