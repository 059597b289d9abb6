// The job runner on its real worker thread: the order jobs run in, which
// polls are refused, what a user's command cancels, and a shutdown that
// does not wait for a worker stuck where no token reaches it.
#include "router/JobRunner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace velmo {
namespace {

using namespace std::chrono_literals;

// A gate the first job waits at, so the test can queue behind it.
class Gate {
  public:
    void Open() {
        std::lock_guard held(lock_);
        open_ = true;
        changed_.notify_all();
    }
    // Waits until opened or `cancel` is raised; false when cancelled.
    bool Wait(const CancelToken& cancel) {
        std::unique_lock held(lock_);
        entered_ = true;
        while (!open_ && !cancel.Cancelled()) {
            changed_.wait_for(held, 5ms);
        }
        return !cancel.Cancelled();
    }

    // Waits until the job has reached the gate: it runs.
    void WaitEntered() {
        std::unique_lock held(lock_);
        while (!entered_) {
            changed_.wait_for(held, 1ms);
        }
    }

  private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool open_ = false;
    bool entered_ = false;
};

// The runner, with what its jobs did recorded in the order they ran.
class Recorder {
  public:
    Recorder() : runner(JobRunner::Mode::Thread, [this] { notified.fetch_add(1); }) {}

    // A job that records `name` (and "cut" when it was cancelled) on the worker.
    JobRunner::Work Job(std::string name, Gate* gate = nullptr) {
        return [this, name, gate](const CancelToken& cancel) -> JobRunner::Delivery {
            const bool cut = gate != nullptr && !gate->Wait(cancel);
            Note(cut ? name + " cut" : name);
            return [this, name] { delivered.push_back(name); };
        };
    }
    void Note(const std::string& entry) {
        std::lock_guard held(lock_);
        ran_.push_back(entry);
    }
    std::vector<std::string> Ran() {
        std::lock_guard held(lock_);
        return ran_;
    }
    void WaitIdle() {
        while (runner.Busy()) {
            std::this_thread::sleep_for(1ms);
        }
    }

    std::atomic<int> notified{0};
    std::vector<std::string> delivered;  // on the test's thread only
    JobRunner runner;

  private:
    std::mutex lock_;
    std::vector<std::string> ran_;
};

struct OrderRow {
    const char* name;
    JobKind first;  // a poll that waits at the gate, named "first"
    // Queued behind it.
    std::vector<std::tuple<JobKind, JobOrigin, const char*>> queued;
    std::vector<bool> accepted;
    std::vector<std::string> ran;  // the gated refresh is "first"
};

TEST(JobRunner, OrderRefusalsAndCancelling) {
    const auto R = JobKind::Refresh;
    const auto S = JobKind::StatusPoll;
    const auto C = JobKind::Capture;
    const auto K = JobKind::Command;
    const auto P = JobOrigin::Poll;
    const auto U = JobOrigin::User;
    const OrderRow rows[] = {
        {"polls run in the order they fell due",
         R,
         {{S, P, "status"}, {C, P, "capture"}},
         {true, true},
         {"first", "status", "capture"}},
        {"a poll of a kind that runs or waits is not queued twice",
         R,
         {{R, P, "refresh again"}, {C, P, "capture"}, {C, P, "capture again"}},
         {false, true, false},
         {"first", "capture"}},
        {"user commands go before waiting polls, in the order given",
         R,
         {{C, P, "timed capture"}, {K, U, "connect"}, {C, U, "menu capture"}},
         {true, true, true},
         {"first cut", "connect", "menu capture", "timed capture"}},
        {"a user's command cancels the refresh waiting on a silent router",
         R,
         {{K, U, "hang up"}},
         {true},
         {"first cut", "hang up"}},
        {"a user's command leaves a running capture to end its login and logout",
         C,
         {{K, U, "connect"}},
         {true},
         {"first", "connect"}},
        {"user jobs are never refused",
         S,
         {{K, U, "connect"}, {K, U, "connect"}},
         {true, true},
         {"first cut", "connect", "connect"}},
    };
    for (const OrderRow& row : rows) {
        SCOPED_TRACE(row.name);
        Recorder recorder;
        Gate gate;
        ASSERT_TRUE(recorder.runner.Submit(row.first, P, recorder.Job("first", &gate)));
        gate.WaitEntered();
        std::vector<bool> accepted;
        for (const auto& [kind, origin, name] : row.queued) {
            accepted.push_back(recorder.runner.Submit(kind, origin, recorder.Job(name)));
        }
        gate.Open();
        recorder.WaitIdle();
        EXPECT_EQ(accepted, row.accepted);
        EXPECT_EQ(recorder.Ran(), row.ran);
        // Every job that ran hands its result back once, in the order it ended.
        EXPECT_EQ(recorder.notified.load(), static_cast<int>(row.ran.size()));
        recorder.runner.DeliverFinished();
        EXPECT_EQ(recorder.delivered.size(), row.ran.size());
    }
}

TEST(JobRunner, ShutdownRunsWhatWaitsThenLeavesAStuckWorkerBehind) {
    // A job finishes within the bound: it runs, but its delivery never does.
    {
        Recorder recorder;
        recorder.runner.Submit(JobKind::Capture, JobOrigin::User, recorder.Job("last capture"));
        EXPECT_TRUE(recorder.runner.Shutdown(1s));
        EXPECT_THAT(recorder.Ran(), ::testing::ElementsAre("last capture"));
        recorder.runner.DeliverFinished();
        EXPECT_TRUE(recorder.delivered.empty());
        EXPECT_FALSE(recorder.runner.Submit(JobKind::Refresh, JobOrigin::User, recorder.Job("late")));
    }
    // A job deaf to its token (name resolution) is left running.
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto ended = std::make_shared<std::atomic<bool>>(false);
    const auto start = std::chrono::steady_clock::now();
    {
        JobRunner runner(JobRunner::Mode::Thread, [] {});
        runner.Submit(JobKind::Refresh, JobOrigin::Poll, [release, ended](const CancelToken&) {
            while (!release->load()) {
                std::this_thread::sleep_for(1ms);
            }
            ended->store(true);
            return JobRunner::Delivery([] {});
        });
        EXPECT_FALSE(runner.Shutdown(50ms));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms + JobRunner::kCancelGrace + 300ms);
    release->store(true);
    while (!ended->load()) {
        std::this_thread::sleep_for(1ms);
    }
}

#ifdef _WIN32
TEST(JobRunner, WorkerRunsBelowNormalWhileTheWindowsThreadKeepsItsPriority) {
    std::atomic<int> workerPriority{THREAD_PRIORITY_ERROR_RETURN};
    JobRunner runner(JobRunner::Mode::Thread, [] {});
    runner.Submit(JobKind::Refresh, JobOrigin::Poll, [&workerPriority](const CancelToken&) {
        workerPriority = GetThreadPriority(GetCurrentThread());
        return JobRunner::Delivery([] {});
    });
    EXPECT_TRUE(runner.Shutdown(5s));
    EXPECT_EQ(workerPriority.load(), THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
}
#endif

}  // namespace
}  // namespace velmo
