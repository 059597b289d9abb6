// The viewer over a real archive file that captures write while it is open:
// its index is built off the caller's thread and saved beside the archive,
// each capture's lines join the rows (and a running search's results), and
// the saved index stays what a build from nothing gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "base/ExclusiveFile.h"
#include "base/FileSystem.h"
#include "logview/LogViewer.h"
#include "routerlog/LogFile.h"
#include "tests/support/TempDirectory.h"

namespace velmo {
namespace {

class Woken {
  public:
    void Wake() {
        std::lock_guard<std::mutex> hold(lock_);
        ++wakes_;
        changed_.notify_all();
    }
    // Hands the viewer's results over on this thread until its job is done.
    bool Settle(LogViewer& viewer) {
        std::unique_lock<std::mutex> hold(lock_);
        while (true) {
            hold.unlock();
            viewer.TakeUpdates();
            hold.lock();
            if (viewer.State().phase == ViewerPhase::Ready) {
                return true;
            }
            if (!changed_.wait_for(hold, std::chrono::seconds(20), [&] { return wakes_ > 0; })) {
                return false;
            }
            wakes_ = 0;
        }
    }

  private:
    std::mutex lock_;
    std::condition_variable changed_;
    int wakes_ = 0;
};

void Capture(const std::string& path, DateTime now, std::initializer_list<const char*> texts) {
    CapturedLog capture;
    capture.filters = LogFilters{true, true, true};
    for (const char* text : texts) {
        capture.entries.push_back(LogEntry{now, 0, text, false});
    }
    ASSERT_TRUE(UpdateLogFile(path, capture, now).written);
}

TEST(LogViewer, FollowsCapturesAndSearchesOffTheCallersThread) {
    testing::TempDirectory dir;
    const std::string path = dir.File("archive.log");
    DateTime now = DateTime::FromParts(2026, 12, 7, 23, 59, 0);
    for (int i = 0; i < 30; ++i, now = now.PlusSeconds(3600)) {
        Capture(path, now,
                {"PPP up", "Unrecognized access from 203.0.113.9:4312 to port 23", "NTP time set"});
    }
    Woken woken;
    LogViewer viewer(path, [&] { woken.Wake(); });
    viewer.Start();
    ASSERT_TRUE(woken.Settle(viewer));
    EXPECT_EQ(viewer.Rows().Count(), 91u);  // and the update marker
    std::vector<ShownRow> rows;
    ASSERT_TRUE(viewer.ReadRows(0, 2, rows));
    EXPECT_EQ(rows[1].source, "203.0.113.9");
    EXPECT_EQ(viewer.RowForDay(DayNumber(2026, 12, 8)), 3u);

    RowFilter filter;
    filter.text = "203.0.113.9:";
    viewer.SetFilter(filter);
    ASSERT_TRUE(woken.Settle(viewer));
    EXPECT_EQ(viewer.Rows().Count(), 30u);
    Capture(path, now, {"Unrecognized access from 203.0.113.9:80 to port 8080", "PPP down"});
    viewer.CheckArchive();
    ASSERT_TRUE(woken.Settle(viewer));
    EXPECT_EQ(viewer.Rows().Count(), 31u);
    filter.text.clear();
    filter.shown = {true, false, false, false};
    viewer.SetFilter(filter);
    EXPECT_EQ(viewer.Rows().Count(), 31u);
    EXPECT_EQ(viewer.Summary(DayNumber(2026, 12, 9), 2).days[0].accesses, 24u);

    // What the viewer saved is current, and equal to a build from nothing.
    EXPECT_EQ(CatchUpLogIndex(path), IndexOutcome::Current);
    std::string saved;
    LogIndex kept, rebuilt;
    ASSERT_TRUE(ReadFileBytes(IndexPathFor(path), saved) && LoadLogIndex(saved, kept));
    ArchiveFile file(path);
    UpdateLogIndex(file, rebuilt, NeverCancelled());
    EXPECT_EQ(kept, rebuilt);
}

TEST(LogViewer, ASearchAfterACaptureGoesOnFromWhereItsOwnRowsEnd) {
    testing::TempDirectory dir;
    const std::string path = dir.File("archive.log");
    DateTime now = DateTime::FromParts(2026, 12, 7, 23, 59, 0);
    for (int i = 0; i < 30; ++i, now = now.PlusSeconds(3600)) {
        Capture(path, now, {"PPP up", "Unrecognized access from 203.0.113.9:4312 to port 23"});
    }
    Woken woken;
    LogViewer viewer(path, [&] { woken.Wake(); });
    viewer.Start();
    ASSERT_TRUE(woken.Settle(viewer));
    // A text typed while a capture's lines are indexed: the rows shown so
    // far are the index's, not the search's.
    Capture(path, now, {"PPP down"});
    viewer.CheckArchive();
    RowFilter filter;
    filter.text = "PPP";
    viewer.SetFilter(filter);
    ASSERT_TRUE(woken.Settle(viewer));
    EXPECT_EQ(viewer.Rows().Count(), 31u);
    // A search stopped by the user goes on from where it stopped.
    filter.text = "203.0.113.9:";
    viewer.SetFilter(filter);
    viewer.Cancel();
    Capture(path, now.PlusSeconds(60), {"Unrecognized access from 203.0.113.9:80 to port 8080"});
    viewer.CheckArchive();
    ASSERT_TRUE(woken.Settle(viewer));
    EXPECT_EQ(viewer.Rows().Count(), 31u);
}

class StringSink final : public ExportSink {
  public:
    explicit StringSink(std::string& bytes) : bytes_(bytes) {}
    bool Write(std::string_view bytes) override {
        bytes_ += bytes;
        return true;
    }
    bool Close() override { return true; }

