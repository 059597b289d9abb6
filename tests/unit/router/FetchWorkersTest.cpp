#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "router/FetchWorkers.h"

namespace velmo {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// A router whose every request blocks until the test releases it by its call
// number (0, 1, 2, ...), then answers "page N" with success.
class GatedRouter {
  public:
    RequestFunction Function() {
        return [this](const std::string&, const std::string& path, std::string& text, const CancelToken&) {
            std::unique_lock lock(mutex_);
            const int call = calls_++;
            changed_.notify_all();
            changed_.wait(lock, [&] { return releasedAll_ || released_.count(call) > 0; });
            text += "page " + std::to_string(call) + " " + path;
            returned_.insert(call);
            changed_.notify_all();
            return true;
        };
    }
    void Release(int call) {
        std::lock_guard lock(mutex_);
        released_.insert(call);
        changed_.notify_all();
    }
    void ReleaseAll() {
        std::lock_guard lock(mutex_);
        releasedAll_ = true;
        changed_.notify_all();
    }
    bool WaitReturned(int call) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return returned_.count(call) > 0; });
    }
    int Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int calls_ = 0;
    bool releasedAll_ = false;
    std::set<int> released_;
    std::set<int> returned_;
};

class FetchWorkersTest : public ::testing::Test {
  protected:
    FetchWorkersTest() : workers(router.Function()) { workers.waitTimeout = 100; }
    // Let every worker finish before the workers (and then the router) go.
    ~FetchWorkersTest() override { router.ReleaseAll(); }

