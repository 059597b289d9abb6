#include "routerlog/LogFile.h"

#include <algorithm>

#include "base/ExclusiveFile.h"
#include "base/FileSystem.h"
#include "base/SjisText.h"
#include "routerlog/LedgerFit.h"
#include "routerlog/LedgerReading.h"
#include "routerlog/LogOverlap.h"
#include "routerlog/LogStamp.h"
#include "routerlog/PageOrder.h"

namespace velmo {

namespace {

constexpr std::string_view kAccessWarningText = "Unrecognized access";

// The bytes of a string, for the pure merge: read, never written.
class StringBytes final : public LogFileAccess {
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
    bool WriteAt(std::uint64_t, std::string_view) override { return false; }
    bool Truncate(std::uint64_t) override { return false; }
    bool ReplaceLedger(std::string_view) override { return false; }
    std::string ErrorText() const override { return {}; }

  private:
    std::string_view content_;
};

// The log file held open, and its ledger file beside it.
class FileAccess final : public LogFileAccess {
  public:
    FileAccess(ExclusiveFile& file, std::uint64_t size, std::string ledgerName)
        : file_(file), size_(size), ledgerName_(std::move(ledgerName)) {}
    std::uint64_t Size() const override { return size_; }
    bool ReadAt(std::uint64_t position, char* buffer, std::size_t length) override {
        return file_.ReadAt(position, buffer, length);
    }
    bool WriteAt(std::uint64_t position, std::string_view bytes) override {
        if (!file_.WriteAt(position, bytes)) {
            return false;
        }
        size_ = std::max(size_, position + bytes.size());
        return true;
    }
    bool Truncate(std::uint64_t size) override {
        if (!file_.Truncate(size)) {
            return false;
        }
        size_ = size;
        return true;
    }
    // Not forced to the disk: a torn ledger does not parse, and the log file
    // itself is not forced either.
    bool ReplaceLedger(std::string_view bytes) override {
        return ReplaceFileAtomically(ledgerName_, std::string(bytes), &ledgerError_, false);
    }
    std::string ErrorText() const override { return file_.LastErrorText(); }