  private:
    std::string& bytes_;
};

ExportResult Export(LogViewer& viewer, std::string& csv) {
    EXPECT_TRUE(viewer.StartExport(std::make_unique<StringSink>(csv)));
    std::optional<ExportResult> result;
    for (int wait = 0; wait < 2000 && !(result = viewer.TakeExportResult()); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return result.value_or(ExportResult::Cancelled);
}

TEST(LogViewer, ExportsTheRowsShownAndSaysWhenTheArchiveNoLongerHoldsThem) {
    testing::TempDirectory dir;
    const std::string path = dir.File("archive.log");
    DateTime now = DateTime::FromParts(2026, 12, 7, 23, 59, 0);
    for (int i = 0; i < 20; ++i, now = now.PlusSeconds(3600)) {
        Capture(path, now, {"PPP up", "Unrecognized access from 203.0.113.9:4312 to port 23"});
    }
    Woken woken;
    LogViewer viewer(path, [&] { woken.Wake(); });
    viewer.Start();
    ASSERT_TRUE(woken.Settle(viewer));
    RowFilter filter;
    filter.shown = {true, false, false, false};
    viewer.SetFilter(filter);
    std::string csv;
    EXPECT_EQ(Export(viewer, csv), ExportResult::Written);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 21);
    EXPECT_NE(csv.find(",203.0.113.9,23,"), std::string::npos) << csv;

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, bytes));
    ASSERT_TRUE(ReplaceFileAtomically(path, bytes.substr(0, bytes.size() / 2)));
    EXPECT_EQ(Export(viewer, csv), ExportResult::ReadStopped);
}

TEST(LogViewer, ReadingTheArchiveKeepsOutNoCaptureButACaptureKeepsOutOtherWriters) {
    testing::TempDirectory dir;
    const std::string path = dir.File("archive.log");
    const DateTime now = DateTime::FromParts(2026, 12, 7, 23, 59, 0);
    Capture(path, now, {"PPP up"});
    SharedReadFile viewer;
    ASSERT_EQ(viewer.Open(path), ReadResult::Read);
    std::uint64_t before = 0, after = 0;
    ASSERT_EQ(viewer.Size(before), ReadResult::Read);
    Capture(path, now.PlusSeconds(60), {"PPP down"});
    ASSERT_EQ(viewer.Size(after), ReadResult::Read);
    EXPECT_GT(after, before);
    // An opener that lets no one in would have been refused.
    ExclusiveFile alone;
    EXPECT_FALSE(alone.Open(path));
    viewer.Close();

    ExclusiveFile capture;
    ASSERT_TRUE(capture.Open(path, FileSharing::Readers));
    EXPECT_EQ(viewer.Open(path), ReadResult::Read);
    ExclusiveFile secondCapture;
    EXPECT_FALSE(secondCapture.Open(path, FileSharing::Readers));
}

}  // namespace
}  // namespace velmo
