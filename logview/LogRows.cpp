#include "logview/LogRows.h"

#include <algorithm>

namespace velmo {

void LogRows::Clear() {
    segments_.clear();
    before_.clear();
}

void LogRows::Append(const RowSegment& segment) {
    segments_.push_back(segment);
    before_.push_back(Count() + segment.rows);
}

std::size_t LogRows::SegmentOf(std::uint64_t row, std::uint64_t& within) const {
    const auto at = std::upper_bound(before_.begin(), before_.end(), row);
    const std::size_t segment = static_cast<std::size_t>(at - before_.begin());
    within = row - RowsBefore(segment);
    return segment;
}

void LogRows::TruncateFrom(std::uint64_t offset) {
    while (!segments_.empty() && segments_.back().begin >= offset) {
        segments_.pop_back();
        before_.pop_back();
    }
}

std::uint64_t LogRows::FirstRowAtOrAfter(std::uint64_t offset) const {
    const auto at = std::lower_bound(
        segments_.begin(), segments_.end(), offset,
        [](const RowSegment& segment, std::uint64_t value) { return segment.begin < value; });
    return RowsBefore(static_cast<std::size_t>(at - segments_.begin()));
}

bool PassesKindAndSource(const LineFacts& facts, const RowFilter& filter) {
    if (!filter.shown[static_cast<int>(facts.kind)]) {
        return false;
    }
    return filter.source.empty() || (facts.kind == EntryKind::Access && facts.source == filter.source);
}

EntryKind KindBeforeLine(std::string_view block, std::size_t lineStart, EntryKind kindBefore) {
    std::size_t end = lineStart;
    while (end > 0) {
        std::size_t start = end - 1;
        while (start > 0 && block[start - 1] != '\n') {
            --start;
        }
        std::size_t content = 0;
        LinePiece(block.substr(start), content);
        const LineFacts facts = ReadLineFacts(block.substr(start, content), EntryKind::Other);
        if (!facts.continuation && !facts.toolLine) {
            return facts.kind;
        }
        end = start;
    }
    return kindBefore;
}

void IndexRows(const LogIndex& index, const RowFilter& filter, std::uint64_t fileSize, std::uint64_t tailRows,
               LogRows& rows) {
    rows.Clear();
    for (std::size_t i = 0; i < index.runs.size(); ++i) {
        const IndexRun& run = index.runs[i];
        RowSegment segment{run.offset,
                           i + 1 < index.runs.size() ? index.runs[i + 1].offset : index.coveredSize,
                           run.kindBefore,
                           0,
                           {}};
        for (int kind = 0; kind < kEntryKindCount; ++kind) {
            segment.rows += filter.shown[kind] ? run.kinds[kind] : 0;
        }
        rows.Append(segment);
    }
    if (fileSize > index.coveredSize) {
        rows.Append(RowSegment{index.coveredSize, fileSize, index.lastKind, tailRows, {}});
    }
}

std::uint64_t CountShownLines(std::uint64_t offset, std::string_view block, EntryKind kindBefore,
                              const RowFilter& filter) {
    const TextFinder finder(filter.text);
    std::uint64_t count = 0;
    ForEachShownLine(offset, block, kindBefore, filter, finder,
                     [&](const ArchiveLine&, const LineFacts&) { ++count; });
    return count;
}

void RowReader::Keep(std::uint64_t bytesAt, const ArchiveLine& line, const LineFacts& facts) {
    ShownRow row;
    row.offset = line.offset;
    row.kind = facts.kind;
    row.day = facts.day;
    row.source = facts.source;
    row.port = facts.port;
    shown_.emplace_back(static_cast<std::uint32_t>(line.offset - bytesAt),
                        static_cast<std::uint32_t>(line.text.size()));
    facts_.push_back(std::move(row));
}

bool RowReader::LoadSpots(ArchiveBytes& bytes, const RowSegment& segment, const RowFilter& filter,
                          const TextFinder& finder) {
    bytes_.clear();
    std::string piece;
    for (const RowSpot& spot : segment.spots) {
        if (spot.offset >= segment.end) {
            return false;
        }
        // Most lines end within a few hundred bytes; a longer one is read
        // again, up to the longest piece.
        std::size_t length = 0;
        for (std::size_t want : {std::size_t{512}, kMaxLineBytes + 2}) {
            piece.resize(static_cast<std::size_t>(std::min<std::uint64_t>(want, segment.end - spot.offset)));
            std::size_t got = 0;
            if (bytes.ReadAt(spot.offset, piece.data(), piece.size(), got) != ReadResult::Read) {
                return false;
            }
            piece.resize(got);
            std::size_t content = 0;
            length = LinePiece(piece, content);
            if (length > 0 || got < want) {
                break;
            }
        }
        // The piece alone, read the way the search read it.
        const std::uint64_t at = bytes_.size();
        bytes_ += length > 0 ? std::string_view(piece).substr(0, length) : std::string_view(piece);
        const std::size_t before = facts_.size();
        ForEachShownLine(
            spot.offset, std::string_view(bytes_).substr(at), spot.kind, filter, finder,
            [&](const ArchiveLine& line, const LineFacts& facts) { Keep(spot.offset - at, line, facts); });
        if (facts_.size() != before + 1) {
            return false;
        }
    }
    return true;
}

bool RowReader::LoadSegment(ArchiveBytes& bytes, const RowSegment& segment, const RowFilter& filter) {
    if (segment.begin == segmentBegin_ && filter == filter_) {
        return true;
    }
    segmentBegin_ = UINT64_MAX;
    filter_ = filter;
    shown_.clear();
    facts_.clear();
    const TextFinder finder(filter.text);
    if (!segment.spots.empty()) {
        if (!LoadSpots(bytes, segment, filter, finder)) {
            return false;
        }
        segmentBegin_ = segment.begin;
        return true;
    }
    if (segment.end < segment.begin || segment.end - segment.begin > 2 * kBlockBytes) {
        return false;  // not a segment rows are made of
    }
    bytes_.resize(static_cast<std::size_t>(segment.end - segment.begin));
    std::size_t got = 0;
    if (bytes.ReadAt(segment.begin, bytes_.data(), bytes_.size(), got) != ReadResult::Read) {
        return false;
    }
    bytes_.resize(got);
    ForEachShownLine(
        segment.begin, bytes_, segment.kindBefore, filter, finder,
        [&](const ArchiveLine& line, const LineFacts& facts) { Keep(segment.begin, line, facts); });
    segmentBegin_ = segment.begin;
    return true;
}

bool RowReader::Read(ArchiveBytes& bytes, const LogRows& rows, const RowFilter& filter, std::uint64_t first,
                     std::size_t count, std::vector<ShownRow>& out) {
    out.clear();
    std::uint64_t row = first;
    while (out.size() < count && row < rows.Count()) {
        std::uint64_t within = 0;
        const std::size_t segment = rows.SegmentOf(row, within);
        if (!LoadSegment(bytes, rows.Segment(segment), filter)) {
            return false;
        }
        if (within >= facts_.size()) {
            // The segment now shows fewer lines than counted: the file changed under us.
            return false;
        }
        for (std::size_t i = static_cast<std::size_t>(within); i < facts_.size() && out.size() < count;
             ++i, ++row) {
            ShownRow shown = facts_[i];
            shown.line = bytes_.substr(shown_[i].first, shown_[i].second);
            out.push_back(std::move(shown));
        }
    }
    return true;
}

}  // namespace velmo
