#include "routerlog/Login.h"

#include <string>

#include "routerlog/LoginRequest.h"

namespace velmo {

bool FetchPatiently(RouterClient& client, std::string& text, std::string_view path) {
    if (client.FetchPage(text, path, kCaptureLateAge)) {
        return true;
    }
    return client.IsOnItsWay(path) && client.FetchPage(text, path, kCaptureLateAge);
}

bool LogIn(RouterClient& client) {
    std::string menu;
    if (!FetchPatiently(client, menu, RouterClient::menuPage)) {
        return false;
    }
    std::string request;
    if (!BuildLoginRequest(menu, client.rootPassword, request)) {
        return false;
    }
    // The answer is not read: a wrong password shows later as a log page
    // that still cannot be read.
    std::string answer;
    if (!FetchPatiently(client, answer, request)) {
        return false;
    }
    return true;
}

bool SendLogout(RouterClient& client) {
    std::string dropped;
    return client.FetchPage(dropped, kLogoutCommand);
}

void LogOut(RouterClient& client, Clock& clock) {
    bool waitedLonger = false;
    for (int attempt = 0; attempt < kLogoutAttempts; ++attempt) {
        if (SendLogout(client)) {
            return;
        }
        // Given up on a slow router: the logout has reached it; wait for its
        // answer once more instead of sending the next one. Once only: a
        // router that does not answer even then is not just slow.
        std::string dropped;
        if (!waitedLonger && client.IsOnItsWay(kLogoutCommand)) {
            waitedLonger = true;
            if (client.FetchPage(dropped, kLogoutCommand, kCaptureLateAge)) {
                return;
            }
        }
        clock.Sleep(kLogoutPauseMs);
    }
}

}  // namespace velmo