  private:
    ExclusiveFile& file_;
    std::uint64_t size_;
    std::string ledgerName_;
    std::string ledgerError_;
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

// The page oldest first: a page whose ages show it listed newest first is
// turned round; one whose ages cannot show it is taken the way the router was
// seen to list before. `other` is the page in the other order.
struct OrientedPage {
    std::vector<LogEntry> page;
    std::vector<LogEntry> other;
    bool orderShown = false;
    bool pageNewestFirst = false;     // `page` is the listed page turned round
    std::optional<bool> newestFirst;  // as known after this page
};

OrientedPage Orient(const CapturedLog& capture, const CaptureLedger* ledger, DateTime now) {
    OrientedPage oriented;
    oriented.page = capture.failedAt ? std::vector<LogEntry>() : capture.entries;
    oriented.orderShown = !OrderUnclear(oriented.page, now);
    const std::optional<bool> known = ledger != nullptr ? ledger->newestFirst : std::nullopt;
    const bool newestFirst =
        oriented.orderShown ? ListedNewestFirst(oriented.page, now) : known.value_or(false);
    oriented.newestFirst = oriented.orderShown ? std::optional<bool>(newestFirst) : known;
    oriented.pageNewestFirst = newestFirst;
    oriented.other = oriented.page;
    TurnRound(newestFirst ? oriented.page : oriented.other);
    return oriented;
}

bool HasMillisecondAges(const std::vector<LogEntry>& page) {
    return std::any_of(page.begin(), page.end(),
                       [](const LogEntry& entry) { return !entry.subInfo && entry.ageMs % 1000 != 0; });
}

// The run the page shares with the file's tail, by the log's order and the
// file's stamps; may take the page in the other order (see FindOverlap).
LogOverlap OverlapWithTail(const LogTail& tail, OrientedPage& oriented, bool orderKnown) {
    LogOverlap overlap = FindOverlap(tail.entries, oriented.page);
    // Where neither this page nor an earlier one showed the order, the page
    // may point either way. Where the file holds a longer run of it in the
    // other order (written from a page like it before), the file's order is
    // followed, so that its entries are known.
    if (!oriented.orderShown && !orderKnown) {
        LogOverlap otherOverlap = FindOverlap(tail.entries, oriented.other);
        if (otherOverlap.runLength > overlap.runLength) {
            overlap = otherOverlap;
            overlap.choices.fileOrderTaken = true;
            std::swap(oriented.page, oriented.other);
        } else {
            // A run refused in the other order was a reading written again too.
            overlap.choices.shiftedEntryWritten |= otherOverlap.choices.shiftedEntryWritten;
            overlap.choices.laterStampsWritten |= otherOverlap.choices.laterStampsWritten;
            overlap.choices.momentSplitWritten |= otherOverlap.choices.momentSplitWritten;
        }
    }
    overlap.choices.tailBoundReached = tail.boundReached && overlap.firstNew == 0;
    return overlap;
}

// This capture's ledger: the page it merged (or, after a failure, the last
// page merged) and the write it is about to make.
bool NextLedger(TailBytes& bytes, const CapturedLog& capture, const CaptureLedger* ledger,
                const OrientedPage& oriented, const LogWrite& write, CaptureLedger& next) {
    next = CaptureLedger{};
    if (capture.failedAt) {
        next = ledger != nullptr ? *ledger : CaptureLedger{};
    } else {
        next.entries = LedgerEntries(capture.entries);
        next.ticks = capture.ticks;
        next.millisecondAges =
            (ledger != nullptr && ledger->millisecondAges) || HasMillisecondAges(oriented.page);
    }
    next.newestFirst = oriented.newestFirst;
    next.writeAt = write.cutAt;
    next.written = write.appendText;
    std::string before(static_cast<std::size_t>(std::min(write.cutAt, kLedgerPriorBytes)), '\0');
    if (!bytes.ReadAt(write.cutAt - before.size(), before.data(), before.size())) {
        return false;
    }
    next.priorHash = HashBytes(before);
    return true;
}

// The page read against the ledger. The ledger keeps its page as the router
// listed it, and both pages come from one router: both are read oldest first
// in one direction. Where neither this page nor an earlier one showed how the
// router lists, both directions are read: of their readings together, the
// shortest run is taken.
LedgerReading ReadPage(const CapturedLog& capture, const CaptureLedger* ledger, OrientedPage& oriented) {
    if (ledger == nullptr || !ledger->ticks || !capture.ticks || capture.failedAt) {
        return {};
    }
    const bool msAges = ledger->millisecondAges || HasMillisecondAges(oriented.page);
    const auto read = [&](bool newestFirst, const std::vector<LogEntry>& page) {
        std::vector<LedgerEntry> last = ledger->entries;
        if (newestFirst) {
            TurnRound(last);
        }
        return ReadAgainstLedger(last, *ledger->ticks, LedgerEntries(page), *capture.ticks, msAges);
    };
    LedgerReading reading = read(oriented.pageNewestFirst, oriented.page);
    if (oriented.orderShown || oriented.newestFirst) {
        return reading;
    }
    const LedgerReading other = read(!oriented.pageNewestFirst, oriented.other);
    if (other.readings > 0 && (reading.readings == 0 || other.firstNew < reading.firstNew)) {
        std::swap(oriented.page, oriented.other);
        reading.firstNew = other.firstNew;
    }
    reading.readings += other.readings;
    return reading;
}

// Reads the tail of `bytes` and works out the cut and the text to write: by
// the ledger (one that fits the bytes, or null) when it can decide, else by
// the file's tail.
bool Merge(TailBytes& bytes, const CapturedLog& capture, const CaptureLedger* ledger, DateTime now,
           std::size_t blockSize, LogWrite& write, CaptureResult& result) {
    OrientedPage oriented = Orient(capture, ledger, now);
    const LedgerReading reading = ReadPage(capture, ledger, oriented);
    TailWanted wanted;
    // Only the cut when the ledger decides.
    wanted.entries = reading.readings > 0 ? 0 : oriented.page.size();
    wanted.blockSize = blockSize;
    // File lines longer than every entry's line can match none of them.
    for (const LogEntry& entry : oriented.page) {
        wanted.lineLimit = std::max(wanted.lineLimit, LogStampBlanks().size() + entry.text.size());
    }
    LogTail tail;
    if (!ReadLogTail(bytes, wanted, tail)) {
        return false;
    }
    result = CaptureResult{};
    std::size_t firstNew = reading.firstNew;
    if (reading.readings > 0) {
        result.choices.ledgerReadings = reading.readings;
    } else {
        const LogOverlap overlap = OverlapWithTail(tail, oriented, ledger != nullptr && ledger->newestFirst);
        result.choices = overlap.choices;
        firstNew = overlap.firstNew;
    }

    write = LogWrite{tail.cutAt, {}};
    if (tail.keptEndsInsideLine) {
        write.appendText += "\r\n";  // the new lines never run into the kept last line
    }
    if (capture.failedAt) {
        AppendLine(write.appendText, FailureLine(*capture.failedAt));
        result.failureLine = true;
    }
    WriteNewEntries(oriented.page, firstNew, capture.filters, write.appendText, result);
    AppendLine(write.appendText, UpdateMarkerLine(now));
    result.ledger.emplace();
    return NextLedger(bytes, capture, ledger, oriented, write, *result.ledger);
}

CaptureResult Failure(LogFileError error, std::string errorText) {
    CaptureResult result;
    result.error = error;
    result.errorText = std::move(errorText);
    return result;
}

// The first ledger that fits the file: the ledger file's, else the window's.
// A write one of them left cut short is finished first.
LedgerFit FindLedger(LogFileAccess& file, std::string_view ledgerBytes, const CapturedLog& capture,
                     std::optional<CaptureLedger>& ledger, std::string& finished) {
    CaptureLedger fromFile;
    std::optional<CaptureLedger> candidates[] = {
        ParseLedger(ledgerBytes, fromFile) ? std::optional<CaptureLedger>(fromFile) : std::nullopt,
        capture.ledger};
    for (std::optional<CaptureLedger>& candidate : candidates) {
        if (!candidate) {
            continue;
        }
        const LedgerFit fit = FitLedger(file, *candidate, finished);
        if (fit != LedgerFit::Differs) {
            ledger = std::move(candidate);
            return fit;
        }
    }
    return LedgerFit::Differs;
}

// The entries, and the access entries among them, that a finished write
// added: they come before this capture's own.
void CountFinished(std::string_view lines, CaptureResult& result) {
    std::vector<std::string> found;
    for (std::size_t start = 0, end; (end = lines.find("\r\n", start)) != std::string_view::npos;
         start = end + 2) {
        const std::string line(lines.substr(start, end - start));
        if (line.empty() || IsFailureLine(line) || IsUpdateMarkerLine(line)) {
            continue;
        }
        ++result.newEntries;
        if (SjisContains(line, kAccessWarningText)) {
            found.push_back(line);
        }
    }
    result.accessEntries.insert(result.accessEntries.begin(), found.begin(), found.end());
    result.accessCount += found.size();
    result.newestAccessEntry = result.accessEntries.empty() ? std::string() : result.accessEntries.back();
    result.accessWarning = result.accessCount > 0;
}

}  // namespace

CaptureResult MergeLogText(std::string_view fileContent, const CapturedLog& capture, DateTime now,
                           LogWrite& write, std::size_t blockSize) {
    StringBytes bytes(fileContent);
    // The window's ledger counts when the content is exactly as it left it.
    std::string finished;
    const CaptureLedger* ledger =
        capture.ledger && FitLedger(bytes, *capture.ledger, finished) == LedgerFit::Fits ? &*capture.ledger
                                                                                         : nullptr;
    CaptureResult result;
    Merge(bytes, capture, ledger, now, blockSize, write, result);  // a string's bytes are always read
    return result;
}

CaptureResult WriteCapture(LogFileAccess& file, std::string_view ledgerBytes, const CapturedLog& capture,
                           DateTime now) {
    std::optional<CaptureLedger> ledger;
    std::string finished;
    const LedgerFit fit = FindLedger(file, ledgerBytes, capture, ledger, finished);
    if (fit == LedgerFit::ReadFailed) {
        return Failure(LogFileError::NotRead, file.ErrorText());
    }
    if (fit == LedgerFit::WriteFailed) {
        return Failure(LogFileError::NotWritten, file.ErrorText());
    }
    LogWrite write;
    CaptureResult result;
    if (!Merge(file, capture, ledger ? &*ledger : nullptr, now, kLogTailBlockSize, write, result)) {
        // Without the tail there is no safe place to cut: leave the file alone.
        return Failure(LogFileError::NotRead, file.ErrorText());
    }
    // The file loses only the tool's own trailing lines, then grows by the
    // new text. The text is recorded in between, so a kill at any byte leaves
    // a write the next capture finishes: the last one (its marker), or this
    // one. A ledger that cannot be written leaves the old one, which no
    // longer fits once the file has grown.
    const bool cut = file.Size() == write.cutAt || file.Truncate(write.cutAt);
    if (cut) {
        file.ReplaceLedger(FormatLedger(*result.ledger));
    }
    if (!cut || !file.WriteAt(write.cutAt, write.appendText)) {
        // The warning is for entries the file holds; the next capture
        // finishes this write from the ledger and raises it then.
        CaptureResult failed = Failure(LogFileError::NotWritten, file.ErrorText());
        failed.ledger = std::move(result.ledger);
        failed.choices = result.choices;
        CountFinished(finished, failed);
        return failed;
    }
    // The log file now holds this capture's entries: the one place after the write.
    result.written = true;
    CountFinished(finished, result);
    return result;
}

CaptureResult UpdateLogFile(const std::string& fileName, const CapturedLog& capture, DateTime now) {
    // No other writer (a second capture, a program holding the file for
    // writing) while the tail is read, cut and appended to; readers, the log
    // viewer among them, keep reading.
    ExclusiveFile file;
    if (!file.Open(fileName, FileSharing::Readers)) {
        return Failure(LogFileError::NotOpened, file.LastErrorText());
    }
    std::uint64_t size = 0;
    if (!file.Size(size)) {
        return Failure(LogFileError::NotRead, file.LastErrorText());
    }
    const std::string ledgerName = LedgerFileName(fileName);
    std::string ledgerBytes;
    if (!ReadFileBytes(ledgerName, ledgerBytes)) {
        ledgerBytes.clear();  // no ledger file: the window's ledger, or the file's tail, decides
    }
    FileAccess access(file, size, ledgerName);
    return WriteCapture(access, ledgerBytes, capture, now);
}

}  // namespace velmo
