// Router work off the window's thread. Each piece of work (a refresh, a
// capture, a command) is one job that runs on the runner's worker from start
// to end and hands one delivery back: a function the window's thread runs when
// it is told (through `notify`, a posted message) that a job has ended.
//
// One job talks to the router at a time, in this order: the user's commands
// first, in the order given, then the polls in the order they fell due. A poll
// that falls due while one of its kind waits or runs is not queued again. A
// user's command cancels a running refresh or status poll (one waiting on a
// silent router would hold the command up to its bound); a running capture is
// left to finish, since stopping it between login and logout would leave the
// router logged in.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "base/CancelToken.h"

namespace velmo {

enum class JobKind { Refresh, StatusPoll, Capture, Command };

// Who asked for a job: a poll timer, or the user (a button or menu item, and
// the automatic hang-up, which stands for the user).
enum class JobOrigin { Poll, User };

class JobRunner {
  public:
    // Runs on the window's thread; shows what the job found.
    using Delivery = std::function<void()>;
    // Runs on the worker; ends early (its requests failing) once the token is raised.
    using Work = std::function<Delivery(const CancelToken&)>;

    // Thread: one worker thread runs the jobs (the tool). Manual: jobs wait
    // until RunNext runs them on the caller's thread (the window's tests).
    enum class Mode { Thread, Manual };

    // `notify` is called on the worker, under the runner's lock, after each
    // job has left its delivery; it must only post a message.
    JobRunner(Mode mode, std::function<void()> notify);
    // Shutdown with the default bound.
    ~JobRunner();
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    // Queues `work`. False when refused: a poll whose kind already waits or
    // runs, and every job once the runner shuts down.
    bool Submit(JobKind kind, JobOrigin origin, Work work);

    // On the window's thread: runs the deliveries of the jobs that have ended,
    // in the order they ended. A delivery may open a modal window whose
    // message loop calls this again; each delivery still runs once.
    void DeliverFinished();

    // Drops every waiting job (its delivery never runs) and cancels the
    // running one (its delivery still comes).
    void CancelAll();

    // Manual mode: runs the first waiting job on this thread; false when none waits.
    bool RunNext();

    // Closing: no job is taken any more once the ones waiting now have run.
    // Lets them run for up to `bound`, then cancels them and waits a short
    // while more; a worker that still has not ended (stuck in name
    // resolution, which nothing can interrupt) is left to the end of the
    // process. No delivery runs and `notify` is not called afterwards. True
    // when the worker ended.
    bool Shutdown(std::chrono::milliseconds bound);

    // What the worker may take to notice a cancel: a request's socket wait
    // looks at the token every slice, a pause of the logout after its 500 ms.
    static constexpr std::chrono::milliseconds kCancelGrace{600};
    // How long a close lets the last jobs run (the last capture).
    static constexpr std::chrono::milliseconds kCloseBound{1200};

    // True while a job waits or runs.
    bool Busy() const;

    struct Shared;

  private:
    std::shared_ptr<Shared> shared_;
    Mode mode_;
    bool shutDown_ = false;
};

}  // namespace velmo
