#include "routerlog/LogCapture.h"

#include "routerlog/LogFile.h"
#include "routerlog/Login.h"
#include "routerlog/SystemLogPage.h"

namespace velmo {

namespace {

// Fetches the log page and parses it into entries; false when the page could
// not be fetched.
bool FetchAndParse(const RouterClient& client, Clock& clock, std::vector<LogEntry>& entries,
                   LogPageOutcome& outcome) {
    std::string page;
    if (!client.FetchPage(page, RouterClient::syslogPage)) {
        return false;
    }
    outcome = ParseSystemLogPage(page, clock.LocalFileTime(), entries);
    return true;
}

}  // namespace

CaptureResult CaptureSystemLog(const RouterClient& client, const LogCaptureSettings& settings, Clock& clock) {
    // A failure line, if one is written, bears the capture's start.
    CapturedLog capture;
    capture.filters = settings.filters;
    capture.newestFirst = settings.newestFirst;
    const DateTime start = clock.Now();
    // First try: the log page as it stands.
    LogPageOutcome outcome = LogPageOutcome::NotLogPage;
    const bool readDirectly =
        FetchAndParse(client, clock, capture.entries, outcome) && outcome == LogPageOutcome::EntriesRead;
    // Fetch failed, not a log page, no entry or malformed: log in and try
    // once more; the outcome of that parse is not used (the entries of
    // whichever parse last read one stand).
    if (!readDirectly && LogIn(client)) {
        FetchAndParse(client, clock, capture.entries, outcome);
        LogOut(client, clock);
    }
    if (client.Cancelled()) {
        return {};  // cut short (the tool is closing): what was read is not the router's whole answer
    }
    if (capture.entries.empty()) {
        capture.failedAt = start;
    }
    return UpdateLogFile(settings.fileName, capture, clock.Now());
}

}  // namespace velmo
