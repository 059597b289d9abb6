// The log viewer on arbitrary archives and index files: the index built from
// the bytes shows as many rows as it counts, whatever the filter, and bytes
// read as an index file are refused or describe a well-formed index.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "logview/LogRows.h"
#include "logview/LogSearch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    velmo::LogIndex loaded;
    if (velmo::LoadLogIndex(bytes, loaded) && velmo::SaveLogIndex(loaded) != bytes) {
        std::abort();
    }
    velmo::ArchiveString archive(bytes);
    velmo::LogIndex index;
    velmo::UpdateLogIndex(archive, index, velmo::NeverCancelled());
    velmo::RowFilter filter;
    for (int kind = 0; kind < velmo::kEntryKindCount; ++kind) {
        filter.shown[kind] = size == 0 || (data[0] >> kind & 1) != 0;
    }
    filter.text = size > 8 ? bytes.substr(1, 2) : std::string();
    velmo::LogRows rows;
    if (filter.NeedsScan()) {
        velmo::SearchArchive(archive, index, size, 0, filter, velmo::NeverCancelled(),
                             [&](std::vector<velmo::RowSegment>&& found, std::uint64_t) {
                                 for (const velmo::RowSegment& segment : found) {
                                     rows.Append(segment);
                                 }
                             });
    } else {
        const std::string tail = bytes.substr(index.coveredSize);
        velmo::IndexRows(index, filter, size,
                         velmo::CountShownLines(index.coveredSize, tail, index.lastKind, filter), rows);
    }
    velmo::RowReader reader;
    std::vector<velmo::ShownRow> shown;
    if (!reader.Read(archive, rows, filter, 0, SIZE_MAX, shown) || shown.size() != rows.Count()) {
        std::abort();
    }
    return 0;
}
