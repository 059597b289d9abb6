#include "routerlog/LogFile.h"

#include <algorithm>

#include "base/ExclusiveFile.h"
#include "base/SjisText.h"
#include "routerlog/LogOverlap.h"
#include "routerlog/LogStamp.h"
#include "routerlog/PageOrder.h"

namespace velmo {

namespace {

constexpr std::string_view kAccessWarningText = "Unrecognized access";

// The bytes of a string, for the pure merge.
class StringBytes final : public TailBytes {
  public:
    explicit StringBytes(std::string_view content) : content_(content) {}
    std::uint64_t Size() const override { return content_.size(); }
    bool ReadAt(std::uint64_t position, char* buffer, std::size_t length) override {
        if (position > content_.size() || length > content_.size() - position) {
            return false;
        }
        std::copy_n(content_.data() + position, length, buffer);
        return true;
    }

  private:
    std::string_view content_;
};

// The log file's bytes; its size is taken once, after opening.
class FileBytes final : public TailBytes {
  public:
    FileBytes(ExclusiveFile& file, std::uint64_t size) : file_(file), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    bool ReadAt(std::uint64_t position, char* buffer, std::size_t length) override {
        return file_.ReadAt(position, buffer, length);
    }

  private:
    ExclusiveFile& file_;
    std::uint64_t size_;
};

class FileWrites final : public LogFileWrites {
  public:
    explicit FileWrites(ExclusiveFile& file) : file_(file) {}
    bool WriteAt(std::uint64_t position, std::string_view bytes) override {
        return file_.WriteAt(position, bytes);
    }
    bool Truncate(std::uint64_t size) override { return file_.Truncate(size); }

