// The rows a filter with a text or a source shows, found by reading the
// archive run by run in big blocks (a source's runs whose counts tell its
// entries are not read). It runs off the window's thread; each block's segments
// are handed over as soon as it is read, so results show while it goes on.
#pragma once

#include <functional>
#include <vector>

#include "base/CancelToken.h"
#include "logview/LogRows.h"

namespace velmo {

using FoundSegments = std::function<void(std::vector<RowSegment>&& segments, std::uint64_t bytesDone)>;

// Every run of `index` that begins at or after `from` and the tail up to
// `fileSize`, in file order, each with the lines the filter shows. The tail
// is read in one piece: `fileSize` is at most one block (kBlockBytes) past
// the covered part. Stops when `cancel` is raised.
ReadResult SearchArchive(ArchiveBytes& bytes, const LogIndex& index, std::uint64_t fileSize,
                         std::uint64_t from, const RowFilter& filter, const CancelToken& cancel,
                         const FoundSegments& onFound);

}  // namespace velmo
