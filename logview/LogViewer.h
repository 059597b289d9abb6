// What the ログを見る window shows, kept off the window: the index of the
// archive, the rows of the chosen filter, and the one background job that
// loads or extends the index or searches. The job hands its results over
// under a lock and calls `wake`; the window then calls TakeUpdates on its own
// thread. Nothing here ever writes to the archive.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/CancelToken.h"
#include "logview/DayCounts.h"
#include "logview/LogIndex.h"
#include "logview/LogRows.h"
#include "logview/RowText.h"

namespace velmo {

enum class ViewerPhase { Indexing, Searching, Ready };

// What the window says about the archive.
struct ViewerState {
    ViewerPhase phase = ViewerPhase::Ready;
    std::uint64_t done = 0;                 // bytes the job has read
    std::uint64_t total = 0;                // bytes it reads in all
    ReadResult archive = ReadResult::Read;  // the last read of the archive
    std::uint64_t fileSize = 0;
    std::uint64_t damagedLines = 0;
    bool unreadRows = false;     // rows the list could not read (the file changed or is locked)
    bool partlyIndexed = false;  // the index stopped before the archive's end: only its part shows
};

// Where an export of the rows goes, written on the export's worker.
class ExportSink {
  public:
    virtual ~ExportSink() = default;
    virtual bool Write(std::string_view bytes) = 0;
    // After the last write; false when what was written did not all arrive.
    virtual bool Close() = 0;
};

class LogViewer {
  public:
    LogViewer(std::string archivePath, std::function<void()> wake);
    ~LogViewer();
    LogViewer(const LogViewer&) = delete;
    LogViewer& operator=(const LogViewer&) = delete;

    // Loads the index (building or extending it as needed) in the background.
    void Start();
    // The window's timer: a grown or changed archive is caught up with.
    void CheckArchive();
    void SetFilter(const RowFilter& filter);
    const RowFilter& Filter() const { return filter_; }
    // Applies what the job handed over; true when the rows changed.
    bool TakeUpdates();
    // Stops the running job (a rebuild or a search) and an export where
    // they are.
    void Cancel();

    // The rows shown now, as CSV, into `sink` on a worker of its own beside
    // the job (a search goes on, and what it finds later is not written);
    // false while an export still runs. Its result is handed over once by
    // TakeExportResult after a wake.
    bool StartExport(std::unique_ptr<ExportSink> sink);
    bool Exporting() const { return exporting_; }
    std::optional<ExportResult> TakeExportResult();
    // Stops a running export where it is and waits for it: its result
    // (Cancelled when it stopped halfway), nothing when none ran.
    std::optional<ExportResult> StopExport();
    // The first `rowLimit` rows shown, as CSV, on the caller's thread.
    ExportResult ShownCsv(std::uint64_t rowLimit, std::string& text);

    const LogRows& Rows() const { return rows_; }
    ViewerState State() const;
    bool ReadRows(std::uint64_t first, std::size_t count, std::vector<ShownRow>& out);
    DaySummary Summary(std::int32_t lastDay, int days) const;
    std::uint64_t RowForDay(std::int32_t day) const;
    // At most `limit` access sources, the most frequent first (see
    // FrequentSources: the heavy hitters of an archive of many sources).
    std::vector<std::string> Sources(std::size_t limit) const;

  private:
    struct Inbox {
        std::shared_ptr<LogIndex> index;
        std::size_t keptRuns = 0;  // the runs of the old index that stand before `index`'s
        std::vector<RowSegment> found;
        bool searchDone = false;
        bool indexDone = false;
        ReadResult archive = ReadResult::Read;
        std::uint64_t fileSize = 0;
        std::uint64_t done = 0, total = 0;
    };

    void RunJob(std::function<void(const CancelToken&)> job);
    void StopJob();
    void JoinExport();
    void StartIndexJob();
    void StartSearch(std::uint64_t from);
    void ShowIndexRows();

    std::string path_;
    std::function<void()> wake_;
    std::shared_ptr<LogIndex> index_;  // changed in place, on this thread, when no job holds it
    LogRows rows_;
    RowFilter filter_;
    RowReader reader_;
    ViewerPhase phase_ = ViewerPhase::Indexing;
    ReadResult archive_ = ReadResult::Read;
    std::uint64_t fileSize_ = 0;
    bool unreadRows_ = false;
    bool recheck_ = false;
    // How far rows_ holds the rows of the filter's search: it goes on from
    // there (0 while rows_ holds rows of the index, or of another filter).
    std::uint64_t searchedTo_ = 0;

    std::thread job_;
    std::unique_ptr<CancelToken> cancel_;
    mutable std::mutex lock_;
    Inbox inbox_;

    std::thread export_;
    std::unique_ptr<CancelToken> exportCancel_;
    bool exporting_ = false;
    std::optional<ExportResult> exported_;  // under lock_
};

}  // namespace velmo
