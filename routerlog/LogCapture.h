// One capture of the router's system log into the log file.
#pragma once

#include <string>

#include "base/Clock.h"
#include "router/RouterClient.h"
#include "routerlog/LogFile.h"
#include "routerlog/SystemLogPage.h"

namespace velmo {

struct LogCaptureSettings {
    std::string fileName;  // UpdateLogFileName; a relative name is taken from the current directory
    LogFilters filters;    // recordLogin, recordLogout, recordSubInfo
};

// What the capture did to the log file: `written` when the file received it,
// `accessWarning` (show the warning icon) when a new line written holds
// "Unrecognized access", with how many did and the newest of them; a file
// that could not be opened, read or written gives the reason.
using CaptureResult = LogFileResult;

// Reads the log page (logging in and out through the login form when it
// cannot be read directly), stamps and filters its entries and merges them
// into the log file; a capture that reads no entry writes a failure line.
// Runs on a job's worker: blocks for the fetches and, when logout fails, the
// logout pauses.
CaptureResult CaptureSystemLog(const RouterClient& client, const LogCaptureSettings& settings, Clock& clock);

}  // namespace velmo
