#include "routerlog/LogCapture.h"

#include "routerlog/LogFile.h"
#include "routerlog/Login.h"
#include "routerlog/SystemLogPage.h"

namespace velmo {

namespace {

// Fetches the log page and parses it into entries; false when the page could
// not be fetched. The router served the page between the request's send and
// its answer's first byte: the ledger keeps both ticks.
bool FetchAndParse(const RouterClient& client, Clock& clock, CapturedLog& capture, LogPageOutcome& outcome) {
    std::string page;
    FetchTicks ticks;
    ticks.sent = clock.Tick();
    if (!client.FetchPage(page, RouterClient::syslogPage, [&] { ticks.answered = clock.Tick(); })) {
        return false;
    }
    // The entries of an earlier parse stand unless this one reads an entry.
    std::vector<LogEntry> entries;
    outcome = ParseSystemLogPage(page, clock.LocalFileTime(), entries);
    if (!entries.empty() || outcome == LogPageOutcome::EntriesRead) {
        capture.entries = std::move(entries);
        capture.ticks = ticks;
    }
    return true;
}

}  // namespace

CaptureResult CaptureSystemLog(const RouterClient& client, const LogCaptureSettings& settings, Clock& clock) {
    // A failure line, if one is written, bears the capture's start.
    CapturedLog capture;
    capture.filters = settings.filters;
    capture.ledger = settings.ledger;
    const DateTime start = clock.Now();
    // First try: the log page as it stands.
    LogPageOutcome outcome = LogPageOutcome::NotLogPage;
    const bool readDirectly =
        FetchAndParse(client, clock, capture, outcome) && outcome == LogPageOutcome::EntriesRead;
    // Fetch failed, not a log page, no entry or malformed: log in and try
    // once more; the outcome of that parse is not used (the entries of
    // whichever parse last read one stand).
    if (!readDirectly && LogIn(client)) {
        FetchAndParse(client, clock, capture, outcome);
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
