#include "router/FetchWorkers.h"

#include <chrono>
#include <system_error>
#include <utility>

#include "base/ThreadPriority.h"

namespace velmo {

void FetchWorkerProc(FetchRequest* request, WorkerThread* self) {
    // Below the window's priority: the worker spends its time waiting on the
    // network and must never slow the window down.
    LowerCurrentThreadPriority();
    std::string text;
    const bool verdict = request->client(request->host, request->path, text);
    bool freeRequest = false;
    {
        std::lock_guard lock(request->handoverLock);
        if (request->handover == FetchRequest::Handover::GivenUp) {
            // The waiting thread has left; whatever was learned is discarded.
            freeRequest = true;
        } else {
            request->responseText = std::move(text);
            request->succeeded = verdict;
            request->handover = FetchRequest::Handover::Delivered;
            // Notified under the lock: once it is released the waiting thread
            // may free the request, and this thread touches it no more.
            request->delivered.notify_one();
        }
    }
    // Freed only after the lock is released: a locked mutex is never destroyed.
    if (freeRequest)
        delete request;
    // The very last action: the sweep may now join this thread.
    self->finished.store(true, std::memory_order_release);
}

FetchWorkers::FetchWorkers(RequestFunction request) : request_(std::move(request)) {}

FetchWorkers::~FetchWorkers() {
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

bool FetchWorkers::WaitForDelivery(FetchRequest& request) {
    std::unique_lock lock(request.handoverLock);
    return request.delivered.wait_for(lock, std::chrono::milliseconds(waitTimeout), [&request] {
        return request.handover == FetchRequest::Handover::Delivered;
    });
}

bool FetchWorkers::FetchPage(std::string& text, std::string_view host, std::string_view path) {
    // Sweep, then the cap: a refused fetch starts no thread.
    SweepFinishedWorkers();
    if (pendingThreads.size() >= static_cast<std::size_t>(maxPending))
        return false;
    // The request, owned by this thread until it is given up.
    auto request = std::make_unique<FetchRequest>();
    request->client = request_;
    request->host = host;
    request->path = path;
    // Start the worker; if no thread can be started, the request goes.
    auto worker = std::make_unique<WorkerThread>();
    try {
        worker->thread = std::thread(FetchWorkerProc, request.get(), worker.get());
    } catch (const std::system_error&) {
        return false;  // no thread: nothing was sent
    }
    // Wait for the worker's delivery, at most waitTimeout.
    if (!WaitForDelivery(*request)) {
        if (onWaitTimedOut)
            onWaitTimedOut();
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
            return false;
        }
        // Delivered after the wait: this counts exactly like an answer in time.
    }
    // Collect, then free the request and join the worker, which has
    // only its finished flag left to set.
    const bool succeeded = request->succeeded;
    text = std::move(request->responseText);
    request.reset();
    worker->thread.join();
    return succeeded;
}

void FetchWorkers::WaitForAllWorkers() {
    for (;;) {
        SweepFinishedWorkers();
        if (pendingThreads.empty())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

}  // namespace velmo
