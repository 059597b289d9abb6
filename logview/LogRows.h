// The rows a filter shows: the archive as segments (an index run, or the
// uncovered tail), each with how many of its lines the filter shows. A row
// is found by its segment and read by walking that segment alone, so the
// list holds numbers per segment, never a number per line.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/SjisText.h"
#include "logview/ArchiveLines.h"
#include "logview/EntryKinds.h"
#include "logview/LogIndex.h"
#include "logview/TextFinder.h"

namespace velmo {

struct RowFilter {
    std::array<bool, kEntryKindCount> shown{true, true, true, true};
    std::string source;  // when set, only the access entries of this source
    std::string text;    // when set, only lines holding it (CP932)

    // A source is looked for in the archive: a closed run's counts name
    // only its most frequent sources.
    bool NeedsScan() const { return !text.empty() || !source.empty(); }
    friend bool operator==(const RowFilter&, const RowFilter&) = default;
};

// A shown line that a search found, with its kind (for a sub-info line, the
// kind of the entry before it).
struct RowSpot {
    std::uint64_t offset = 0;
    EntryKind kind = EntryKind::Other;
};

// A search keeps the places of the lines it found in a segment that shows
// at most this many, so that the list reads those lines alone instead of the
// whole segment (a rare text shows one line per run).
inline constexpr std::size_t kSpotRows = 64;

struct RowSegment {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    EntryKind kindBefore = EntryKind::Other;
    std::uint64_t rows = 0;
    std::vector<RowSpot> spots;  // every shown line's place when rows <= kSpotRows, from a search
};

// One shown line, decoded facts with their own bytes.
struct ShownRow {
    std::uint64_t offset = 0;
    std::string line;  // CP932, without its line end
    EntryKind kind = EntryKind::Other;
    std::int32_t day = kNoDay;
    std::string source;
    std::string port;
};

class LogRows {
  public:
    void Clear();
    // Segments come in file order; one without rows is kept for its offsets.
    void Append(const RowSegment& segment);
    std::uint64_t Count() const { return before_.empty() ? 0 : before_.back(); }
    std::size_t Segments() const { return segments_.size(); }
    const RowSegment& Segment(std::size_t i) const { return segments_[i]; }
    // The segment that holds `row` and the row's place within it.
    std::size_t SegmentOf(std::uint64_t row, std::uint64_t& within) const;
    std::uint64_t RowsBefore(std::size_t segment) const { return segment == 0 ? 0 : before_[segment - 1]; }
    // Drops the segments that begin at or after `offset`.
    void TruncateFrom(std::uint64_t offset);
    // The first row at or after byte `offset` (Count() when none).
    std::uint64_t FirstRowAtOrAfter(std::uint64_t offset) const;

  private:
    std::vector<RowSegment> segments_;
    std::vector<std::uint64_t> before_;  // rows up to and including each segment
};

// Calls onLine(line, facts) for each line of `block` (which starts at
// `offset`, at a line piece) that the filter shows; `kindBefore` is the kind
// a sub-info line at its start takes. `finder` holds the filter's text.
// Without `factsWanted`, a caller that only counts gets empty facts where
// the filter shows every kind of every source.
template <class OnLine>
void ForEachShownLine(std::uint64_t offset, std::string_view block, EntryKind kindBefore,
                      const RowFilter& filter, const TextFinder& finder, OnLine&& onLine,
                      bool factsWanted = true);

// The rows of a filter that needs no scan: counts from the runs alone, and the
// tail [covered size, file size) as one segment whose rows `tailRows` gives.
void IndexRows(const LogIndex& index, const RowFilter& filter, std::uint64_t fileSize, std::uint64_t tailRows,
               LogRows& rows);

// The number of lines of `block` the filter shows.
std::uint64_t CountShownLines(std::uint64_t offset, std::string_view block, EntryKind kindBefore,
                              const RowFilter& filter);

// Reads rows for the list, keeping the last segment it walked.
class RowReader {
  public:
    // `count` rows from `first` (fewer at the end); false when the archive
    // could not be read (then `out` holds what could).
    bool Read(ArchiveBytes& bytes, const LogRows& rows, const RowFilter& filter, std::uint64_t first,
              std::size_t count, std::vector<ShownRow>& out);
    void Forget() { segmentBegin_ = UINT64_MAX; }