    // Sweeps until only `count` given-up workers are left (at most 5 s).
    bool SweepUntilPending(std::size_t count) {
        const auto deadline = SteadyClock::now() + 5s;
        for (workers.SweepFinishedWorkers(); workers.PendingCount() != count;
             workers.SweepFinishedWorkers()) {
            if (SteadyClock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }

    GatedRouter router;
    FetchWorkers workers;
};

template <typename F>
SteadyClock::duration Timed(F&& f) {
    const auto start = SteadyClock::now();
    f();
    return SteadyClock::now() - start;
}

TEST_F(FetchWorkersTest, AnswerWithinTheWaitIsCollected) {
    router.ReleaseAll();
    std::string text = "before";
    EXPECT_TRUE(workers.FetchPage(text, "127.0.0.1", "status.htm"));
    EXPECT_EQ(text, "page 0 status.htm");
    EXPECT_EQ(workers.PendingCount(), 0u);
}

TEST(FetchWorkers, FailedRequestThatEndsInTimeGivesItsPartialText) {
    FetchWorkers workers([](const std::string&, const std::string&, std::string& text, const CancelToken&) {
        text += "partial";
        return false;
    });
    std::string text = "before";
    EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", ""));
    EXPECT_EQ(text, "partial");
}

TEST_F(FetchWorkersTest, SilentRouterLeavesThreeWorkersThenFailsAtOnce) {
    std::string text = "before";
    for (int i = 0; i < 3; ++i) {
        const auto waited = Timed([&] { EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", "")); });
        EXPECT_GE(waited, 100ms);
        EXPECT_LT(waited, 1000ms);
        EXPECT_EQ(workers.PendingCount(), static_cast<std::size_t>(i + 1));
    }
    const auto refused = Timed([&] { EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", "")); });
    EXPECT_LT(refused, 50ms);
    EXPECT_EQ(router.Calls(), 3);  // no fourth thread, nothing sent
    EXPECT_EQ(text, "before");
}

TEST_F(FetchWorkersTest, FinishedWorkerIsSweptAndTheCapFreesUp) {
    std::string text = "before";
    for (int i = 0; i < 3; ++i) {
        workers.FetchPage(text, "127.0.0.1", "");
    }
    ASSERT_EQ(workers.PendingCount(), 3u);

    router.Release(1);
    ASSERT_TRUE(SweepUntilPending(2));
    // The given-up worker's page was discarded with its request.
    EXPECT_EQ(text, "before");

    router.Release(3);
    EXPECT_TRUE(workers.FetchPage(text, "127.0.0.1", "banner.htm"));
    EXPECT_EQ(text, "page 3 banner.htm");
    EXPECT_EQ(workers.PendingCount(), 2u);
}

TEST_F(FetchWorkersTest, WorkerThatDeliversAfterTheTimeOutButBeforeTheSecondTestIsCollected) {
    workers.onWaitTimedOut = [this] {
        router.Release(0);
        ASSERT_TRUE(router.WaitReturned(0));
        // The hand-over lock is free here: give the worker time to deliver.
        std::this_thread::sleep_for(50ms);
    };
    std::string text = "before";
    EXPECT_TRUE(workers.FetchPage(text, "127.0.0.1", "status.htm"));
    EXPECT_EQ(text, "page 0 status.htm");
    EXPECT_EQ(workers.PendingCount(), 0u);
}

TEST_F(FetchWorkersTest, WorkerStillRunningAtTheSecondTestIsGivenUp) {
    workers.onWaitTimedOut = [this] { EXPECT_EQ(router.Calls(), 1); };
    std::string text = "before";
    EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", ""));
    EXPECT_EQ(text, "before");
    EXPECT_EQ(workers.PendingCount(), 1u);
}

TEST_F(FetchWorkersTest, WaitForAllWorkersWaitsUntilEveryGivenUpWorkerHasEnded) {
    std::string text;
    workers.FetchPage(text, "127.0.0.1", "");
    workers.FetchPage(text, "127.0.0.1", "");
    ASSERT_EQ(workers.PendingCount(), 2u);
    std::thread releaser([this] {
        std::this_thread::sleep_for(150ms);
        router.ReleaseAll();
    });
    const auto waited = Timed([&] { workers.WaitForAllWorkers(); });
    releaser.join();
    EXPECT_GE(waited, 150ms);
    EXPECT_EQ(workers.PendingCount(), 0u);
    EXPECT_TRUE(router.WaitReturned(0));
    EXPECT_TRUE(router.WaitReturned(1));
}

// Late answers: what a given-up worker learns serves a later fetch of the
// same page, never a command, never twice, never once it is stale.
TEST_F(FetchWorkersTest, LateAnswerStandsInWhenTheNextFreshRequestDoesNotDeliver) {
    std::string text = "before";
    EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", "status.htm", 5s));
    router.Release(0);
    ASSERT_TRUE(router.WaitReturned(0));
    ASSERT_TRUE(SweepUntilPending(0));
    // The next reading sends a fresh request (call 1, never released): the
    // late page of call 0 stands in for it.
    EXPECT_TRUE(workers.FetchPage(text, "127.0.0.1", "status.htm", 5s));
    EXPECT_EQ(text, "page 0 status.htm");
    EXPECT_EQ(router.Calls(), 2);
    // Used once: the reading after that has nothing to fall back on.
    text = "before";
    EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", "banner.htm", 5s));
    EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", "status.htm", 5s));
    EXPECT_EQ(text, "before");
}

TEST_F(FetchWorkersTest, FreshAnswerInTimeWinsOverALateOne) {
    EXPECT_FALSE([&] {
        std::string t;
        return workers.FetchPage(t, "127.0.0.1", "status.htm", 5s);
    }());
    router.Release(0);
    router.Release(1);
    ASSERT_TRUE(router.WaitReturned(0));
    ASSERT_TRUE(SweepUntilPending(0));
    std::string text;
    EXPECT_TRUE(workers.FetchPage(text, "127.0.0.1", "status.htm", 5s));
    EXPECT_EQ(text, "page 1 status.htm");
}

TEST_F(FetchWorkersTest, LateAnswerServesNeitherCommandsNorStaleReadings) {
    std::string text = "before";
    EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", "status.htm", 5s));
    EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", "cgi-bin/dial?x", 5s));
    router.Release(0);
    router.Release(1);
    ASSERT_TRUE(SweepUntilPending(0));
    // A command (no age given) never takes what another request learned.
    EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", "cgi-bin/dial?x"));
    EXPECT_EQ(text, "before");
    // A page older than the reader's age is stale.
    std::this_thread::sleep_for(60ms);
    EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", "status.htm", 50ms));
    EXPECT_EQ(text, "before");
}

TEST_F(FetchWorkersTest, FetchWaitsForTheEarlierRequestStillOnItsWayInsteadOfSendingAnother) {
    std::string text = "before";
    EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", "syslog.htm", 5s));
    std::thread releaser([this] {
        std::this_thread::sleep_for(40ms);
        router.Release(0);
    });
    const auto waited = Timed([&] { EXPECT_TRUE(workers.FetchPage(text, "127.0.0.1", "syslog.htm", 5s)); });
    releaser.join();
    EXPECT_EQ(text, "page 0 syslog.htm");
    EXPECT_EQ(router.Calls(), 1);  // nothing sent twice
    EXPECT_LT(waited, 100ms);      // back as soon as the answer arrived
}

TEST(FetchWorkers, CancelledRequestsEndAtOnceSoNoneHoldsTheWait) {
    FetchWorkers workers([](const std::string&, const std::string&, std::string&, const CancelToken& cancel) {
        // A router that never answers: only the token ends the request.
        while (!cancel.Cancelled()) {
            std::this_thread::sleep_for(1ms);
        }
        return false;
    });
    workers.waitTimeout = 20;
    std::string text;
    for (const char* page : {"", "banner.htm", "status.htm"}) {
        EXPECT_FALSE(workers.FetchPage(text, "127.0.0.1", page, 5s));
    }
    ASSERT_EQ(workers.PendingCount(), 3u);
    const auto waited = Timed([&] {
        workers.CancelPendingRequests();
        workers.WaitForAllWorkers();
    });
    EXPECT_LT(waited, 500ms);
    EXPECT_EQ(workers.PendingCount(), 0u);
    EXPECT_EQ(workers.Late().Count(), 0u);  // a cancelled request leaves no answer
}

}  // namespace
}  // namespace velmo
