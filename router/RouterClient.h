// The router client part of the main window: the worker fetch, the learned
// command pair, the working address and password, and the fixed tables of
// page names and command strings.
#pragma once

#include <array>
#include <chrono>
#include <string>
#include <string_view>

#include "router/FetchWorkers.h"
#include "router/HttpRequest.h"

namespace velmo {

class RouterClient {
  public:
    // Entries 0-5 dial up, 6-11 hang up; entry 6 + i is the partner of entry i.
    // Sent and searched for byte for byte, trailing apostrophes included.
    static constexpr std::array<std::string_view, 12> dialCommands = {
        "cgi-bin/dial?RC=@&A=D&M=1&T=180000'", "cgi-bin/dial?rc=@&A=D1&rd=status",
        "cgi-bin/dial?RC=@&A=D&M=0&T=10000'",  "cgi-bin/dial?rc=@&A=D0&rd=status",
        "cgi-bin/dial?RC=@&A=D&M=0&T=10000'",  "cgi-bin/dial?rc=@&A=D0&rd=status",
        "cgi-bin/dial?RC=@&A=H&M=1&T=14000'",  "cgi-bin/dial?rc=@&A=H1&rd=status",
        "cgi-bin/dial?RC=@&A=H&M=0&T=2000'",   "cgi-bin/dial?rc=@&A=H0&rd=status",
        "cgi-bin/dial?RC=@&A=H&M=0&T=2000'",   "cgi-bin/dial?rc=@&A=H0&rd=status",
    };
    static constexpr std::string_view bannerPage = "banner.htm";
    static constexpr std::string_view statusPage = "status.htm";
    static constexpr std::string_view menuPage = "menu.htm";
    static constexpr std::string_view syslogPage = "syslog.htm";

    // Nothing learned yet: Connect and Disconnect send nothing.
    static constexpr int kNoDialCommand = 10000;

    // Production: every request is a RequestPage with the default limits.
    RouterClient();
    // Tests: the workers run `request` instead.
    explicit RouterClient(RequestFunction request);

    // Fetches `path` from `routerAddress` on a worker thread (see
    // FetchWorkers::FetchPage for what `text` receives and for `maxAge`, the
    // age up to which an answer that came late still serves).
    bool FetchPage(std::string& text, std::string_view path,
                   std::chrono::milliseconds maxAge = std::chrono::milliseconds(0));

    // True while a given-up request for `path` may still deliver: fetching
    // it again with a `maxAge` waits for that request.
    bool IsOnItsWay(std::string_view path) const { return fetchWorkers.IsOnItsWay(routerAddress, path); }

    // Requests the learned dial-up (hang-up) command from `routerAddress`; the
    // answer is dropped. False, and nothing sent, unless an index 0-5 is learned.
    bool SendDialCommand();
    bool SendHangUpCommand();

    // Learns from a status page which command pair this router takes: a dial
    // string, then a hang-up string, then the WAN-type words; a page that
    // matches nothing keeps the previous index.
    void LearnDialCommandIndex(const std::string& page);

    void WaitForAllWorkers() { fetchWorkers.WaitForAllWorkers(); }
    // Cancels every given-up request, then waits for their workers (closing).
    void CancelAndWaitForAllWorkers() {
        fetchWorkers.CancelPendingRequests();
        fetchWorkers.WaitForAllWorkers();
    }

    FetchWorkers fetchWorkers;
    int dialCommandIndex = kNoDialCommand;
    std::string routerAddress;
    std::string rootPassword;

  private:
    bool SendCommand(int entry);
};

}  // namespace velmo
