// The worker's priority, read from inside the request it runs.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "router/FetchWorkers.h"

namespace velmo {
namespace {

#ifdef _WIN32
TEST(FetchWorkerPriority, WorkerRunsBelowNormalWhileTheWaitingThreadKeepsItsPriority) {
    int workerPriority = THREAD_PRIORITY_ERROR_RETURN;
    FetchWorkers workers(
        [&workerPriority](const std::string&, const std::string&, std::string& text, const CancelToken&) {
            workerPriority = GetThreadPriority(GetCurrentThread());
            text = "page";
            return true;
        });
    std::string text;
    ASSERT_TRUE(workers.FetchPage(text, "127.0.0.1", "syslog.htm"));
    EXPECT_EQ(workerPriority, THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
}
#endif

}  // namespace
}  // namespace velmo
