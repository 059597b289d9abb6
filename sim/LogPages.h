// The administration pages of the simulated router, in CP932: the menu page
// with the login form, the answers to login and logout, and what the system
// log page shows without a login (the log page itself: sim/LogPageBuilder.h).
#pragma once

#include <string>

#include "sim/SimulatorOptions.h"

namespace velmo {

// The menu page with the login form(s) of `options.loginForm`. When the page
// holds both forms, each ends with a hidden field FORM=GET or FORM=POST, so
// the login request tells which form it was built from.
std::string MenuPageBody(const RouterSimulatorOptions& options);
// The answer to a login request, right password or not.
std::string LoginAnswerBody(bool loggedIn);
std::string LogoutAnswerBody();
// What the log page address shows without a login: no script at all.
std::string LoginRequiredPageBody();

}  // namespace velmo
