// What a job reads from the router for the window: the full refresh (top
// page, banner, status), the status poll, and the dial and hang-up commands
// with what surrounds them. Each runs on a job's worker on its own copy of
// the client and returns everything the window shows, parsed.
#pragma once

#include <cstdint>
#include <string>

#include "base/Clock.h"
#include "router/RouterClient.h"
#include "router/StatusPage.h"

namespace velmo {

// One reading of the status page.
struct StatusReading {
    bool fetched = false;
    RouterStatus status;                                  // default when not fetched
    int dialCommandIndex = RouterClient::kNoDialCommand;  // as learned from the page, or as it was
};

// One full refresh.
struct RefreshReading {
    bool topPageAnswered = false;
    // The top page took longer than kSlowAddressMs, on a clock that stops
    // while the computer sleeps: every request is bounded, so only the name
    // resolution of a wrong address takes that long.
    bool slowAddress = false;
    std::string modelLine;  // field 1006
    StatusReading status;
};

// A top-page fetch that takes longer than this means the address is wrong.
inline constexpr std::uint64_t kSlowAddressMs = 10000;

// The status page: fetched, read, and the command pair learned from it.
StatusReading ReadStatusPage(const RouterClient& client);

// The top page (its content unused), "banner.htm", then "status.htm".
RefreshReading ReadAllPages(const RouterClient& client, Clock& clock);

// What a command job did.
struct CommandReading {
    RefreshReading refresh;
    bool sent = false;  // the router answered the command
};

// The user's 接続 or 切断: a full refresh first (it learns the command pair
// and shows the state the command starts from), then the command once.
CommandReading ConnectCommand(const RouterClient& client, Clock& clock, bool dial);

// The automatic hang-up: the hang-up command, sent again only while the
// router does not answer (at most ten times, 500 ms apart), then a refresh
// that shows its effect. When no command pair was known before, the refresh
// may learn one, and the command is sent once then.
CommandReading AutomaticHangUp(const RouterClient& client, Clock& clock);

inline constexpr int kHangUpAttempts = 10;
inline constexpr std::uint32_t kHangUpRetryPause = 500;  // ms

}  // namespace velmo
