// A router may list its log newest first; the log file is kept oldest first.
#pragma once

#include <vector>

#include "base/DateTime.h"
#include "routerlog/LogEntry.h"

namespace velmo {

// True when the page's timed entries step down in time more often than up.
// An entry dated after `now` plus a few seconds (the router's clock was
// wrong when it logged it) stands anywhere and takes no part; where the
// others cannot tell, the page's order is kept.
bool ListedNewestFirst(const std::vector<LogEntry>& entries, DateTime now);

// True when the page's timed entries (those dated after `now` aside) lie
// within a few seconds of each other: the stamps cannot show which way the
// page is listed.
bool OrderUnclear(const std::vector<LogEntry>& entries, DateTime now);

// Turns a newest-first page round: the timed entries in reverse order, each
// followed by the sub-info entries that followed it on the page. Sub-info
// entries before the first timed entry (theirs has left the page) form a
// group of their own, which goes last.
void TurnRound(std::vector<LogEntry>& entries);

}  // namespace velmo
