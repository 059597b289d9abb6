#include "logview/LogSearch.h"

#include <algorithm>
#include <iterator>

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
                                 index.runs[i].kindBefore,
                                 0,
                                 {}});
    }
    if (fileSize > index.coveredSize && index.coveredSize >= from) {
        all.push_back(RowSegment{index.coveredSize, fileSize, index.lastKind, 0, {}});
    }
    // A source alone is looked for as text (its lines hold it), in the runs
    // whose counts do not tell its entries: a run that lists it gives them,
    // as does one that lists all its sources and not this one (none).
    const TextFinder finder(filter.text.empty() ? filter.source : filter.text);
    const bool sourceAlone = filter.text.empty() && !filter.source.empty();
    std::vector<bool> counted(all.size(), false);
    for (std::size_t i = 0, run = 0; i < all.size() && sourceAlone; ++i) {
        while (run < index.runs.size() && index.runs[run].offset < all[i].begin) {
            ++run;
        }
        if (run == index.runs.size() || index.runs[run].offset != all[i].begin) {
            continue;  // the uncovered tail
        }
        bool listed = false;
        ForEachRunSource(index.runs[run], [&](std::string_view source, std::uint32_t entries) {
            if (source == filter.source) {
                listed = true;
                all[i].rows = entries;
            }
        });
        counted[i] = listed ||
                     (index.runs[run].unlistedMost == 0 && filter.source.size() <= kMaxSourceBytes) ||
                     !filter.shown[static_cast<int>(EntryKind::Access)];
        if (!filter.shown[static_cast<int>(EntryKind::Access)]) {
            all[i].rows = 0;
        }
    }
    // Without a kind or a source to pass, the lines found come without their
    // facts: a spot's kind is then read here.
    const bool factsGiven = !filter.source.empty() ||
                            std::find(filter.shown.begin(), filter.shown.end(), false) != filter.shown.end();
    std::string block;
    std::size_t next = 0;
    while (next < all.size() && !cancel.Cancelled()) {
        if (counted[next]) {
            std::size_t last = next + 1;
            while (last < all.size() && counted[last]) {
                ++last;
            }
            const auto first = all.begin() + static_cast<std::ptrdiff_t>(next);
            onFound(std::vector<RowSegment>(
                        std::make_move_iterator(first),
                        std::make_move_iterator(all.begin() + static_cast<std::ptrdiff_t>(last))),
                    all[last - 1].end);
            next = last;
            continue;
        }
        // As many whole segments as fit one block (at least one).
        std::size_t last = next + 1;
        while (last < all.size() && !counted[last] && all[last].end - all[next].begin <= kBlockBytes) {
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
            [&](const ArchiveLine& line, const LineFacts& facts) {
                while (segment + 1 < last && line.offset >= all[segment].end) {
                    ++segment;
                }
                RowSegment& found = all[segment];
                if (++found.rows > kSpotRows) {
                    return;
                }
                EntryKind kind = facts.kind;
                if (!factsGiven) {
                    const LineFacts own = ReadLineFacts(line.text, EntryKind::Other);
                    kind = own.continuation
                               ? KindBeforeLine(block, static_cast<std::size_t>(line.offset - begin),
                                                all[next].kindBefore)
                               : own.kind;
                }
                found.spots.push_back(RowSpot{line.offset, kind});
            },
            false);
        for (std::size_t i = next; i < last; ++i) {
            if (all[i].rows > kSpotRows) {
                std::vector<RowSpot>().swap(all[i].spots);  // the list reads the whole segment
            }
        }
        const auto first = all.begin() + static_cast<std::ptrdiff_t>(next);
        onFound(
            std::vector<RowSegment>(std::make_move_iterator(first),
                                    std::make_move_iterator(all.begin() + static_cast<std::ptrdiff_t>(last))),
            all[last - 1].end);
        next = last;
    }
    return ReadResult::Read;
}

}  // namespace velmo
