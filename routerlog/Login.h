// Logging the tool in to and out of the router's administration pages.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Clock.h"
#include "router/RouterClient.h"

namespace velmo {

inline constexpr std::string_view kLogoutCommand = "cgi-bin/logo?RC=@";
inline constexpr int kLogoutAttempts = 10;
inline constexpr std::uint32_t kLogoutPauseMs = 500;

// How old an answer that came late may be and still serve the capture that
// asked for it: long enough for the capture's own second wait, far shorter
// than any capture interval, so one capture never reads another's page.
inline constexpr std::chrono::milliseconds kCaptureLateAge{5000};

// Fetches `path` for the capture. When the router did not answer within the
// wait but the request is still on its way (a slow router), waits once more
// for that same request instead of giving up; nothing is sent twice. A fetch
// that failed or was refused is not repeated.
bool FetchPatiently(RouterClient& client, std::string& text, std::string_view path);

// Fetches the menu page, builds the login request from its form and the
// client's `rootPassword`, and requests it. True when all three succeed; the
// router's answer to the login is not examined.
bool LogIn(RouterClient& client);

// Requests the logout command from `routerAddress`; the answer is dropped.
bool SendLogout(RouterClient& client);

// SendLogout until it succeeds, at most 10 times, pausing 500 ms after every
// failure (the tenth included). A logout that the router answers late counts
// as answered: after the first given-up attempt the logout waits once more
// for that same request before it pauses and sends the next.
void LogOut(RouterClient& client, Clock& clock);

}  // namespace velmo
