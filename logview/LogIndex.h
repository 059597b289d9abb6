// The index kept beside the log archive: the archive in runs of lines of
// one day (a run is cut after kRunBytes too, so that any line is found by
// reading at most one run), each with its first byte, its counts per kind,
// its line drops (all exact) and its most frequent access sources with
// their exact counts (see IndexRun::sources for what is left out).
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
#include <string_view>
#include <utility>
#include <vector>

#include "base/CancelToken.h"
#include "logview/ArchiveLines.h"
#include "logview/EntryKinds.h"

namespace velmo {

inline constexpr std::uint64_t kRunBytes = 1024 * 1024;
inline constexpr std::size_t kTailHashBytes = 4096;

// A run closed (one after it began) keeps the counts of this many of its
// sources, its most frequent; the last run keeps all of them, since
// captures go on counting it. An archive knocked at from the whole internet
// then costs at most this many sources per run, whatever their number.
inline constexpr std::size_t kListedRunSources = 64;

// Sources are IPv4 or IPv6 addresses; longer words are not kept as sources.
inline constexpr std::size_t kMaxSourceBytes = 45;

struct IndexRun {
    std::int32_t day = kNoDay;
    std::uint64_t offset = 0;
    EntryKind kindBefore = EntryKind::Other;  // the kind a sub-info line at its start takes
    std::uint32_t lines = 0;
    std::array<std::uint32_t, kEntryKindCount> kinds{};  // exact
    std::uint32_t drops = 0;                             // exact
    // Its access sources with their exact entries, the most first (equal
    // ones by their bytes), each packed as its length, its bytes and a
    // varint of its entries. A closed run lists only its kListedRunSources
    // most frequent: any source it does not list has at most
    // `unlistedMost` entries in it (0: it lists every source it holds).
    std::string sources;
    std::uint32_t unlistedMost = 0;

    friend bool operator==(const IndexRun&, const IndexRun&) = default;
};

// Calls f(source, entries) for each source `run` lists; false when its
// bytes are not a list of sources (f may have been called for some).
template <class F>
bool ForEachRunSource(const IndexRun& run, F&& f) {
    const std::string_view bytes = run.sources;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t length = static_cast<unsigned char>(bytes[at++]);
        if (length == 0 || length > kMaxSourceBytes || bytes.size() - at < length) {
            return false;
        }
        const std::string_view source = bytes.substr(at, length);
        at += length;
        std::uint32_t entries = 0;
        for (int shift = 0;; shift += 7) {
            if (at == bytes.size() || shift > 28) {
                return false;
            }
            const auto byte = static_cast<unsigned char>(bytes[at++]);
            entries |= static_cast<std::uint32_t>(byte & 0x7f) << shift;
            if (byte < 0x80) {
                break;
            }
        }
        f(source, entries);
    }
    return true;
}

struct LogIndex {
    std::uint64_t coveredSize = 0;
    std::uint64_t tailHash = 0;
    EntryKind lastKind = EntryKind::Other;  // the kind of the last entry covered
    std::uint64_t damagedLines = 0;         // pieces of overlong lines, lines of invalid Shift-JIS
    std::vector<IndexRun> runs;

    friend bool operator==(const LogIndex&, const LogIndex&) = default;
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
