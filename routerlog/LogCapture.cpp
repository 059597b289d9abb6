#include "routerlog/LogCapture.h"

#include "routerlog/LogFile.h"
#include "routerlog/LogStamp.h"
#include "routerlog/Login.h"

namespace velmo {

namespace {

// Fetches the log page and parses it into the capture text; false when the
// page could not be fetched.
bool FetchAndParse(const RouterClient& client, const LogFilters& filters, Clock& clock,
                   std::string& captureText, LogPageOutcome& outcome) {
    std::string page;
    if (!client.FetchPage(page, RouterClient::syslogPage)) {
        return false;
    }
    outcome = ParseSystemLogPage(page, clock.LocalFileTime(), filters, captureText);
    return true;
}

}  // namespace

CaptureResult CaptureSystemLog(const RouterClient& client, const LogCaptureSettings& settings, Clock& clock) {
    // The failure line is what gets written unless an entry is read.
    std::string captureText = FailureLine(clock.Now()) + "\n";
    // First try: the log page as it stands.
    LogPageOutcome outcome = LogPageOutcome::NotLogPage;
    const bool readDirectly = FetchAndParse(client, settings.filters, clock, captureText, outcome) &&
                              outcome == LogPageOutcome::EntriesRead;
    // Fetch failed, not a log page, no entry or malformed: log in and try
    // once more; the outcome of that parse is not used.
    if (!readDirectly && LogIn(client)) {
        FetchAndParse(client, settings.filters, clock, captureText, outcome);
        LogOut(client, clock);
    }
    if (client.Cancelled()) {
        return {};  // cut short (the tool is closing): what was read is not the router's whole answer
    }
    return UpdateLogFile(settings.fileName, captureText, clock.Now());
}

}  // namespace velmo
