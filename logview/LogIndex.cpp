#include "logview/LogIndex.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "base/FileSystem.h"
#include "base/SjisText.h"

namespace velmo {

namespace {

std::uint64_t Fnv1a(std::string_view bytes) {
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char byte : bytes) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    return hash;
}

// The covered part's last bytes (at most kTailHashBytes), as the file holds
// them now; false (and why in `read`) when they cannot be read.
bool CoveredTail(ArchiveBytes& bytes, std::uint64_t covered, std::string& tail, ReadResult& read) {
    const std::uint64_t from = covered - std::min<std::uint64_t>(covered, kTailHashBytes);
    tail.assign(static_cast<std::size_t>(covered - from), '\0');
    std::size_t got = 0;
    const ReadResult result = bytes.ReadAt(from, tail.data(), tail.size(), got);
    if (result != ReadResult::Read || got != tail.size()) {
        read = result == ReadResult::Read ? ReadResult::Failed : result;
        return false;
    }
    return true;
}

// The last kTailHashBytes of `before` followed by `after`.
std::string LastBytes(std::string_view before, std::string_view after) {
    if (after.size() >= kTailHashBytes) {
        return std::string(after.substr(after.size() - kTailHashBytes));
    }
    const std::size_t kept = std::min(before.size(), kTailHashBytes - after.size());
    std::string last(before.substr(before.size() - kept));
    last += after;
    return last;
}

// Adds lines to an index in file order. Tool lines are held back until a
// line that is not one follows them, since the capture may still cut them.
class IndexBuilder {
  public:
    explicit IndexBuilder(LogIndex& index) : index_(index) {
        if (!index_.runs.empty()) {
            Unpack(index_.runs.back());
        }
    }

    void Add(const ArchiveLine& line) {
        if (!line.closed) {
            return;  // a line the file does not end yet may still grow
        }
        const LineFacts facts = ReadLineFacts(line.text, index_.lastKind);
        if (facts.toolLine) {
            held_.push_back({line.offset, facts.day, facts.stamped});
            return;
        }
        for (const Held& tool : held_) {
            LineFacts toolFacts;
            toolFacts.stamped = tool.stamped;
            toolFacts.day = tool.day;
            toolFacts.toolLine = true;
            Count(tool.offset, toolFacts, false);
        }
        held_.clear();
        // A piece of an overlong line (no line end), or a line that is not Shift-JIS.
        Count(line.offset, facts, line.next - line.offset == line.text.size() || !IsValidSjis(line.text));
        index_.coveredSize = line.next;
    }

  private:
    struct Held {
        std::uint64_t offset;
        std::int32_t day;
        bool stamped;
    };

    void Count(std::uint64_t offset, const LineFacts& facts, bool damaged) {
        IndexRun* run = index_.runs.empty() ? nullptr : &index_.runs.back();
        if (run == nullptr || (facts.stamped && facts.day != run->day) || offset - run->offset >= kRunBytes) {
            Pack(true);
            IndexRun next;
            next.day = facts.stamped || run == nullptr ? facts.day : run->day;
            next.offset = offset;
            next.kindBefore = index_.lastKind;
            index_.runs.push_back(std::move(next));
            run = &index_.runs.back();
        }
        ++run->lines;
        ++run->kinds[static_cast<int>(facts.kind)];
        run->drops += facts.drop ? 1 : 0;
        index_.damagedLines += damaged ? 1 : 0;
        if (!facts.source.empty()) {
            CountSource(facts.source);
        }
        if (!facts.continuation && !facts.toolLine) {
            index_.lastKind = facts.kind;
        }
    }

    void CountSource(std::string_view source) {
        if (source.size() <= kMaxSourceBytes) {
            ++counts_[std::string(source)];
        }
    }

    // The open run's sources, counted exactly until the run is packed.
    void Unpack(const IndexRun& run) {
        ForEachRunSource(run, [&](std::string_view source, std::uint32_t entries) {
            counts_[std::string(source)] = entries;
        });
    }

  public:
    // Packs the open run's sources; a run `closed` keeps only its most
    // frequent (the last run keeps all, for the next catch-up to go on).
    void Pack(bool closed) {
        if (index_.runs.empty()) {
            return;
        }
        IndexRun& run = index_.runs.back();
        std::vector<std::pair<std::string_view, std::uint32_t>> order(counts_.begin(), counts_.end());
        std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
            return a.second != b.second ? a.second > b.second : a.first < b.first;
        });
        run.unlistedMost = 0;
        if (closed && order.size() > kListedRunSources) {
            run.unlistedMost = order[kListedRunSources].second;
            order.resize(kListedRunSources);
        }
        run.sources.clear();
        for (const auto& [source, entries] : order) {
            run.sources.push_back(static_cast<char>(source.size()));
            run.sources += source;
            PutVarint(run.sources, entries);
        }
        counts_.clear();
    }

  private:
    static void PutVarint(std::string& bytes, std::uint32_t value) {
        while (value >= 0x80) {
            bytes.push_back(static_cast<char>((value & 0x7f) | 0x80));
            value >>= 7;
        }
        bytes.push_back(static_cast<char>(value));
    }

    // The open run's sources: at most a run's lines, so bounded by kRunBytes.
    std::unordered_map<std::string, std::uint32_t> counts_;
    LogIndex& index_;
    std::vector<Held> held_;
};

