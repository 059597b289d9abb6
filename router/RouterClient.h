// The router client: the working address and password, the learned command
// pair, the fixed tables of page names and command strings, and the requests
// themselves. It is a small value: the window keeps one, and each job works
// on its own copy, so nothing of it is shared between threads.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "base/CancelToken.h"
#include "router/HttpRequest.h"

namespace velmo {

// The request a job makes: fetch `path` from the router at `host`, append the
// body to `responseText`, return the verdict; end early (failing) once
// `cancel` is raised. Production uses RequestPage.
using RequestFunction = std::function<bool(const std::string& host, const std::string& path,
                                           std::string& responseText, const CancelToken& cancel)>;

// The same request, which also calls `firstByte` as the answer begins to arrive.
using TimedRequestFunction =
    std::function<bool(const std::string& host, const std::string& path, std::string& responseText,
                       const CancelToken& cancel, const std::function<void()>& firstByte)>;

// The longest a job waits for one request (to connect, for the first byte and
// for the whole answer). A router busy rebooting or behind a weak Wi-Fi link
// answers in one to two seconds and still fits with room, and a SYN lost on
// such a link is sent again after one second (three on older systems) and
// still fits; a silent router costs a job no more than this per request, so
// a user's command never waits behind it for long.
inline constexpr std::chrono::milliseconds kRequestBound{4000};

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

    // Production: every request is a RequestPage bounded by kRequestBound.
    RouterClient();
    // Tests: requests run `request` instead.
    explicit RouterClient(RequestFunction request);

    // Requests `path` from `routerAddress`; `text` receives the body (on a
    // failure, what arrived of it). False when the request failed, or was not
    // sent because the job was cancelled (`text` is then left as it was).
    bool FetchPage(std::string& text, std::string_view path) const;
    // The same; `firstByte` is called as the answer begins to arrive (by a
    // test's request, which cannot tell, once the answer is in).
    bool FetchPage(std::string& text, std::string_view path, const std::function<void()>& firstByte) const;

    // Requests the learned dial-up (hang-up) command from `routerAddress`; the
    // answer is dropped. False, and nothing sent, unless an index 0-5 is learned.
    bool SendDialCommand() const;
    bool SendHangUpCommand() const;
    bool CommandKnown() const { return dialCommandIndex >= 0 && dialCommandIndex <= 5; }

    // Learns from a status page which command pair this router takes: a dial
    // string, then a hang-up string, then the WAN-type words; a page that
    // matches nothing keeps the previous index.
    void LearnDialCommandIndex(const std::string& page);

    // The job's token, which ends this copy's requests early; it must outlive the copy's use.
    void SetCancel(const CancelToken& cancel) { cancel_ = &cancel; }
    bool Cancelled() const { return cancel_->Cancelled(); }

    int dialCommandIndex = kNoDialCommand;
    std::string routerAddress;
    std::string rootPassword;

  private:
    explicit RouterClient(TimedRequestFunction request);
    bool SendCommand(int entry) const;

    TimedRequestFunction request_;
    const CancelToken* cancel_ = &NeverCancelled();
};

}  // namespace velmo