  private:
    ExclusiveFile& file_;
};

void AppendLine(std::string& text, std::string_view line) {
    text += line;
    text += "\r\n";
}

// Appends the entries from `firstNew` on that the filters keep.
void WriteNewEntries(const std::vector<LogEntry>& page, std::size_t firstNew, const LogFilters& filters,
                     std::string& text, CaptureResult& result) {
    for (std::size_t i = firstNew; i < page.size(); ++i) {
        if (IsLeftOut(page[i], filters)) {
            continue;
        }
        const std::string line = EntryLine(page[i]);
        AppendLine(text, line);
        ++result.newEntries;
        if (SjisContains(line, kAccessWarningText)) {
            ++result.accessCount;
            result.newestAccessEntry = line;
            result.accessEntries.push_back(line);
        }
    }
    result.accessWarning = result.accessCount > 0;
}

// Reads the tail of `bytes` and works out the cut and the text to write.
bool Merge(TailBytes& bytes, const CapturedLog& capture, DateTime now, std::size_t blockSize, LogWrite& write,
           CaptureResult& result) {
    // The page oldest first: a page whose ages show it listed newest first is
    // turned round; one whose ages cannot show it is taken the way the
    // router was seen to list before. `other` is the page in the other order.
    std::vector<LogEntry> page = capture.failedAt ? std::vector<LogEntry>() : capture.entries;
    const bool orderShown = !OrderUnclear(page, now);
    const bool newestFirst = orderShown ? ListedNewestFirst(page, now) : capture.newestFirst.value_or(false);
    std::vector<LogEntry> other = page;
    TurnRound(newestFirst ? page : other);
    TailWanted wanted;
    wanted.entries = page.size();
    wanted.blockSize = blockSize;
    // File lines longer than every entry's line can match none of them.
    for (const LogEntry& entry : page) {
        wanted.lineLimit = std::max(wanted.lineLimit, LogStampBlanks().size() + entry.text.size());
    }
    LogTail tail;
    if (!ReadLogTail(bytes, wanted, tail)) {
        return false;
    }
    LogOverlap overlap = FindOverlap(tail.entries, page);
    // Where neither this page nor an earlier one showed the order, the page
    // may point either way. Where the file holds a longer run of it in the
    // other order (written from a page like it before), the file's order is
    // followed, so that its entries are known.
    if (!orderShown && !capture.newestFirst) {
        LogOverlap otherOverlap = FindOverlap(tail.entries, other);
        if (otherOverlap.runLength > overlap.runLength) {
            overlap = otherOverlap;
            overlap.choices.fileOrderTaken = true;
            page = std::move(other);
        } else {
            // A run refused in the other order was a reading written again too.
            overlap.choices.shiftedEntryWritten |= otherOverlap.choices.shiftedEntryWritten;
            overlap.choices.laterStampsWritten |= otherOverlap.choices.laterStampsWritten;
            overlap.choices.momentSplitWritten |= otherOverlap.choices.momentSplitWritten;
        }
    }
    result = CaptureResult{};
    result.choices = overlap.choices;
    result.choices.tailBoundReached = tail.boundReached && overlap.firstNew == 0;
    result.listedNewestFirst = orderShown ? std::optional<bool>(newestFirst) : capture.newestFirst;

    write = LogWrite{tail.cutAt, {}};
    if (tail.keptEndsInsideLine) {
        write.appendText += "\r\n";  // the new lines never run into the kept last line
    }
    if (capture.failedAt) {
        AppendLine(write.appendText, FailureLine(*capture.failedAt));
        result.failureLine = true;
    }
    WriteNewEntries(page, overlap.firstNew, capture.filters, write.appendText, result);
    AppendLine(write.appendText, UpdateMarkerLine(now));
    return true;
}

CaptureResult Failure(LogFileError error, const ExclusiveFile& file) {
    CaptureResult result;
    result.error = error;
    result.errorText = file.LastErrorText();
    return result;
}

}  // namespace

CaptureResult MergeLogText(std::string_view fileContent, const CapturedLog& capture, DateTime now,
                           LogWrite& write, std::size_t blockSize) {
    StringBytes bytes(fileContent);
    CaptureResult result;
    Merge(bytes, capture, now, blockSize, write, result);  // a string's bytes are always read
    return result;
}

LogFileError WriteLogFile(LogFileWrites& file, std::uint64_t oldSize, const LogWrite& write) {
    if (!file.WriteAt(oldSize, write.appendText)) {
        // Cut back to exactly what the file held.
        return file.Truncate(oldSize) ? LogFileError::NotWritten : LogFileError::PartlyWritten;
    }
    if (write.cutAt == oldSize) {
        return LogFileError::None;
    }
    // The same text overwrites the tail that is cut (within the room the file
    // already has) and the rest is dropped. Should either fail, the new text
    // still stands in full after the old end (an overwrite cut short leaves
    // part of it twice); the file is never shorter than that.
    if (!file.WriteAt(write.cutAt, write.appendText) ||
        !file.Truncate(write.cutAt + write.appendText.size())) {
        return LogFileError::NotCut;
    }
    return LogFileError::None;
}

CaptureResult UpdateLogFile(const std::string& fileName, const CapturedLog& capture, DateTime now) {
    ExclusiveFile file;
    if (!file.Open(fileName)) {
        return Failure(LogFileError::NotOpened, file);
    }
    std::uint64_t size = 0;
    if (!file.Size(size)) {
        return Failure(LogFileError::NotRead, file);
    }
    FileBytes bytes(file, size);
    LogWrite write;
    CaptureResult result;
    if (!Merge(bytes, capture, now, kLogTailBlockSize, write, result)) {
        // Without the tail there is no safe place to cut: leave the file alone.
        return Failure(LogFileError::NotRead, file);
    }
    FileWrites writes(file);
    result.error = WriteLogFile(writes, size, write);
    result.written = result.error == LogFileError::None || result.error == LogFileError::NotCut;
    if (result.error != LogFileError::None) {
        result.errorText = file.LastErrorText();
    }
    if (!result.written) {
        // The warning is for entries the file holds.
        result.accessCount = 0;
        result.accessWarning = false;
        result.newestAccessEntry.clear();
        result.accessEntries.clear();
        result.newEntries = 0;
    }
    return result;
}

}  // namespace velmo
