// The index kept beside the log archive: the archive in runs of lines of
// one day (a run is cut after kRunBytes too, so that any line is found by
// reading at most one run), each with its first byte, its counts per kind,
// its line drops and its counts per access source.
//
// The index covers the archive up to the run of tool lines that ends it (the
// update marker, failure lines, empty lines): that run is the only part a
// capture ever cuts away, so everything the index covers stays as it is and
// catching up after captures reads only the bytes after it. Whether the
// archive still holds what the index covers is told by the covered size and
// a hash of the covered part's last bytes; when it does not, the index is
// built again from the file.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/CancelToken.h"
#include "logview/ArchiveLines.h"
#include "logview/EntryKinds.h"

namespace velmo {

inline constexpr std::uint64_t kRunBytes = 1024 * 1024;
inline constexpr std::size_t kTailHashBytes = 4096;

struct IndexRun {
    std::int32_t day = kNoDay;
    std::uint64_t offset = 0;
    EntryKind kindBefore = EntryKind::Other;  // the kind a sub-info line at its start takes
    std::uint32_t lines = 0;
    std::array<std::uint32_t, kEntryKindCount> kinds{};
    std::uint32_t drops = 0;
    // Its access sources: (source number, entries) by rising number, packed
    // as varints of the number's step and the count (a run knocked at by
    // thousands of sources stays a few kilobytes).
    std::string sources;

    friend bool operator==(const IndexRun&, const IndexRun&) = default;
};

// Calls f(number, entries) for each source of `run`.
template <class F>
void ForEachRunSource(const IndexRun& run, F&& f) {
    std::uint32_t number = 0;
    std::size_t at = 0;
    auto varint = [&] {
        std::uint32_t value = 0;
        for (int shift = 0; at < run.sources.size() && shift <= 28; shift += 7) {
            const auto byte = static_cast<unsigned char>(run.sources[at++]);
            value |= static_cast<std::uint32_t>(byte & 0x7f) << shift;
            if (byte < 0x80) {
                break;
            }
        }
        return value;
    };
    while (at < run.sources.size()) {
        number += varint();
        f(number, varint());
    }
}

struct LogIndex {
    std::uint64_t coveredSize = 0;
    std::uint64_t tailHash = 0;
    EntryKind lastKind = EntryKind::Other;  // the kind of the last entry covered
    std::uint64_t damagedLines = 0;         // pieces of overlong lines, lines of invalid Shift-JIS
    std::vector<std::string> sources;       // access sources, numbered in the order first seen
    std::vector<IndexRun> runs;

    friend bool operator==(const LogIndex& a, const LogIndex& b) {
        return a.coveredSize == b.coveredSize && a.tailHash == b.tailHash && a.lastKind == b.lastKind &&
               a.damagedLines == b.damagedLines && a.sources == b.sources && a.runs == b.runs;
    }
};

// Where an index lives: beside the archive, its name with ".idx" added.
std::string IndexPathFor(const std::string& archivePath);

// Progress of a build: bytes read of bytes to read.
using IndexProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

enum class IndexOutcome { Current, Extended, Rebuilt, Stale, Cancelled, Unreadable };

// Brings `index` up to the archive's bytes: nothing when it is current
// (Current), the lines after the covered part when the archive only grew
// (Extended; an empty index covers nothing), a build from the first byte
// when the archive no longer holds what the index covers (Rebuilt).
// Cancelled, or Unreadable while reading the new part, keeps the part
// covered so far; Unreadable before that (`failure` says why: a file that
// cannot be opened, a missing file) leaves the index as it was. A scan that
// the archive changed under (a capture cut and appended while it read) is
// done again; Unreadable (Failed) when it keeps changing.
IndexOutcome UpdateLogIndex(ArchiveBytes& bytes, LogIndex& index, const CancelToken& cancel,
                            const IndexProgress& progress = {}, ReadResult* failure = nullptr);

// The index file's bytes and back; false for bytes that are not an index.
// `runsBefore` stand before the index's own runs in the file (the runs a
// catch-up of the last run on left alone).
std::string SaveLogIndex(const LogIndex& index, std::span<const IndexRun> runsBefore = {});
bool LoadLogIndex(std::string_view bytes, LogIndex& index);

// For the capture, after its write: brings the index saved beside
// `archivePath` up to the archive and saves it, when that index loads,
// matches the archive and lacks at most kBlockBytes of it (what captures
// appended since). Any other index (none, damaged, not matching, far behind)
// is left as it is (Stale), for the viewer to build or extend: a capture
// never reads the whole archive. Never touches the archive.
IndexOutcome CatchUpLogIndex(const std::string& archivePath);

}  // namespace velmo