  private:
    bool LoadSegment(ArchiveBytes& bytes, const RowSegment& segment, const RowFilter& filter);
    // The segment's spots, each line read alone; false when one no longer
    // holds a shown line (the file changed under us).
    bool LoadSpots(ArchiveBytes& bytes, const RowSegment& segment, const RowFilter& filter,
                   const TextFinder& finder);
    void Keep(std::uint64_t bytesAt, const ArchiveLine& line, const LineFacts& facts);

    std::uint64_t segmentBegin_ = UINT64_MAX;
    RowFilter filter_;
    std::string bytes_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> shown_;  // (place in bytes_, length)
    std::vector<ShownRow> facts_;
};

// IsSjisCharBoundary, inline here where every match of a search is checked.
inline bool OnCharBoundary(std::string_view text, std::size_t at) {
    std::size_t i = 0;
    while (i < at) {
        const auto byte = static_cast<unsigned char>(text[i]);
        i += (byte >= 0x81 && byte <= 0x9f) || (byte >= 0xe0 && byte <= 0xfc) ? 2 : 1;
    }
    return i == at;
}

// True when `facts` pass the filter's kinds and source.
bool PassesKindAndSource(const LineFacts& facts, const RowFilter& filter);

// The kind a line at `lineStart` of `block` takes when it is a sub-info line:
// the kind of the nearest line before it that is neither a sub-info nor a tool line.
EntryKind KindBeforeLine(std::string_view block, std::size_t lineStart, EntryKind kindBefore);

template <class OnLine>
void ForEachShownLine(std::uint64_t offset, std::string_view block, EntryKind kindBefore,
                      const RowFilter& filter, const TextFinder& finder, OnLine&& onLine, bool factsWanted) {
    if (finder.Empty()) {
        EntryKind before = kindBefore;
        ForEachLine(offset, block, [&](const ArchiveLine& line) {
            const LineFacts facts = ReadLineFacts(line.text, before);
            if (!facts.continuation && !facts.toolLine) {
                before = facts.kind;
            }
            if (PassesKindAndSource(facts, filter)) {
                onLine(line, facts);
            }
            return true;
        });
        return;
    }
    std::size_t from = 0;
    // The line start of a place already passed, so that walking back to a
    // line's start never walks over the same bytes twice.
    std::size_t known = 0, knownLineStart = 0;
    while (true) {
        const std::size_t found = finder.Find(block, from);
        if (found == npos) {
            return;
        }
        // The piece that holds the match: back to its line's start, then on
        // in whole pieces.
        std::size_t lineStart = found;
        while (lineStart > known && block[lineStart - 1] != '\n') {
            --lineStart;
        }
        if (lineStart == known) {
            lineStart = knownLineStart;
        }
        known = found;
        knownLineStart = lineStart;
        const std::size_t pieceStart = lineStart + (found - lineStart) / kMaxLineBytes * kMaxLineBytes;
        std::size_t content = 0;
        std::size_t length = LinePiece(block.substr(pieceStart), content);
        if (length == 0) {
            length = content;
        }
        ArchiveLine line;
        line.offset = offset + pieceStart;
        line.next = line.offset + length;
        line.closed = length > content || content == kMaxLineBytes;
        line.text = block.substr(pieceStart, content);
        const std::size_t at = found - pieceStart;
        if (at + finder.Size() <= content && OnCharBoundary(line.text, at)) {
            if (!factsWanted && filter.source.empty() &&
                std::find(filter.shown.begin(), filter.shown.end(), false) == filter.shown.end()) {
                onLine(line, LineFacts{});  // every kind shows: the line needs no reading
            } else {
                LineFacts facts = ReadLineFacts(line.text, EntryKind::Other);
                if (facts.continuation) {
                    facts.kind = KindBeforeLine(block, pieceStart, kindBefore);
                }
                if (PassesKindAndSource(facts, filter)) {
                    onLine(line, facts);
                }
            }
            from = pieceStart + std::max<std::size_t>(length, 1);
        } else {
            from = found + 1;
        }
    }
}

}  // namespace velmo
