// The simulated router's system log: its entries and the clock their ages are
// counted on.
//
// Each timed entry keeps its moment (milliseconds on the log clock) and the
// page shows its age in milliseconds at serving time, as a router does. The
// tool stamps an entry with its own local time (milliseconds included) minus
// the age, so with a clock that agrees with the log clock an entry gets the
// same stamp at every capture, unless the time between serving and parsing
// carries it over a second boundary.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "sim/LogPageBuilder.h"

namespace velmo {

struct SimulatedLogEntry {
    bool subInfo = false;       // an L1 line, shown under the timed entry before it
    std::int64_t momentMs = 0;  // on the log clock; not used for sub-info entries
    std::string text;           // CP932; a single quote in it ends the text, as on the router
};

class SimulatedLog {
  public:
    // Milliseconds on some fixed scale; only differences are used.
    using WallClock = std::function<std::int64_t()>;

    // The system clock, in milliseconds since 1970.
    static std::int64_t SystemMs();

    void SetClock(WallClock clock) { clock_ = std::move(clock); }
    std::int64_t NowMs() const { return clock_(); }

    void Add(SimulatedLogEntry entry) { entries_.push_back(std::move(entry)); }
    void Set(std::vector<SimulatedLogEntry> entries) { entries_ = std::move(entries); }
    const std::vector<SimulatedLogEntry>& Entries() const { return entries_; }

    // The entries as the log page lists them, in the order they were added,
    // ages as of now.
    std::vector<LogPageEntry> PageEntries() const;

  private:
    WallClock clock_ = &SystemMs;
    std::vector<SimulatedLogEntry> entries_;
};

// `count` plausible entries, oldest first, the newest one minute before
// `nowMs`, every moment a whole second: line up and down, administrator login
// and logout, an access report, a Japanese entry and sub-info lines.
std::vector<SimulatedLogEntry> SampleLogEntries(int count, std::int64_t nowMs);

}  // namespace velmo
