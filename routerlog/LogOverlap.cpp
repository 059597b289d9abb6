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
    // True when `shift` lies more than the jitter below every shift so far.
    bool DropsBelow(std::int64_t shift) const { return count_ > 0 && shift < high_ - kStampJitterSeconds; }
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
        return !Shifted() || count_ >= 2 ? RunOutcome::Agrees : RunOutcome::ShiftedEntry;
    }

    // True when the stamps agree only through a shift beyond the rounding.
    bool Shifted() const {
        return count_ > 0 && (low_ < -kStampRoundingSeconds || high_ > kStampRoundingSeconds);
    }

  private:
    std::int64_t low_ = 0;
    std::int64_t high_ = 0;
    int count_ = 0;
};

// Matches the file's entries from `start` to its end against the page from
// its start; on agreement `firstNew` is where the page's new entries begin.
// `shifted` tells whether it agrees only through a shift, `oneText` whether
// every timed entry of the run has the same text (sub-info lines aside).
// `mayLack[p]`: the file may lack the page's entry p (MayBeLeftOut).
RunOutcome MatchRun(const std::vector<FileEntry>& file, std::size_t start, const std::vector<LogEntry>& page,
                    const std::vector<bool>& mayLack, std::size_t& firstNew, bool& shifted, bool& oneText) {
    shifted = false;
    oneText = true;
    std::string_view firstText;
    Shifts shifts;
    std::size_t p = 0;
    for (std::size_t f = start; f < file.size(); ++p) {
        if (p == page.size()) {
            return RunOutcome::Differs;
        }
        const FileEntry& line = file[f];
        const LogEntry& entry = page[p];
        if (line.stamp != FileEntry::Stamp::None && line.text == entry.text) {
            // A sub-info entry's stamp is its timed entry's: it shows nothing more.
            if (line.stamp == FileEntry::Stamp::Timed && entry.stamp && !entry.subInfo) {
                const std::int64_t shift = line.seconds - entry.stamp->SecondsSince(DateTime());
                // A shift that drops by more than the jitter along the run:
                // the computer's clock was set back between the captures that
                // wrote the two parts, and each part agrees on its own.
                if (shifts.DropsBelow(shift)) {
                    if (const RunOutcome part = shifts.Verdict(); part != RunOutcome::Agrees) {
                        return part;
                    }
                    shifted = shifted || shifts.Shifted();
                    shifts = Shifts();
                }
                shifts.Add(shift);
                if (!shifts.Possible()) {
                    return RunOutcome::Differs;
                }
            }
            if (!entry.subInfo) {
                firstText = firstText.empty() ? line.text : firstText;
                oneText = oneText && line.text == firstText;
            }
            ++f;
        } else if (!mayLack[p]) {
            return RunOutcome::Differs;
        }
    }
    firstNew = p;
    shifted = shifted || shifts.Shifted();
    return shifts.Verdict();
}

}  // namespace

LogOverlap FindOverlap(const std::vector<TailLine>& fileLines, const std::vector<LogEntry>& page) {
    std::vector<FileEntry> file;
    file.reserve(fileLines.size());
    for (const TailLine& line : fileLines) {
        file.push_back(ReadFileEntry(line));
    }
    std::vector<bool> mayLack;
    mayLack.reserve(page.size());
    for (const LogEntry& entry : page) {
        mayLack.push_back(MayBeLeftOut(entry));
    }
    // Each line of the run stands for one entry of the page, so no run is
    // longer than the page. The candidates go from the longest to the
    // shortest; the first that agrees is taken, and the others are noted.
    LogOverlap overlap;
    std::optional<std::size_t> taken;
    const std::size_t first = file.size() > page.size() ? file.size() - page.size() : 0;
    for (std::size_t start = first; start < file.size(); ++start) {
        std::size_t firstNew = 0;
        bool shifted = false;
        bool oneText = false;
        const RunOutcome outcome = MatchRun(file, start, page, mayLack, firstNew, shifted, oneText);
        if (outcome == RunOutcome::Agrees) {
            if (taken) {
                overlap.choices.longestOfSeveral = true;
                break;
            }
            taken = firstNew;
            overlap.runLength = file.size() - start;
            overlap.choices.shiftedRunTaken = shifted;
            overlap.choices.oneTextRunTaken = oneText;
        } else if (!taken) {
            overlap.choices.shiftedEntryWritten |= outcome == RunOutcome::ShiftedEntry;
            overlap.choices.laterStampsWritten |= outcome == RunOutcome::LaterStamps;
        }
    }
    overlap.firstNew = taken.value_or(0);
    return overlap;
}

}  // namespace velmo
