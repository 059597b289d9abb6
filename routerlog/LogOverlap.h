// Where a capture meets the log file: the run of entries both hold.
//
// The router's page is a window over one ordered sequence of events and the
// file's tail is an earlier view of the same sequence. The entries both hold
// are a run at the end of the file that equals a run at the start of the
// page: the same texts in the same order, their stamps agreeing. Entries of
// the page before the run's end are known; those after it are new.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "routerlog/CaptureResult.h"
#include "routerlog/LogEntry.h"
#include "routerlog/LogTail.h"

namespace velmo {

// Two stamps of one entry read at two captures differ by the time between
// the router serving the page and the tool reading its clock (up to 1.5 s
// after a slow fetch), by a router's age in whole seconds (up to 1 s) and by
// cutting each stamp to its second: up to this many seconds either way.
inline constexpr std::int64_t kStampJitterSeconds = 3;

// What cutting to the second and whole-second ages alone make of one moment
// read twice at the same delay: up to this many seconds either way.
inline constexpr std::int64_t kStampRoundingSeconds = 1;

struct LogOverlap {
    std::size_t firstNew = 0;   // the page's entries from this one on are new
    std::size_t runLength = 0;  // the file's lines in the run
    LogMergeChoices choices;    // tailBoundReached is left to the reader of the tail
};

// The run shared by the end of `fileLines` (the file's entry lines, oldest
// first) and the start of `page` (oldest first, every entry the page held,
// whatever the filters). Texts compare byte for byte; a file line without a
// stamp of the tool's shape or 23 blanks, and one kept without its text,
// matches no entry. A page entry that some filter setting leaves out
// (sub-info, "login", "logged out") may be missing from the file, where an
// earlier capture's filters left it out: such an entry that the file lacks is
// passed over inside the run. The file's lines are never passed over.
//
// The stamps of the run agree when each lies within kStampJitterSeconds of
// the page's stamp moved by one shift common to the run (so two entries'
// shifts lie at most twice that apart: the file's lines were written by
// different captures, each read at its own delay). Where the shift jumps by
// more than that along the run, the computer's clock was set between the
// earlier captures that wrote the two parts, and each part agrees on its
// own. The shift is
//   - at most kStampRoundingSeconds either way, or
//   - up to kStampJitterSeconds either way, or any amount towards the
//     file's stamps being later (the computer's clock set back), when at
//     least two timed entries with more than one text show it: one entry
//     alone, or copies of one text, cannot tell a later reading from another
//     copy logged seconds later. Sub-info entries carry their timed entry's
//     stamp and show nothing more.
// A page stamped later than the file by more than the jitter is never taken
// for the same entries: it cannot be told from the same texts logged again
// (a port scan repeated, a reboot's first lines), and a duplicate can be
// mended where a lost entry cannot. A blank stamp agrees with any.
//
// A run does not end among entries of one age: the router logged them at
// one moment, so the earlier page held all of them or none.
//
// Of the runs that agree, the longest is taken: between two captures the
// page normally moves on by less than it holds, so the reading that leaves
// the fewest entries new is the likely one. The run must reach the file's
// last entry line; without one every entry of the page is new.
LogOverlap FindOverlap(const std::vector<TailLine>& fileLines, const std::vector<LogEntry>& page);

}  // namespace velmo
