#include "router/JobRunner.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "base/ThreadPriority.h"

namespace velmo {

// What the window's thread and the worker share, under `lock`. The worker
// holds its own reference, so a worker left to the end of the process never
// touches freed memory.
struct JobRunner::Shared {
    struct Job {
        JobKind kind = JobKind::Refresh;
        JobOrigin origin = JobOrigin::Poll;
        Work work;
        std::shared_ptr<CancelToken> cancel = std::make_shared<CancelToken>();
    };

    std::mutex lock;
    std::condition_variable changed;
    std::deque<Job> waiting;  // user jobs first, then polls
    bool running = false;
    JobKind runningKind = JobKind::Refresh;
    JobOrigin runningOrigin = JobOrigin::Poll;
    std::shared_ptr<CancelToken> runningCancel;
    std::deque<Delivery> finished;
    std::function<void()> notify;  // emptied at shutdown: no delivery after it
    bool closing = false;          // no job is taken any more
    bool workerEnded = false;
    std::thread worker;

    // Takes the first waiting job as the running one; the caller holds the lock.
    Job TakeNext() {
        Job job = std::move(waiting.front());
        waiting.pop_front();
        running = true;
        runningKind = job.kind;
        runningOrigin = job.origin;
        runningCancel = job.cancel;
        return job;
    }

    // Runs `job` without the lock and leaves its delivery; the caller holds
    // the lock when calling and on return.
    void Run(Job job, std::unique_lock<std::mutex>& held) {
        held.unlock();
        Delivery delivery = job.work(*job.cancel);
        job.work = nullptr;  // what the work held goes on this thread, not under the lock
        held.lock();
        running = false;
        runningCancel.reset();
        if (delivery && notify) {
            finished.push_back(std::move(delivery));
            notify();
        }
        changed.notify_all();
    }

    static void WorkerLoop(const std::shared_ptr<Shared>& shared) {
        // Below the window's priority: the worker spends its time waiting on
        // the network and must never slow the window down.
        LowerCurrentThreadPriority();
        std::unique_lock held(shared->lock);
        for (;;) {
            shared->changed.wait(held, [&] { return !shared->waiting.empty() || shared->closing; });
            if (shared->waiting.empty()) {
                break;  // closing, and nothing left to run
            }
            shared->Run(shared->TakeNext(), held);
        }
        shared->workerEnded = true;
        shared->changed.notify_all();
    }
};

JobRunner::JobRunner(Mode mode, std::function<void()> notify)
    : shared_(std::make_shared<Shared>()), mode_(mode) {
    shared_->notify = std::move(notify);
    if (mode_ == Mode::Manual) {
        return;
    }
    try {
        shared_->worker = std::thread([shared = shared_] { Shared::WorkerLoop(shared); });
    } catch (const std::system_error&) {
        // No thread: no job can run, so none is taken.
        shared_->closing = true;
        shared_->workerEnded = true;
    }
}

JobRunner::~JobRunner() {
    Shutdown(kCloseBound);
}

bool JobRunner::Submit(JobKind kind, JobOrigin origin, Work work) {
    std::lock_guard held(shared_->lock);
    Shared& s = *shared_;
    if (s.closing) {
        return false;
    }
    if (origin == JobOrigin::Poll) {
        if (s.running && s.runningKind == kind) {
            return false;
        }
        for (const Shared::Job& job : s.waiting) {
            if (job.kind == kind) {
                return false;
            }
        }
        s.waiting.push_back({kind, origin, std::move(work)});
    } else {
        // After the user's earlier commands, before every poll.
        auto place = s.waiting.begin();
        while (place != s.waiting.end() && place->origin == JobOrigin::User) {
            ++place;
        }
        s.waiting.insert(place, {kind, origin, std::move(work)});
        const bool cancellablePoll =
            s.runningOrigin == JobOrigin::Poll &&
            (s.runningKind == JobKind::Refresh || s.runningKind == JobKind::StatusPoll);
        if (s.running && cancellablePoll) {
            s.runningCancel->Cancel();
        }
    }
    s.changed.notify_all();
    return true;
}

void JobRunner::DeliverFinished() {
    for (;;) {
        Delivery delivery;
        {
            std::lock_guard held(shared_->lock);
            if (shared_->finished.empty()) {
                return;
            }
            delivery = std::move(shared_->finished.front());
            shared_->finished.pop_front();
        }
        delivery();
    }
}

void JobRunner::CancelAll() {
    std::lock_guard held(shared_->lock);
    shared_->waiting.clear();
    if (shared_->runningCancel) {
        shared_->runningCancel->Cancel();
    }
}

bool JobRunner::RunNext() {
    std::unique_lock held(shared_->lock);
    if (mode_ != Mode::Manual || shared_->waiting.empty()) {
        return false;
    }
    shared_->Run(shared_->TakeNext(), held);
    return true;
}

bool JobRunner::Busy() const {
    std::lock_guard held(shared_->lock);
    return shared_->running || !shared_->waiting.empty();
}

bool JobRunner::Shutdown(std::chrono::milliseconds bound) {
    std::unique_lock held(shared_->lock);
    Shared& s = *shared_;
    if (shutDown_) {
        return s.workerEnded;
    }
    shutDown_ = true;
    s.closing = true;
    s.changed.notify_all();
    if (mode_ == Mode::Manual) {
        s.waiting.clear();
        s.workerEnded = true;
    }
    const auto ended = [&s] { return s.workerEnded; };
    if (!s.changed.wait_for(held, bound, ended)) {
        s.waiting.clear();
        if (s.runningCancel) {
            s.runningCancel->Cancel();
        }
        s.changed.wait_for(held, kCancelGrace, ended);
    }
    s.notify = nullptr;
    s.finished.clear();
    const bool workerEnded = s.workerEnded;
    held.unlock();
    if (s.worker.joinable()) {
        if (workerEnded) {
            s.worker.join();  // it has nothing left to do but return
        } else {
            s.worker.detach();  // it keeps its reference to the shared state
        }
    }
    return workerEnded;
}

}  // namespace velmo
