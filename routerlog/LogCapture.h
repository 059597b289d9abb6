// One capture of the router's system log into the log file.
#pragma once

#include <optional>
#include <string>

#include "base/Clock.h"
#include "router/RouterClient.h"
#include "routerlog/CaptureLedger.h"
#include "routerlog/CaptureResult.h"
#include "routerlog/LogEntry.h"

namespace velmo {

struct LogCaptureSettings {
    std::string fileName;  // UpdateLogFileName; a relative name is taken from the current directory
    LogFilters filters;    // recordLogin, recordLogout, recordSubInfo
    // The ledger the window kept from its last capture (CaptureResult::ledger).
    std::optional<CaptureLedger> ledger;
};

// Reads the log page (logging in and out through the login form when it
// cannot be read directly) into entries and merges them into the log file,
// which receives those its filters keep; a capture that reads no entry
// writes a failure line. The result says whether the file received it,
// how many new entries written hold "Unrecognized access" (the warning icon
// shows when any did) and the newest of them; a file that could not be
// opened, read or written gives the reason.
// Runs on a job's worker: blocks for the fetches and, when logout fails, the
// logout pauses.
CaptureResult CaptureSystemLog(const RouterClient& client, const LogCaptureSettings& settings, Clock& clock);

}  // namespace velmo
