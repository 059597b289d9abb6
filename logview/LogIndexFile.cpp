// The index file: little-endian numbers after a magic word. It is only ever
// derived from the archive, so bytes that do not read back whole are thrown
// away and the index built again.
#include <cstring>

#include "logview/LogIndex.h"

namespace velmo {

namespace {

// 4: lines of invalid Shift-JIS count as damaged. 5: each run lists its
// sources by address, a closed run only its most frequent (an index of an
// older form is built again).
constexpr std::string_view kMagic = "VelmoLogIndex5\n";

class Writer {
  public:
    void Number(std::uint64_t value) {
        for (int i = 0; i < 8; ++i) {
            bytes.push_back(static_cast<char>(value >> (8 * i)));
        }
    }
    void Small(std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<char>(value >> (8 * i)));
        }
    }
    std::string bytes;
};

class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool Number(std::uint64_t& value) { return Read(value, 8); }
    bool Small(std::uint32_t& value) {
        std::uint64_t wide = 0;
        const bool ok = Read(wide, 4);
        value = static_cast<std::uint32_t>(wide);
        return ok;
    }
    bool Text(std::string& text, std::uint32_t length) {
        if (bytes_.size() - position_ < length) {
            return false;
        }
        text.assign(bytes_.substr(position_, length));
        position_ += length;
        return true;
    }
    bool AtEnd() const { return position_ == bytes_.size(); }
    // A count of things each at least `each` bytes long that the rest can hold.
    bool Plausible(std::uint64_t count, std::size_t each) const {
        return count <= (bytes_.size() - position_) / each;
    }

  private:
    bool Read(std::uint64_t& value, int length) {
        if (bytes_.size() - position_ < static_cast<std::size_t>(length)) {
            return false;
        }
        value = 0;
        for (int i = 0; i < length; ++i) {
            value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[position_ + i])) << (8 * i);
        }
        position_ += static_cast<std::size_t>(length);
        return true;
    }

    std::string_view bytes_;
    std::size_t position_ = 0;
};

bool LoadRun(Reader& reader, IndexRun& run) {
    std::uint32_t day = 0, kindBefore = 0, count = 0;
    if (!reader.Small(day) || !reader.Number(run.offset) || !reader.Small(kindBefore) ||
        !reader.Small(run.lines) || kindBefore >= kEntryKindCount) {
        return false;
    }
    run.day = static_cast<std::int32_t>(day);
    run.kindBefore = static_cast<EntryKind>(kindBefore);
    for (std::uint32_t& kind : run.kinds) {
        if (!reader.Small(kind)) {
            return false;
        }
    }
    if (!reader.Small(run.drops) || !reader.Small(run.unlistedMost) || !reader.Small(count) ||
        !reader.Text(run.sources, count)) {
        return false;
    }
    return ForEachRunSource(run, [](std::string_view, std::uint32_t) {});
}

// Runs from the first byte on, in file order, each within the covered part
// and shorter than two blocks, each line counted under one kind: what a
// build gives, so that damaged bytes that happen to read are still refused.
bool Consistent(const LogIndex& index) {
    if (!index.runs.empty() && index.runs[0].offset != 0) {
        return false;
    }
    for (std::size_t i = 0; i < index.runs.size(); ++i) {
        const IndexRun& run = index.runs[i];
        const std::uint64_t end = i + 1 < index.runs.size() ? index.runs[i + 1].offset : index.coveredSize;
        std::uint64_t kinds = 0;
        for (std::uint32_t count : run.kinds) {
            kinds += count;
        }
        if (end <= run.offset || end - run.offset > 2 * kBlockBytes || kinds != run.lines ||
            run.drops > run.lines) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string SaveLogIndex(const LogIndex& index, std::span<const IndexRun> runsBefore) {
    Writer writer;
    writer.bytes = kMagic;
    writer.Number(index.coveredSize);
    writer.Number(index.tailHash);
    writer.Small(static_cast<std::uint32_t>(index.lastKind));
    writer.Number(index.damagedLines);
    writer.Small(static_cast<std::uint32_t>(runsBefore.size() + index.runs.size()));
    const auto save = [&](const IndexRun& run) {
        writer.Small(static_cast<std::uint32_t>(run.day));
        writer.Number(run.offset);
        writer.Small(static_cast<std::uint32_t>(run.kindBefore));
        writer.Small(run.lines);
        for (std::uint32_t kind : run.kinds) {
            writer.Small(kind);
        }
        writer.Small(run.drops);
        writer.Small(run.unlistedMost);
        writer.Small(static_cast<std::uint32_t>(run.sources.size()));
        writer.bytes += run.sources;
    };
    for (const IndexRun& run : runsBefore) {
        save(run);
    }
    for (const IndexRun& run : index.runs) {
        save(run);
    }
    return std::move(writer.bytes);
}

bool LoadLogIndex(std::string_view bytes, LogIndex& index) {
    if (bytes.substr(0, kMagic.size()) != kMagic) {
        return false;
    }
    Reader reader(bytes.substr(kMagic.size()));
    LogIndex loaded;
    std::uint32_t lastKind = 0, runCount = 0;
    if (!reader.Number(loaded.coveredSize) || !reader.Number(loaded.tailHash) || !reader.Small(lastKind) ||
        lastKind >= kEntryKindCount || !reader.Number(loaded.damagedLines)) {
        return false;
    }
    loaded.lastKind = static_cast<EntryKind>(lastKind);
    if (!reader.Small(runCount) || !reader.Plausible(runCount, 48)) {
        return false;
    }
    loaded.runs.resize(runCount);
    for (IndexRun& run : loaded.runs) {
        if (!LoadRun(reader, run)) {
            return false;
        }
    }
    if (!reader.AtEnd() || !Consistent(loaded)) {
        return false;
    }
    index = std::move(loaded);
    return true;
}

}  // namespace velmo
