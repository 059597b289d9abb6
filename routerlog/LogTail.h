// The end of the log file, read backwards block by block: where the tool's
// own trailing lines begin (the next write replaces them) and the entry lines
// before them. What is read does not grow with the file: one block, and the
// lines asked for up to a bound in bytes.
//
// Lines end in CR LF, LF alone or CR alone, as the file is read forwards; a
// last line without a line end is a line too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmo {

inline constexpr std::size_t kLogTailBlockSize = 64 * 1024;

// How much of the file's end is read at most for its entry lines.
inline constexpr std::uint64_t kLogTailByteLimit = 1024 * 1024;

// A tool line (update marker or failure line) is short; a longer line that
// happens to have their shape is taken for a router's or a reader's line.
inline constexpr std::size_t kToolLineLimit = 1024;

// Where the bytes come from: the log file, or a string for the pure merge.
class TailBytes {
  public:
    virtual ~TailBytes() = default;
    virtual std::uint64_t Size() const = 0;
    // Exactly `length` bytes at `position`; false when they cannot be read.
    virtual bool ReadAt(std::uint64_t position, char* buffer, std::size_t length) = 0;
};

struct TailLine {
    std::string text;      // without its line end; empty when tooLong
    bool tooLong = false;  // longer than the reading's line limit
};

struct LogTail {
    std::uint64_t cutAt = 0;          // the file keeps its first cutAt bytes
    bool keptEndsInsideLine = false;  // the kept part has no final line end
    std::vector<TailLine> entries;    // the last entry lines before the cut, oldest first
    bool boundReached = false;        // fewer than wanted: the byte bound stopped the reading
};

// How much of the tail to read.
struct TailWanted {
    std::size_t entries = 0;                      // entry lines wanted
    std::size_t lineLimit = kToolLineLimit;       // longer lines are kept without their text
    std::uint64_t byteLimit = kLogTailByteLimit;  // the entry lines end within this many bytes of the end
    std::size_t blockSize = kLogTailBlockSize;
};

// Reads backwards from the end of `bytes` until it has passed the run of the
// tool's own lines (failure lines, update markers, empty lines) that ends the
// file and holds the wanted number of entry lines (any other line; tool lines
// among them are passed over) before it, or has reached the start, or would
// reach back further than the byte limit. The cut falls on the run's first
// failure line, or else on its last update marker; a run without either is
// not cut. False when a read fails.
bool ReadLogTail(TailBytes& bytes, const TailWanted& wanted, LogTail& tail);

}  // namespace velmo
