#include "routerlog/LogOverlap.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "routerlog/LogStamp.h"

namespace velmo {

namespace {

// A file line as the run compares it.
struct FileEntry {
    enum class Stamp { Timed, Blank, None };
    Stamp stamp = Stamp::None;
    std::int64_t seconds = 0;
    std::string_view text;
};

FileEntry ReadFileEntry(const TailLine& line) {
    FileEntry entry;
    if (line.tooLong) {
        return entry;
    }
    const std::size_t stampLength = LogStampBlanks().size();
    if (LogStampSeconds(line.text, entry.seconds)) {
        entry.stamp = FileEntry::Stamp::Timed;
    } else if (std::string_view(line.text).starts_with(LogStampBlanks())) {
        entry.stamp = FileEntry::Stamp::Blank;
    } else {
        return entry;
    }
    entry.text = std::string_view(line.text).substr(stampLength);
    return entry;
}

// How one candidate run came out.
enum class RunOutcome { Agrees, Differs, ShiftedEntry, LaterStamps };

// The shifts (file stamp minus page stamp, in seconds) seen along a run.
class Shifts {
  public:
    void Add(std::int64_t shift) {
        low_ = count_ == 0 ? shift : std::min(low_, shift);
        high_ = count_ == 0 ? shift : std::max(high_, shift);
        ++count_;
    }
    // False once the stamps lie too far apart for any common shift.
    bool Possible() const { return count_ == 0 || high_ - low_ <= kStampJitterSeconds; }

    RunOutcome Verdict() const {
        if (count_ == 0) {
            return RunOutcome::Agrees;
        }
        if (!Possible()) {
            return RunOutcome::Differs;
        }
        if (low_ < -kStampJitterSeconds) {
            return RunOutcome::LaterStamps;
        }
        const bool small = low_ >= -kStampRoundingSeconds && high_ <= kStampRoundingSeconds;
        return small || count_ >= 2 ? RunOutcome::Agrees : RunOutcome::ShiftedEntry;
    }

  private:
    std::int64_t low_ = 0;
    std::int64_t high_ = 0;
    int count_ = 0;
};

// Matches the file's entries from `start` to its end against the page from
// its start; on agreement `firstNew` is where the page's new entries begin.
RunOutcome MatchRun(const std::vector<FileEntry>& file, std::size_t start, const std::vector<LogEntry>& page,
                    std::size_t& firstNew) {
    Shifts shifts;
    std::size_t p = 0;
    for (std::size_t f = start; f < file.size(); ++p) {
        if (p == page.size()) {
            return RunOutcome::Differs;
        }
        const FileEntry& line = file[f];
        const LogEntry& entry = page[p];
        if (line.stamp != FileEntry::Stamp::None && line.text == entry.text) {
            if (line.stamp == FileEntry::Stamp::Timed && entry.stamp) {
                shifts.Add(line.seconds - entry.stamp->SecondsSince(DateTime()));
                if (!shifts.Possible()) {
                    return RunOutcome::Differs;
                }
            }
            ++f;
        } else if (!MayBeLeftOut(entry)) {
            return RunOutcome::Differs;
        }
    }
    firstNew = p;
    return shifts.Verdict();
}

}  // namespace

LogOverlap FindOverlap(const std::vector<TailLine>& fileLines, const std::vector<LogEntry>& page) {
    std::vector<FileEntry> file;
    file.reserve(fileLines.size());
    for (const TailLine& line : fileLines) {
        file.push_back(ReadFileEntry(line));
    }
    // Each line of the run stands for one entry of the page, so no run is
    // longer than the page. The candidates go from the longest to the
    // shortest; the first that agrees is taken, and the others are noted.
    LogOverlap overlap;
    std::optional<std::size_t> taken;
    const std::size_t first = file.size() > page.size() ? file.size() - page.size() : 0;
    for (std::size_t start = first; start < file.size(); ++start) {
        std::size_t firstNew = 0;
        const RunOutcome outcome = MatchRun(file, start, page, firstNew);
        if (outcome == RunOutcome::Agrees) {
            if (taken) {
                overlap.choices.longestOfSeveral = true;
                break;
            }
            taken = firstNew;
        } else if (!taken) {
            overlap.choices.shiftedEntryWritten |= outcome == RunOutcome::ShiftedEntry;
            overlap.choices.laterStampsWritten |= outcome == RunOutcome::LaterStamps;
        }
    }
    overlap.firstNew = taken.value_or(0);
    return overlap;
}

}  // namespace velmo
