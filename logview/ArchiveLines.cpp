#include "logview/ArchiveLines.h"

#include <algorithm>
#include <cstring>

namespace velmo {

ReadResult ArchiveString::Size(std::uint64_t& size) {
    size = bytes_.size();
    return ReadResult::Read;
}

ReadResult ArchiveString::ReadAt(std::uint64_t position, char* buffer, std::size_t length, std::size_t& got) {
    got = position >= bytes_.size() ? 0 : std::min<std::size_t>(length, bytes_.size() - position);
    std::memcpy(buffer, bytes_.data() + std::min<std::uint64_t>(position, bytes_.size()), got);
    return ReadResult::Read;
}

std::size_t LinePiece(std::string_view text, std::size_t& contentLength) {
    const std::size_t window = std::min(text.size(), kMaxLineBytes + 1);
    const void* end = std::memchr(text.data(), '\n', window);
    if (end != nullptr) {
        const std::size_t newline = static_cast<std::size_t>(static_cast<const char*>(end) - text.data());
        contentLength = newline > 0 && text[newline - 1] == '\r' ? newline - 1 : newline;
        return newline + 1;
    }
    if (text.size() > kMaxLineBytes) {
        contentLength = kMaxLineBytes;
        return kMaxLineBytes;
    }
    contentLength = text.size();
    return 0;
}

namespace {

// How much of a block read at a piece start holds whole pieces: up to its
// last line end, then whole pieces of an overlong line after it.
std::size_t WholePieces(std::string_view block) {
    const char* data = block.data();
    std::size_t whole = 0;
    for (std::size_t i = block.size(); i > 0; --i) {
        if (data[i - 1] == '\n') {
            whole = i;
            break;
        }
    }
    std::size_t rest = block.size() - whole;
    while (rest > kMaxLineBytes) {
        whole += kMaxLineBytes;
        rest -= kMaxLineBytes;
    }
    return whole;
}

}  // namespace

ReadResult ForEachBlock(ArchiveBytes& bytes, std::uint64_t begin, std::uint64_t end,
                        std::vector<char>& buffer, const CancelToken& cancel,
                        const std::function<bool(std::uint64_t offset, std::string_view block)>& onBlock) {
    buffer.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kBlockBytes, end - std::min(begin, end))));
    std::uint64_t position = begin;
    while (position < end && !cancel.Cancelled()) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBlockBytes, end - position));
        std::size_t got = 0;
        const ReadResult result = bytes.ReadAt(position, buffer.data(), want, got);
        if (result != ReadResult::Read) {
            return result;
        }
        if (got == 0) {
            return ReadResult::Failed;  // the file became shorter than it was
        }
        std::string_view block(buffer.data(), got);
        if (position + got < end) {
            block = block.substr(0, WholePieces(block));
            if (block.empty()) {
                return ReadResult::Failed;  // a short read inside a line
            }
        }
        if (!onBlock(position, block)) {
            break;
        }
        position += block.size();
    }
    return ReadResult::Read;
}

}  // namespace velmo
