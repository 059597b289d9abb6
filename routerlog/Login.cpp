#include "routerlog/Login.h"

#include <string>

#include "routerlog/LoginRequest.h"

namespace velmo {

bool LogIn(const RouterClient& client) {
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
    return client.FetchPage(answer, request);
}

bool SendLogout(const RouterClient& client) {
    std::string dropped;
    return client.FetchPage(dropped, kLogoutCommand);
}

void LogOut(const RouterClient& client, Clock& clock) {
    for (int attempt = 0; attempt < kLogoutAttempts && !client.Cancelled(); ++attempt) {
        if (SendLogout(client)) {
            return;
        }
        clock.Sleep(kLogoutPauseMs);
    }
}

}  // namespace velmo