// Adds the lines from the covered size up to `size`; `read` tells why it
// stopped early. `coveredTail` holds the covered part's last bytes as read
// before. The covered part's hash is taken whether the scan ended or stopped,
// so that the next update goes on from where this one stopped; false when it
// cannot be read (the index is then not consistent). A capture may cut the
// archive's trailing tool lines and append while the scan reads: `changed`
// tells that the covered part's last bytes as the scan read them are not
// what the file holds now, and the lines counted cannot be trusted.
bool Extend(ArchiveBytes& bytes, std::uint64_t size, LogIndex& index, std::string coveredTail,
            const CancelToken& cancel, const IndexProgress& progress, ReadResult& read, bool& changed) {
    const std::uint64_t start = index.coveredSize;
    IndexBuilder builder(index);
    std::vector<char> buffer;
    std::string readBefore = coveredTail;  // the last bytes read before the block at hand
    read =
        ForEachBlock(bytes, start, size, buffer, cancel, [&](std::uint64_t offset, std::string_view block) {
            const std::uint64_t coveredBefore = index.coveredSize;
            ForEachLine(offset, block, [&](const ArchiveLine& line) {
                builder.Add(line);
                return true;
            });
            if (index.coveredSize > coveredBefore) {
                coveredTail = LastBytes(readBefore, block.substr(0, index.coveredSize - offset));
            }
            readBefore = LastBytes(readBefore, block);
            if (progress) {
                progress(offset + block.size() - start, size - start);
            }
            return true;
        });
    builder.Pack(false);
    std::string now;
    if (!CoveredTail(bytes, index.coveredSize, now, read)) {
        return false;
    }
    changed = now != coveredTail;
    index.tailHash = Fnv1a(now);
    return true;
}

// How much an update may do: a build from nothing, and how many bytes after
// the covered part it reads.
struct UpdateLimits {
    bool rebuild = true;
    std::uint64_t readBytes = UINT64_MAX;
};

// How many times an update the file changed under is tried.
constexpr int kScans = 3;

IndexOutcome Update(ArchiveBytes& bytes, LogIndex& index, const CancelToken& cancel,
                    const IndexProgress& progress, ReadResult* failure, const UpdateLimits& limits) {
    ReadResult read = ReadResult::Read;
    const auto unreadable = [&] {
        if (failure != nullptr) {
            *failure = read;
        }
        return IndexOutcome::Unreadable;
    };
    for (int scan = 1;; ++scan) {
        std::uint64_t size = 0;
        read = bytes.Size(size);
        if (read != ReadResult::Read) {
            return unreadable();
        }
        // A file that cannot be read now leaves the index as it is; only one
        // that no longer holds the covered part throws it away.
        bool matches = true;
        std::string coveredTail;
        if (index.coveredSize > 0) {
            if (index.coveredSize > size || index.runs.empty()) {
                matches = false;
            } else if (!CoveredTail(bytes, index.coveredSize, coveredTail, read)) {
                return unreadable();
            } else {
                matches = Fnv1a(coveredTail) == index.tailHash;
            }
        }
        if (matches && index.coveredSize == size && size > 0) {
            return IndexOutcome::Current;
        }
        if (matches ? size - index.coveredSize > limits.readBytes : !limits.rebuild) {
            return IndexOutcome::Stale;
        }
        LogIndex work = matches ? index : LogIndex{};
        bool changed = false;
        if (!Extend(bytes, size, work, matches ? std::move(coveredTail) : std::string(), cancel, progress,
                    read, changed)) {
            return unreadable();
        }
        if (changed) {
            // Read again from the index as it was: the next scan finds the
            // file as the capture left it.
            if (cancel.Cancelled()) {
                return IndexOutcome::Cancelled;
            }
            if (scan < kScans) {
                continue;
            }
            read = ReadResult::Failed;
            return unreadable();
        }
        const std::uint64_t coveredBefore = index.coveredSize;
        index = std::move(work);
        if (cancel.Cancelled()) {
            return IndexOutcome::Cancelled;
        }
        if (read != ReadResult::Read) {
            return unreadable();  // the covered part so far is kept
        }
        if (!matches) {
            return IndexOutcome::Rebuilt;
        }
        // Only tool lines after the covered part: nothing new to cover.
        return index.coveredSize == coveredBefore && coveredBefore > 0 ? IndexOutcome::Current
                                                                       : IndexOutcome::Extended;
    }
}

}  // namespace

std::string IndexPathFor(const std::string& archivePath) {
    return archivePath + ".idx";
}

IndexOutcome UpdateLogIndex(ArchiveBytes& bytes, LogIndex& index, const CancelToken& cancel,
                            const IndexProgress& progress, ReadResult* failure) {
    return Update(bytes, index, cancel, progress, failure, UpdateLimits{});
}

IndexOutcome CatchUpLogIndex(const std::string& archivePath) {
    const std::string indexPath = IndexPathFor(archivePath);
    LogIndex index;
    std::string saved;
    if (!ReadFileBytes(indexPath, saved) || !LoadLogIndex(saved, index)) {
        return IndexOutcome::Stale;
    }
    ArchiveFile file(archivePath);
    const IndexOutcome outcome =
        Update(file, index, NeverCancelled(), {}, nullptr, UpdateLimits{false, kBlockBytes});
    if (outcome == IndexOutcome::Extended) {
        ReplaceFileAtomically(indexPath, SaveLogIndex(index));  // an index not saved is caught up again
    }
    return outcome;
}

}  // namespace velmo
