// Logging the tool in to and out of the router's administration pages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Clock.h"
#include "router/RouterClient.h"

namespace velmo {

inline constexpr std::string_view kLogoutCommand = "cgi-bin/logo?RC=@";
inline constexpr int kLogoutAttempts = 10;
inline constexpr std::uint32_t kLogoutPauseMs = 500;

// Fetches the menu page, builds the login request from its form and the
// client's `rootPassword`, and requests it. True when all three succeed; the
// router's answer to the login is not examined.
bool LogIn(const RouterClient& client);

// Requests the logout command from `routerAddress`; the answer is dropped.
bool SendLogout(const RouterClient& client);

// SendLogout until it succeeds, at most 10 times, pausing 500 ms after every
// failure (the tenth included); a cancelled job stops trying.
void LogOut(const RouterClient& client, Clock& clock);

}  // namespace velmo
