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
enum class RunOutcome { Agrees, Differs, ShiftedEntry, LaterStamps, SplitsMoment };

// The shifts (file stamp minus page stamp, in seconds) seen along one part
// of a run: the entries a stretch of the file wrote with one clock.
class Shifts {
  public:
    void Add(std::int64_t shift) {
        low_ = count_ == 0 ? shift : std::min(low_, shift);
        high_ = count_ == 0 ? shift : std::max(high_, shift);
        ++count_;
    }
    // Each entry's shift lies within the jitter of the part's common shift, so
    // two entries' shifts lie at most twice the jitter apart: their stamps
    // may have moved opposite ways, and the file's were written by different
    // captures, each read at its own delay. A shift further from the others
    // than that begins a new part: the computer's clock was set between the
    // captures that wrote the two.
    bool Leaves(std::int64_t shift) const {
        return count_ > 0 &&
               (shift < high_ - 2 * kStampJitterSeconds || shift > low_ + 2 * kStampJitterSeconds);
    }

    // A part agrees when its stamps agree without a shift beyond the
    // rounding, or when at least two timed entries show the file's stamps
    // later by the same amount (the computer's clock was set back): one entry
    // alone cannot tell that from another copy of its text logged seconds
    // later. A page stamped later than the file by more than the jitter is
    // never taken for the same entries: the computer's clock set forward
    // cannot be told from the same texts logged again (a port scan repeated,
    // a line that drops every few seconds, a reboot's first lines), and an
    // entry written twice can be mended where a lost one cannot.
    RunOutcome Verdict() const {
        if (count_ == 0 || !Shifted()) {
            return RunOutcome::Agrees;
        }
        if (low_ < -kStampJitterSeconds) {
            return RunOutcome::LaterStamps;
        }
        return count_ >= 2 ? RunOutcome::Agrees : RunOutcome::ShiftedEntry;
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

// What the runs are matched against, beside the file's lines.
struct PageFacts {
    const std::vector<LogEntry>& page;
    std::vector<bool> mayLack;  // the file may lack the page's entry p (MayBeLeftOut)
};

PageFacts ReadPageFacts(const std::vector<LogEntry>& page) {
    PageFacts facts{page, {}};
    facts.mayLack.reserve(page.size());
    for (const LogEntry& entry : page) {
        facts.mayLack.push_back(MayBeLeftOut(entry));
    }
    return facts;
}

// True when the run's end falls among entries of one age: the page's first
// new timed entry carries the age of the last timed entry the run matched.
// Entries of one age were logged at one moment (a port scan's copies, a
// line's state and its reason), so the earlier page held all of them or
// none, and a run that ends among them is another reading's. (A router that
// gives ages in whole seconds may have been read between two entries of one
// second; the page cannot show it, and they are written again rather than
// maybe lost.) Entries some filter leaves out may be missing from the file
// either way.
bool EndsInsideMoment(const PageFacts& facts, std::size_t lastMatched, std::size_t firstNew) {
    const std::vector<LogEntry>& page = facts.page;
    for (std::size_t p = firstNew; p < page.size(); ++p) {
        if (!page[p].subInfo && page[p].stamp && !facts.mayLack[p]) {
            return page[p].ageMs == page[lastMatched].ageMs;
        }
    }
    return false;
}

// Matches the file's entries from `start` to its end against the page from
// its start; on agreement `firstNew` is where the page's new entries begin.
// `shifted` tells whether it agrees only through a shift, `oneText` whether
// every timed entry of the run has the same text (sub-info lines aside).
RunOutcome MatchRun(const std::vector<FileEntry>& file, std::size_t start, const PageFacts& facts,
                    std::size_t& firstNew, bool& shifted, bool& oneText) {
    const std::vector<LogEntry>& page = facts.page;
    shifted = false;
    oneText = true;
    std::string_view firstText;
    Shifts shifts;
    std::optional<std::size_t> lastTimed;  // the last timed entry matched
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
                // Each part of the run agrees on its own.
                if (shifts.Leaves(shift)) {
                    if (const RunOutcome part = shifts.Verdict(); part != RunOutcome::Agrees) {
                        return part;
                    }
                    shifted = shifted || shifts.Shifted();
                    shifts = Shifts();
                }
                shifts.Add(shift);
                lastTimed = p;
            }
            if (!entry.subInfo) {
                firstText = firstText.empty() ? line.text : firstText;
                oneText = oneText && line.text == firstText;
            }
            ++f;
        } else if (!facts.mayLack[p]) {
            return RunOutcome::Differs;
        }
    }
    firstNew = p;
    shifted = shifted || shifts.Shifted();
    if (lastTimed && EndsInsideMoment(facts, *lastTimed, firstNew)) {
        return RunOutcome::SplitsMoment;
    }
    // Copies of one text agreeing only through a shift show no more than one
    // entry does: the same burst logged again that much later reads the same.
    const RunOutcome outcome = shifts.Verdict();
    return outcome == RunOutcome::Agrees && shifted && oneText ? RunOutcome::ShiftedEntry : outcome;
}

}  // namespace

LogOverlap FindOverlap(const std::vector<TailLine>& fileLines, const std::vector<LogEntry>& page) {
    std::vector<FileEntry> file;
    file.reserve(fileLines.size());
    for (const TailLine& line : fileLines) {
        file.push_back(ReadFileEntry(line));
    }
    const PageFacts facts = ReadPageFacts(page);
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
        const RunOutcome outcome = MatchRun(file, start, facts, firstNew, shifted, oneText);
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
            overlap.choices.momentSplitWritten |= outcome == RunOutcome::SplitsMoment;
        }
    }
    overlap.firstNew = taken.value_or(0);
    return overlap;
}

}  // namespace velmo
