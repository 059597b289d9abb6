#include "logview/LogViewer.h"

#include <algorithm>
#include <iterator>
#include <span>

#include "base/FileSystem.h"
#include "logview/LogSearch.h"

namespace velmo {

LogViewer::LogViewer(std::string archivePath, std::function<void()> wake)
    : path_(std::move(archivePath)), wake_(std::move(wake)), index_(std::make_shared<LogIndex>()) {}

LogViewer::~LogViewer() {
    JoinExport();
    StopJob();
}

void LogViewer::JoinExport() {
    if (export_.joinable()) {
        exportCancel_->Cancel();
        export_.join();
    }
}

std::optional<ExportResult> LogViewer::StopExport() {
    if (!exporting_) {
        return std::nullopt;
    }
    JoinExport();
    return TakeExportResult();
}

bool LogViewer::StartExport(std::unique_ptr<ExportSink> sink) {
    if (exporting_) {
        return false;
    }
    JoinExport();  // the last one, done
    exporting_ = true;
    exportCancel_ = std::make_unique<CancelToken>();
    export_ = std::thread(
        [this, rows = rows_, filter = filter_, sink = std::move(sink), cancel = exportCancel_.get()] {
            HeldArchiveFile file(path_);
            ExportResult result = WriteShownCsv(file, rows, filter, UINT64_MAX, *cancel,
                                                [&](std::string_view bytes) { return sink->Write(bytes); });
            if (!sink->Close() && (result == ExportResult::Written || result == ExportResult::Cut)) {
                result = ExportResult::WriteFailed;
            }
            {
                std::lock_guard<std::mutex> hold(lock_);
                exported_ = result;
            }
            wake_();
        });
    return true;
}

std::optional<ExportResult> LogViewer::TakeExportResult() {
    std::optional<ExportResult> result;
    {
        std::lock_guard<std::mutex> hold(lock_);
        result.swap(exported_);
    }
    if (result) {
        JoinExport();  // it has handed over its last
        exporting_ = false;
    }
    return result;
}

ExportResult LogViewer::ShownCsv(std::uint64_t rowLimit, std::string& text) {
    HeldArchiveFile file(path_);
    return WriteShownCsv(file, rows_, filter_, rowLimit, NeverCancelled(), [&](std::string_view bytes) {
        text += bytes;
        return true;
    });
}

void LogViewer::StopJob() {
    if (job_.joinable()) {
        cancel_->Cancel();
        job_.join();
    }
}

void LogViewer::Cancel() {
    if (exporting_) {
        exportCancel_->Cancel();  // its result still comes through TakeExportResult
    }
    StopJob();
    TakeUpdates();  // what the stopped job handed over may start the next
    if (!job_.joinable()) {
        phase_ = ViewerPhase::Ready;
    }
}

void LogViewer::RunJob(std::function<void(const CancelToken&)> job) {
    StopJob();
    {
        std::lock_guard<std::mutex> hold(lock_);
        inbox_ = Inbox{};
    }
    cancel_ = std::make_unique<CancelToken>();
    job_ = std::thread([this, job = std::move(job), cancel = cancel_.get()] {
        job(*cancel);
        wake_();
    });
}

void LogViewer::Start() {
    StartIndexJob();
}

void LogViewer::StartIndexJob() {
    phase_ = ViewerPhase::Indexing;
    std::shared_ptr<const LogIndex> current = index_;
    RunJob([this, current](const CancelToken& cancel) mutable {
        // A catch-up changes only the last run and what follows it: the job
        // works on that tail alone, and the runs before it are neither copied
        // nor handed back (the window keeps reading them meanwhile).
        std::size_t kept = current->runs.empty() ? 0 : current->runs.size() - 1;
        auto index = std::make_shared<LogIndex>();
        index->coveredSize = current->coveredSize;
        index->tailHash = current->tailHash;
        index->lastKind = current->lastKind;
        index->damagedLines = current->damagedLines;
        if (!current->runs.empty()) {
            index->runs.push_back(current->runs.back());
        }
        const std::string indexPath = IndexPathFor(path_);
        if (index->coveredSize == 0) {
            std::string saved;
            if (ReadFileBytes(indexPath, saved) && !LoadLogIndex(saved, *index)) {
                *index = LogIndex{};
            }
        }
        ArchiveFile file(path_);
        std::uint64_t size = 0;
        ReadResult failure = file.Size(size);
        const auto progress = [&](std::uint64_t done, std::uint64_t total) {
            {
                std::lock_guard<std::mutex> hold(lock_);
                inbox_.done = done;
                inbox_.total = total;
            }
            wake_();
        };
        const IndexOutcome outcome = UpdateLogIndex(file, *index, cancel, progress, &failure);
        if (failure == ReadResult::Missing) {
            *index = LogIndex{};  // no archive: nothing to show
        }
        if (kept > 0 && (index->runs.empty() || index->runs.front().offset != current->runs.back().offset)) {
            kept = 0;  // built again from the first byte (or nothing to show): a whole index
        }
        // A build stopped by the user keeps what it covered, saved as well:
        // the next one goes on from there.
        if (outcome == IndexOutcome::Extended || outcome == IndexOutcome::Rebuilt ||
            outcome == IndexOutcome::Cancelled) {
            // An index not saved is built again.
            const std::span<const IndexRun> before(current->runs.data(), kept);
            ReplaceFileAtomically(indexPath, SaveLogIndex(*index, before));
        }
        current.reset();  // the window may change the index in place once this is done
        std::lock_guard<std::mutex> hold(lock_);
        inbox_.keptRuns = kept;
        inbox_.archive = outcome == IndexOutcome::Unreadable ? failure : ReadResult::Read;
        inbox_.fileSize = size;
        inbox_.index = std::move(index);
        inbox_.indexDone = true;
    });
}

void LogViewer::StartSearch(std::uint64_t from) {
    phase_ = ViewerPhase::Searching;
    rows_.TruncateFrom(from);
    searchedTo_ = std::min(searchedTo_, from);
    reader_.Forget();
    std::shared_ptr<const LogIndex> index = index_;
    const RowFilter filter = filter_;
    // As the rows without a text: past the index only one block, read in
    // one piece (the rest of an archive whose build was stopped shows once
    // the index covers it).
    const std::uint64_t size = std::min(fileSize_, index_->coveredSize + kBlockBytes);
    RunJob([this, index, filter, size, from](const CancelToken& cancel) {
        ArchiveFile file(path_);
        const ReadResult read =
            SearchArchive(file, *index, size, from, filter, cancel,
                          [&](std::vector<RowSegment>&& found, std::uint64_t done) {
                              {
                                  std::lock_guard<std::mutex> hold(lock_);
                                  inbox_.found.insert(inbox_.found.end(), found.begin(), found.end());
                                  inbox_.done = done;
                                  inbox_.total = size;
                              }
                              wake_();
                          });
        std::lock_guard<std::mutex> hold(lock_);
        inbox_.archive = read;
        inbox_.searchDone = true;
    });
}

void LogViewer::ShowIndexRows() {
    // The uncovered tail is only the tool lines that end the archive (and
    // what a capture appended since): small enough to count here.
    std::uint64_t tailRows = 0;
    if (fileSize_ > index_->coveredSize && fileSize_ - index_->coveredSize <= kBlockBytes) {
        std::string tail(static_cast<std::size_t>(fileSize_ - index_->coveredSize), '\0');
        std::size_t got = 0;
        std::uint64_t size = 0;
        if (ReadFileRange(path_, index_->coveredSize, tail.data(), tail.size(), got, size) ==
            ReadResult::Read) {
            tail.resize(got);
            tailRows = CountShownLines(index_->coveredSize, tail, index_->lastKind, filter_);
        }
    }
    IndexRows(*index_, filter_, std::min(fileSize_, index_->coveredSize + kBlockBytes), tailRows, rows_);
    searchedTo_ = 0;
    reader_.Forget();
}

void LogViewer::SetFilter(const RowFilter& filter) {
    filter_ = filter;
    searchedTo_ = 0;  // no rows of this filter's search yet
    if (phase_ == ViewerPhase::Indexing) {
        return;  // the rows follow once the index is there
    }
    if (filter_.NeedsScan()) {
        rows_.Clear();
        StartSearch(0);
    } else {
        StopJob();
        TakeUpdates();
        if (!job_.joinable()) {
            phase_ = ViewerPhase::Ready;
        }
        ShowIndexRows();
    }
}

void LogViewer::CheckArchive() {
    if (phase_ == ViewerPhase::Indexing) {
        return;
    }
    if (phase_ == ViewerPhase::Searching) {
        recheck_ = true;  // after the search
        return;
    }
    std::uint64_t size = 0;
    const ReadResult sized = FileLength(path_, size);
    if (sized != ReadResult::Read) {
        archive_ = sized;
        return;
    }
    if (size != fileSize_ || archive_ != ReadResult::Read) {
        StartIndexJob();
    }
}

bool LogViewer::TakeUpdates() {
    Inbox taken;
    {
        std::lock_guard<std::mutex> hold(lock_);
        taken = std::move(inbox_);
        inbox_ = Inbox{};
        inbox_.done = taken.done;
        inbox_.total = taken.total;
        inbox_.archive = taken.archive;
    }
    bool changed = false;
    if (taken.indexDone) {
        archive_ = taken.archive;
        phase_ = ViewerPhase::Ready;
        if (taken.index) {
            // Rows before the old index's last run stay as they were, as far
            // as the search had reached (a search stopped by the user goes
            // on from where it stopped).
            const std::uint64_t from = index_->runs.empty() ? 0 : index_->runs.back().offset;
            // An index the job extended from the old last run on keeps the
            // runs before it (the job handed over only its tail).
            const bool extended = taken.keptRuns > 0 ||
                                  (taken.index->runs.size() >= index_->runs.size() && !index_->runs.empty() &&
                                   taken.index->runs[index_->runs.size() - 1].offset == from);
            if (taken.keptRuns > 0) {
                if (index_.use_count() > 1) {
                    index_ = std::make_shared<LogIndex>(*index_);  // someone still reads it
                }
                std::vector<IndexRun> runs = std::move(index_->runs);
                runs.resize(taken.keptRuns);
                runs.insert(runs.end(), std::make_move_iterator(taken.index->runs.begin()),
                            std::make_move_iterator(taken.index->runs.end()));
                *index_ = std::move(*taken.index);
                index_->runs = std::move(runs);
            } else {
                index_ = std::move(taken.index);
            }
            fileSize_ = taken.fileSize;
            if (filter_.NeedsScan()) {
                if (!extended) {
                    rows_.Clear();
                }
                StartSearch(extended ? std::min(from, searchedTo_) : 0);
            } else {
                ShowIndexRows();
            }
            changed = true;
        }
    }
    for (const RowSegment& segment : taken.found) {
        rows_.Append(segment);
        searchedTo_ = segment.end;
        changed = true;
    }
    if (taken.searchDone) {
        archive_ = taken.archive;
        phase_ = ViewerPhase::Ready;
        if (recheck_) {
            recheck_ = false;
            CheckArchive();
        }
    }
    return changed;
}

ViewerState LogViewer::State() const {
    ViewerState state;
    {
        std::lock_guard<std::mutex> hold(lock_);
        state.done = inbox_.done;
        state.total = inbox_.total;
    }
    state.phase = phase_;
    state.archive = archive_;
    state.fileSize = fileSize_;
    state.damagedLines = index_->damagedLines;
    state.unreadRows = unreadRows_;
    state.partlyIndexed = fileSize_ > index_->coveredSize + kBlockBytes;
    return state;
}

bool LogViewer::ReadRows(std::uint64_t first, std::size_t count, std::vector<ShownRow>& out) {
    HeldArchiveFile file(path_);
    unreadRows_ = !reader_.Read(file, rows_, filter_, first, count, out);
    return !unreadRows_;
}

DaySummary LogViewer::Summary(std::int32_t lastDay, int days) const {
    return SummarizeDays(*index_, lastDay, days);
}

std::uint64_t LogViewer::RowForDay(std::int32_t day) const {
    return velmo::RowForDay(*index_, rows_, day);
}

std::vector<std::string> LogViewer::Sources(std::size_t limit) const {
    return FrequentSources(*index_, limit);
}

}  // namespace velmo
