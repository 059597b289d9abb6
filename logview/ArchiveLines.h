// Reading the log archive in blocks and lines over byte offsets, never the
// whole file at once. A line is at most kMaxLineBytes long: a longer one (a
// damaged archive) is shown in pieces of that length from its start, so that
// every reader cuts it the same way wherever its blocks begin.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/CancelToken.h"
#include "base/SharedReadFile.h"

namespace velmo {

inline constexpr std::size_t kMaxLineBytes = 64 * 1024;
inline constexpr std::size_t kBlockBytes = 4 * 1024 * 1024;

// The archive's bytes: the file, opened for each read or held open for a
// run of small reads, or a string in tests.
class ArchiveBytes {
  public:
    virtual ~ArchiveBytes() = default;
    virtual ReadResult Size(std::uint64_t& size) = 0;
    virtual ReadResult ReadAt(std::uint64_t position, char* buffer, std::size_t length, std::size_t& got) = 0;
};

class ArchiveFile final : public ArchiveBytes {
  public:
    explicit ArchiveFile(std::string path) : path_(std::move(path)) {}
    ReadResult Size(std::uint64_t& size) override { return FileLength(path_, size); }
    ReadResult ReadAt(std::uint64_t position, char* buffer, std::size_t length, std::size_t& got) override {
        std::uint64_t size = 0;
        return ReadFileRange(path_, position, buffer, length, got, size);
    }

  private:
    std::string path_;
};

// The file opened at its first read and held until this goes: for reading
// many lines apart (the rows of a screen or of an export) without opening
// the file for each.
class HeldArchiveFile final : public ArchiveBytes {
  public:
    explicit HeldArchiveFile(std::string path) : path_(std::move(path)) {}
    ReadResult Size(std::uint64_t& size) override { return FileLength(path_, size); }
    ReadResult ReadAt(std::uint64_t position, char* buffer, std::size_t length, std::size_t& got) override {
        if (!open_) {
            got = 0;
            const ReadResult opened = file_.Open(path_);
            if (opened != ReadResult::Read) {
                return opened;
            }
            open_ = true;
        }
        return file_.ReadAt(position, buffer, length, got);
    }

  private:
    std::string path_;
    SharedReadFile file_;
    bool open_ = false;
};

class ArchiveString final : public ArchiveBytes {
  public:
    explicit ArchiveString(const std::string& bytes) : bytes_(bytes) {}
    ReadResult Size(std::uint64_t& size) override;
    ReadResult ReadAt(std::uint64_t position, char* buffer, std::size_t length, std::size_t& got) override;

  private:
    const std::string& bytes_;
};

// One line piece: where it starts, where the next begins, its bytes without
// the line end, and whether a line end (or the piece limit) closes it.
struct ArchiveLine {
    std::uint64_t offset = 0;
    std::uint64_t next = 0;
    std::string_view text;
    bool closed = false;
};

// Calls onBlock for the blocks of [begin, end), each ending where a line
// piece ends (the last one may end inside a line at `end`). `begin` must be
// the start of a line piece. Stops early when onBlock returns false or
// `cancel` is raised; the result says whether every read succeeded.
ReadResult ForEachBlock(ArchiveBytes& bytes, std::uint64_t begin, std::uint64_t end,
                        std::vector<char>& buffer, const CancelToken& cancel,
                        const std::function<bool(std::uint64_t offset, std::string_view block)>& onBlock);

// Calls onLine for each line piece of `block` (which starts at `offset`).
template <class OnLine>
void ForEachLine(std::uint64_t offset, std::string_view block, OnLine&& onLine);

// The length of the line piece that starts `text`, its line end included,
// and the length of its bytes without the line end; 0 when `text` ends
// before its line does (the piece is then not closed).
std::size_t LinePiece(std::string_view text, std::size_t& contentLength);

template <class OnLine>
void ForEachLine(std::uint64_t offset, std::string_view block, OnLine&& onLine) {
    std::size_t position = 0;
    while (position < block.size()) {
        std::size_t content = 0;
        const std::size_t length = LinePiece(block.substr(position), content);
        ArchiveLine line;
        line.offset = offset + position;
        line.closed = length > 0;
        line.next = line.offset + (length > 0 ? length : block.size() - position);
        line.text = block.substr(position, length > 0 ? content : block.size() - position);
        if (!onLine(line)) {
            return;
        }
        position = static_cast<std::size_t>(line.next - offset);
    }
}

}  // namespace velmo
