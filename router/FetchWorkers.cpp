#include "router/FetchWorkers.h"

#include <system_error>
#include <utility>

#include "base/ThreadPriority.h"

namespace velmo {

void LateAnswers::Keep(LateAnswer answer) {
    std::lock_guard lock(lock_);
    auto it = Find(answer.host, answer.path);
    if (it != answers_.end()) {
        *it = std::move(answer);  // the newest answer replaces an older one
    } else {
        answers_.push_back(std::move(answer));
    }
    arrived_.notify_all();
}

std::list<LateAnswer>::iterator LateAnswers::Find(std::string_view host, std::string_view path) {
    for (auto it = answers_.begin(); it != answers_.end(); ++it) {
        if (it->host == host && it->path == path) {
            return it;
        }
    }
    return answers_.end();
}

std::optional<LateAnswer> LateAnswers::Take(std::string_view host, std::string_view path,
                                            std::chrono::milliseconds maxAge) {
    std::lock_guard lock(lock_);
    auto it = Find(host, path);
    if (it == answers_.end()) {
        return std::nullopt;
    }
    std::optional<LateAnswer> answer;
    if (LateClock::now() - it->arrived <= maxAge) {
        answer = std::move(*it);
    }
    answers_.erase(it);  // taken, or stale
    return answer;
}

std::optional<LateAnswer> LateAnswers::WaitAndTake(std::string_view host, std::string_view path,
                                                   std::chrono::milliseconds timeout) {
    std::unique_lock lock(lock_);
    if (!arrived_.wait_for(lock, timeout, [&] { return Find(host, path) != answers_.end(); })) {
        return std::nullopt;
    }
    auto it = Find(host, path);
    LateAnswer answer = std::move(*it);
    answers_.erase(it);
    return answer;
}

std::size_t LateAnswers::Count() {
    std::lock_guard lock(lock_);
    return answers_.size();
}

void FetchWorkerProc(FetchRequest* request, WorkerThread* self) {
    // Below the window's priority: the worker spends its time waiting on the
    // network and must never slow the window down.
    LowerCurrentThreadPriority();
    std::string text;
    const bool verdict = request->client(request->host, request->path, text, self->cancel);
    bool givenUp = false;
    {
        std::lock_guard lock(request->handoverLock);
        if (request->handover == FetchRequest::Handover::GivenUp) {
            givenUp = true;
        } else {
            request->responseText = std::move(text);
            request->succeeded = verdict;
            request->handover = FetchRequest::Handover::Delivered;
            // Notified under the lock: once it is released the waiting thread
            // may free the request, and this thread touches it no more.
            request->delivered.notify_one();
        }
    }
    if (givenUp) {
        // The waiting thread has left: the request is this thread's alone. Its
        // answer is kept for a later fetch of the same page, unless the
        // request was cancelled (then nobody will ask for it).
        if (!self->cancel.Cancelled()) {
            request->lateAnswers->Keep(
                {request->host, request->path, std::move(text), verdict, LateClock::now()});
        }
        // Freed only after the lock is released: a locked mutex is never destroyed.
        delete request;
    }
    // The very last action: the sweep may now join this thread.
    self->finished.store(true, std::memory_order_release);
}

FetchWorkers::FetchWorkers(RequestFunction request) : request_(std::move(request)) {}

FetchWorkers::~FetchWorkers() {
    CancelPendingRequests();
    WaitForAllWorkers();
}

void FetchWorkers::SweepFinishedWorkers() {
    for (auto it = pendingThreads.begin(); it != pendingThreads.end();) {
        if ((*it)->finished.load(std::memory_order_acquire)) {
            (*it)->thread.join();  // returns at once: the worker has nothing left to do
            it = pendingThreads.erase(it);
        } else {
            ++it;
        }
    }
}

void FetchWorkers::CancelPendingRequests() {
    for (auto& worker : pendingThreads) {
        worker->cancel.Cancel();
    }
}

bool FetchWorkers::IsOnItsWay(std::string_view host, std::string_view path) const {
    for (const auto& worker : pendingThreads) {
        if (worker->host == host && worker->path == path) {
            return true;
        }
    }
    return false;
}

bool FetchWorkers::WaitForDelivery(FetchRequest& request) {
    std::unique_lock lock(request.handoverLock);
    return request.delivered.wait_for(lock, std::chrono::milliseconds(waitTimeout), [&request] {
        return request.handover == FetchRequest::Handover::Delivered;
    });
}

bool FetchWorkers::FetchPage(std::string& text, std::string_view host, std::string_view path,
                             std::chrono::milliseconds maxAge) {
    SweepFinishedWorkers();
    std::optional<LateAnswer> kept;
    if (maxAge.count() > 0) {
        kept = lateAnswers_.Take(host, path, maxAge);
        if (!kept && IsOnItsWay(host, path)) {
            // An earlier request for this page is still on its way: wait for
            // it, at most one wait, rather than send another to a slow router.
            kept = lateAnswers_.WaitAndTake(host, path, std::chrono::milliseconds(waitTimeout));
            if (kept && kept->succeeded) {
                text = std::move(kept->text);
            }
            return kept && kept->succeeded;
        }
        if (kept && !kept->succeeded) {
            kept.reset();  // a late failure stands in for nothing
        }
    }
    switch (FetchFresh(text, host, path)) {
        case Fresh::Succeeded:
            return true;
        case Fresh::Failed:
            return false;
        case Fresh::NotDelivered:
            break;
    }
    if (!kept) {
        return false;
    }
    text = std::move(kept->text);
    return true;
}

FetchWorkers::Fresh FetchWorkers::FetchFresh(std::string& text, std::string_view host,
                                             std::string_view path) {
    // The cap: a refused fetch starts no thread.
    if (pendingThreads.size() >= static_cast<std::size_t>(maxPending)) {
        return Fresh::NotDelivered;
    }
    // The request, owned by this thread until it is given up.
    auto request = std::make_unique<FetchRequest>();
    request->client = request_;
    request->lateAnswers = &lateAnswers_;
    request->host = host;
    request->path = path;
    // Start the worker; if no thread can be started, the request goes.
    auto worker = std::make_unique<WorkerThread>();
    worker->host = host;
    worker->path = path;
    try {
        worker->thread = std::thread(FetchWorkerProc, request.get(), worker.get());
    } catch (const std::system_error&) {
        return Fresh::NotDelivered;  // no thread: nothing was sent
    }
    // Wait for the worker's delivery, at most waitTimeout.
    if (!WaitForDelivery(*request)) {
        if (onWaitTimedOut) {
            onWaitTimedOut();
        }
        // Timed out: decide under the hand-over lock; the worker cannot deliver
        // while it is held, so collect-or-give-up is atomic with the delivery.
        std::unique_lock lock(request->handoverLock);
        if (request->handover != FetchRequest::Handover::Delivered) {
            request->handover = FetchRequest::Handover::GivenUp;
            pendingThreads.push_back(std::move(worker));
            // The request now belongs to the worker, which frees it after it
            // has released the lock; this thread must not touch it again.
            lock.unlock();
            request.release();
            return Fresh::NotDelivered;
        }
        // Delivered after the wait: this counts exactly like an answer in time.
    }
    // Collect, then free the request and join the worker, which has
    // only its finished flag left to set.
    const bool succeeded = request->succeeded;
    text = std::move(request->responseText);
    request.reset();
    worker->thread.join();
    return succeeded ? Fresh::Succeeded : Fresh::Failed;
}

void FetchWorkers::WaitForAllWorkers() {
    for (;;) {
        SweepFinishedWorkers();
        if (pendingThreads.empty()) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

}  // namespace velmo
