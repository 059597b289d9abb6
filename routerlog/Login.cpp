#include "routerlog/Login.h"

#include <string>

#include "routerlog/LoginRequest.h"

namespace velmo {

bool LogIn(RouterClient& client) {
    std::string menu;
    if (!client.FetchPage(menu, RouterClient::menuPage)) {
        return false;
    }
    std::string request;
    if (!BuildLoginRequest(menu, client.rootPassword, request)) {
        return false;
    }
    // The answer is not read: a wrong password shows later as a log page
    // that still cannot be read.
    std::string answer;
    if (!client.FetchPage(answer, request)) {
        return false;
    }
    return true;
}

bool SendLogout(RouterClient& client) {
    std::string dropped;
    return client.FetchPage(dropped, kLogoutCommand);
}

void LogOut(RouterClient& client, Clock& clock) {
    for (int attempt = 0; attempt < kLogoutAttempts; ++attempt) {
        if (SendLogout(client)) {
            return;
        }
        clock.Sleep(kLogoutPauseMs);
    }
}

}  // namespace velmo
