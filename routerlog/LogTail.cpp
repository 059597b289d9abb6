#include "routerlog/LogTail.h"

#include <algorithm>
#include <optional>

#include "routerlog/LogStamp.h"

namespace velmo {

namespace {

struct BackLine {
    std::uint64_t start = 0;
    TailLine line;
};

// The file's lines from the last to the first, through one block-sized buffer.
class BackwardLines {
  public:
    BackwardLines(TailBytes& bytes, std::size_t lineLimit, std::size_t blockSize)
        : bytes_(bytes),
          size_(bytes.Size()),
          lineLimit_(lineLimit),
          blockSize_(std::max<std::size_t>(blockSize, 1)),
          end_(size_) {}

    // The line before those already returned; false at the start of the
    // file or when a read failed (then Failed() is true).
    bool Previous(BackLine& back) {
        if (end_ == 0 || failed_) {
            return false;
        }
        std::uint64_t contentEnd = end_;
        if (ByteAt(contentEnd - 1) == '\n') {
            --contentEnd;
            if (contentEnd > 0 && ByteAt(contentEnd - 1) == '\r') {
                --contentEnd;
            }
        } else if (ByteAt(contentEnd - 1) == '\r') {
            --contentEnd;
        }
        back.line = TailLine{};
        std::uint64_t start = contentEnd;
        while (start > 0 && !failed_) {
            Load(start - 1);
            const std::size_t to = static_cast<std::size_t>(start - blockStart_);
            std::size_t from = to;
            while (from > 0 && block_[from - 1] != '\r' && block_[from - 1] != '\n') {
                --from;
            }
            Prepend(back.line, from, to - from);
            start = blockStart_ + from;
            if (from > 0) {
                break;  // the previous line's end
            }
        }
        back.start = start;
        end_ = start;
        return !failed_;
    }

    bool Failed() const { return failed_; }

  private:
    // Makes the block holding `position` the buffer's content.
    void Load(std::uint64_t position) {
        if (loaded_ && position >= blockStart_ && position - blockStart_ < block_.size()) {
            return;
        }
        blockStart_ = position / blockSize_ * blockSize_;
        block_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(blockSize_, size_ - blockStart_)));
        loaded_ = bytes_.ReadAt(blockStart_, block_.data(), block_.size());
        failed_ = failed_ || !loaded_;
    }

    char ByteAt(std::uint64_t position) {
        Load(position);
        return failed_ ? '\0' : block_[static_cast<std::size_t>(position - blockStart_)];
    }

    // Puts the buffer's bytes [from, from + count) before the line's text read
    // so far; a line that outgrows the limit keeps no text.
    void Prepend(TailLine& line, std::size_t from, std::size_t count) {
        if (line.tooLong || count == 0) {
            return;
        }
        if (line.text.size() + count > lineLimit_) {
            line.tooLong = true;
            line.text = std::string();
            return;
        }
        line.text.insert(0, block_.data() + from, count);
    }

    TailBytes& bytes_;
    const std::uint64_t size_;
    const std::size_t lineLimit_;
    const std::size_t blockSize_;
    std::uint64_t end_;  // the lines before this position are still to be read
    std::string block_;
    std::uint64_t blockStart_ = 0;
    bool loaded_ = false;
    bool failed_ = false;
};

bool IsToolLine(const TailLine& line, bool& failure) {
    failure = false;
    if (line.tooLong || line.text.size() > kToolLineLimit) {
        return false;
    }
    failure = IsFailureLine(line.text);
    return line.text.empty() || failure || IsUpdateMarkerLine(line.text);
}

}  // namespace

bool ReadLogTail(TailBytes& bytes, const TailWanted& wanted, LogTail& tail) {
    BackwardLines lines(bytes, wanted.lineLimit, wanted.blockSize);
    const std::uint64_t size = bytes.Size();
    tail = LogTail{};
    tail.cutAt = size;

    // The run of tool lines that ends the file. Going backwards, the last
    // failure line met is the run's first, the first marker met its last.
    std::optional<std::uint64_t> firstFailure;
    std::optional<std::uint64_t> lastMarker;
    BackLine back;
    bool entryFound = false;
    while (lines.Previous(back)) {
        bool failure = false;
        if (!IsToolLine(back.line, failure)) {
            entryFound = true;
            break;
        }
        if (failure) {
            firstFailure = back.start;
        } else if (!back.line.text.empty() && !lastMarker) {
            lastMarker = back.start;
        }
    }
    if (firstFailure) {
        tail.cutAt = *firstFailure;
    } else if (lastMarker) {
        tail.cutAt = *lastMarker;
    }

    // The entry lines before the run, newest first while reading.
    std::vector<TailLine> newestFirst;
    for (bool have = entryFound; have && newestFirst.size() < wanted.entries; have = lines.Previous(back)) {
        if (size - back.start > wanted.byteLimit) {
            tail.boundReached = true;
            break;
        }
        bool failure = false;
        if (!IsToolLine(back.line, failure)) {
            newestFirst.push_back(std::move(back.line));
        }
    }
    if (lines.Failed()) {
        return false;
    }
    tail.entries.assign(std::make_move_iterator(newestFirst.rbegin()),
                        std::make_move_iterator(newestFirst.rend()));

    if (tail.cutAt == size && size > 0) {
        char last = '\0';
        if (!bytes.ReadAt(size - 1, &last, 1)) {
            return false;
        }
        tail.keptEndsInsideLine = last != '\r' && last != '\n';
    }
    return true;
}

}  // namespace velmo
