#include "logview/LogSearch.h"

namespace velmo {

ReadResult SearchArchive(ArchiveBytes& bytes, const LogIndex& index, std::uint64_t fileSize,
                         std::uint64_t from, const RowFilter& filter, const CancelToken& cancel,
                         const FoundSegments& onFound) {
    // The runs and the uncovered tail as segments without rows yet.
    std::vector<RowSegment> all;
    all.reserve(index.runs.size() + 1);
    for (std::size_t i = 0; i < index.runs.size(); ++i) {
        if (index.runs[i].offset < from) {
            continue;
        }
        all.push_back(RowSegment{index.runs[i].offset,
                                 i + 1 < index.runs.size() ? index.runs[i + 1].offset : index.coveredSize,
                                 index.runs[i].kindBefore, 0});
    }
    if (fileSize > index.coveredSize && index.coveredSize >= from) {
        all.push_back(RowSegment{index.coveredSize, fileSize, index.lastKind, 0});
    }
    const TextFinder finder(filter.text);
    std::string block;
    std::size_t next = 0;
    while (next < all.size() && !cancel.Cancelled()) {
        // As many whole segments as fit one block (at least one).
        std::size_t last = next + 1;
        while (last < all.size() && all[last].end - all[next].begin <= kBlockBytes) {
            ++last;
        }
        const std::uint64_t begin = all[next].begin;
        block.resize(static_cast<std::size_t>(all[last - 1].end - begin));
        std::size_t got = 0;
        const ReadResult read = bytes.ReadAt(begin, block.data(), block.size(), got);
        if (read != ReadResult::Read) {
            return read;
        }
        block.resize(got);
        std::size_t segment = next;
        ForEachShownLine(
            begin, block, all[next].kindBefore, filter, finder,
            [&](const ArchiveLine& line, const LineFacts&) {
                while (segment + 1 < last && line.offset >= all[segment].end) {
                    ++segment;
                }
                ++all[segment].rows;
            },
            false);
        onFound(std::vector<RowSegment>(all.begin() + static_cast<std::ptrdiff_t>(next),
                                        all.begin() + static_cast<std::ptrdiff_t>(last)),
                all[last - 1].end);
        next = last;
    }
    return ReadResult::Read;
}

}  // namespace velmo
