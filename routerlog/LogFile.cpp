#include "routerlog/LogFile.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>

#include "base/ExclusiveFile.h"
#include "base/SjisText.h"
#include "routerlog/LogStamp.h"

namespace velmo {

namespace {

constexpr std::string_view kAccessWarningText = "Unrecognized access";

// An entry as the merge compares it: its stamp, if the line has one, and
// the text after it. A line that does not begin with a stamp or with the
// blanks of a sub-info entry is compared as a whole.
struct Entry {
    enum class Stamp { Timed, Blank, None };
    Stamp stamp = Stamp::None;
    std::int64_t seconds = 0;
    std::string_view text;
    std::string_view line;
};

Entry ReadEntry(std::string_view line) {
    const std::size_t stampLength = LogStampBlanks().size();
    Entry entry{Entry::Stamp::None, 0, line, line};
    if (LogStampSeconds(line, entry.seconds)) {
        entry.stamp = Entry::Stamp::Timed;
        entry.text = line.substr(stampLength);
    } else if (line.starts_with(LogStampBlanks())) {
        entry.stamp = Entry::Stamp::Blank;
        entry.text = line.substr(stampLength);
    }
    return entry;
}

// The capture's lines; a last line without its line feed counts too.
std::vector<Entry> CaptureEntries(std::string_view captureText) {
    std::vector<Entry> entries;
    std::size_t start = 0;
    while (start < captureText.size()) {
        const std::size_t end = std::min(captureText.find('\n', start), captureText.size());
        entries.push_back(ReadEntry(captureText.substr(start, end - start)));
        start = end + 1;
    }
    return entries;
}

// A router may list its log newest first. The stamps tell: more steps down
// than up between timed entries. An entry dated after `nowSeconds` (the
// router's clock was wrong when it logged it) stands anywhere and takes no
// part; where the others cannot tell, the page's order is kept.
bool ListedNewestFirst(const std::vector<Entry>& entries, std::int64_t nowSeconds) {
    int up = 0;
    int down = 0;
    const Entry* previous = nullptr;
    for (const Entry& entry : entries) {
        if (entry.stamp != Entry::Stamp::Timed || entry.seconds > nowSeconds) {
            continue;
        }
        if (previous != nullptr) {
            up += entry.seconds > previous->seconds ? 1 : 0;
            down += entry.seconds < previous->seconds ? 1 : 0;
        }
        previous = &entry;
    }
    return down > up;
}

// Turns a newest-first capture round, keeping together each timed entry and
// the lines of its second that follow it (its sub-info lines carry its stamp),
// so that the file stays oldest first.
void TurnRound(std::vector<Entry>& entries) {
    std::vector<Entry> turned;
    turned.reserve(entries.size());
    std::size_t groupEnd = entries.size();
    for (std::size_t i = entries.size(); i-- > 0;) {
        const bool startsGroup =
            i == 0 ||
            (entries[i].stamp == Entry::Stamp::Timed &&
             (entries[i - 1].stamp != Entry::Stamp::Timed || entries[i - 1].seconds != entries[i].seconds));
        if (startsGroup) {
            turned.insert(turned.end(), entries.begin() + static_cast<std::ptrdiff_t>(i),
                          entries.begin() + static_cast<std::ptrdiff_t>(groupEnd));
            groupEnd = i;
        }
    }
    entries = std::move(turned);
}

constexpr std::int64_t kNoMatch = std::numeric_limits<std::int64_t>::max();

// How far apart two entries of the same text are, or kNoMatch. A blank stamp
// (a sub-info entry before any timed entry: its own entry has left the page)
// matches any stamp, after every timed match.
std::int64_t Distance(const Entry& a, const Entry& b) {
    using Stamp = Entry::Stamp;
    if ((a.stamp == Stamp::None) != (b.stamp == Stamp::None)) {
        return kNoMatch;
    }
    if (a.stamp == Stamp::Timed && b.stamp == Stamp::Timed) {
        const std::int64_t apart = a.seconds > b.seconds ? a.seconds - b.seconds : b.seconds - a.seconds;
        return apart <= kSameMomentSeconds ? apart : kNoMatch;
    }
    if (a.stamp == Stamp::Timed || b.stamp == Stamp::Timed) {
        return kSameMomentSeconds + 1;
    }
    return 0;
}

// Walks the capture and keeps the entries that match no file entry not used
// up yet; each match uses up the nearest such entry (the oldest of equals).
std::vector<Entry> NewEntries(const std::vector<Entry>& capture, const std::vector<TailLine>& fileLines) {
    std::vector<Entry> file;
    std::unordered_map<std::string_view, std::vector<std::size_t>> byText;
    for (const TailLine& line : fileLines) {
        if (!line.tooLong) {
            file.push_back(ReadEntry(line.text));
            byText[file.back().text].push_back(file.size() - 1);
        }
    }
    std::vector<bool> usedUp(file.size(), false);
    std::vector<Entry> fresh;
    for (const Entry& entry : capture) {
        std::size_t best = file.size();
        std::int64_t bestDistance = kNoMatch;
        if (const auto same = byText.find(entry.text); same != byText.end()) {
            for (const std::size_t i : same->second) {
                const std::int64_t distance = usedUp[i] ? kNoMatch : Distance(entry, file[i]);
                if (distance < bestDistance) {
                    best = i;
                    bestDistance = distance;
                }
            }
        }
        if (best < file.size()) {
            usedUp[best] = true;
        } else {
            fresh.push_back(entry);
        }
    }
    return fresh;
}

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

void AppendLine(std::string& text, std::string_view line) {
    text += line;
    text += "\r\n";
}

// Reads the tail of `bytes` and works out the cut and the text to write.
bool Merge(TailBytes& bytes, std::string_view captureText, DateTime now, std::size_t blockSize,
           LogMerge& merge) {
    std::vector<Entry> capture = CaptureEntries(captureText);
    if (ListedNewestFirst(capture, now.SecondsSince(DateTime()) + kSameMomentSeconds)) {
        TurnRound(capture);
    }
    // File lines longer than every capture line can match none of them.
    std::size_t lineLimit = kToolLineLimit;
    for (const Entry& entry : capture) {
        lineLimit = std::max(lineLimit, entry.line.size());
    }
    // Four times the capture: the entries it shares with the file may stand
    // behind as many that have left the page since, behind copies written
    // again after the computer's clock was changed, and behind entries it
    // now leaves out (a filter switched on).
    LogTail tail;
    if (!ReadLogTail(bytes, 4 * capture.size(), lineLimit, blockSize, tail)) {
        return false;
    }

    merge = LogMerge{};
    merge.cutAt = tail.cutAt;
    if (tail.keptEndsInsideLine) {
        merge.appendText += "\r\n";  // the new lines never run into the kept last line
    }
    for (const Entry& entry : NewEntries(capture, tail.entries)) {
        AppendLine(merge.appendText, entry.line);
        if (IsFailureLine(entry.line)) {
            merge.failureLine = true;
        } else {
            ++merge.newEntries;
        }
        if (SjisContains(entry.line, kAccessWarningText)) {
            ++merge.accessCount;
            merge.newestAccessEntry = std::string(entry.line);
        }
    }
    merge.accessWarning = merge.accessCount > 0;
    AppendLine(merge.appendText, UpdateMarkerLine(now));
    return true;
}

bool WriteMerge(ExclusiveFile& file, std::uint64_t oldSize, const LogMerge& merge) {
    // The new text goes after everything first: that is the only write that
    // needs new room on the disk, and if it fails the file is cut back to
    // exactly what it held.
    if (!file.WriteAt(oldSize, merge.appendText)) {
        file.Truncate(oldSize);
        return false;
    }
    if (merge.cutAt == oldSize) {
        return true;
    }
    // Then the same text overwrites the tail that is cut (within the room the
    // file already has) and the rest is dropped.
    return file.WriteAt(merge.cutAt, merge.appendText) &&
           file.Truncate(merge.cutAt + merge.appendText.size());
}

LogFileResult Failure(LogFileError error, const ExclusiveFile& file) {
    LogFileResult result;
    result.error = error;
    result.errorText = file.LastErrorText();
    return result;
}

}  // namespace

LogMerge MergeLogText(std::string_view fileContent, std::string_view captureText, DateTime now,
                      std::size_t blockSize) {
    StringBytes bytes(fileContent);
    LogMerge merge;
    Merge(bytes, captureText, now, blockSize, merge);  // a string's bytes are always read
    return merge;
}

LogFileResult UpdateLogFile(const std::string& fileName, std::string_view captureText, DateTime now) {
    ExclusiveFile file;
    if (!file.Open(fileName)) {
        return Failure(LogFileError::NotOpened, file);
    }
    std::uint64_t size = 0;
    if (!file.Size(size)) {
        return Failure(LogFileError::NotRead, file);
    }
    FileBytes bytes(file, size);
    LogMerge merge;
    if (!Merge(bytes, captureText, now, kLogTailBlockSize, merge)) {
        // Without the tail there is no safe place to cut: leave the file alone.
        return Failure(LogFileError::NotRead, file);
    }
    if (!WriteMerge(file, size, merge)) {
        return Failure(LogFileError::NotWritten, file);
    }
    LogFileResult result;
    result.written = true;
    result.accessWarning = merge.accessWarning;
    result.accessCount = merge.accessCount;
    result.newestAccessEntry = std::move(merge.newestAccessEntry);
    result.newEntries = merge.newEntries;
    result.failureLine = merge.failureLine;
    return result;
}

}  // namespace velmo
