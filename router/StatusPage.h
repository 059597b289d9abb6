// Reading the router's banner and status pages: the marker tables of both
// pages, the modem word table and the pure readings the main window shows.
#pragma once

#include <array>
#include <string>

#include "router/MarkerExtraction.h"

namespace velmo {

// What one reading of the status page yields.
struct RouterStatus {
    // The connection-time cell, trimmed; "未接続" when the cell holds "-" or
    // nothing; empty when the page was not fetched or has no such cell.
    std::string connectionTime;
    // The modem cell, trimmed and translated with modemWords(); empty when the
    // page was not fetched or has no connection-time or no modem cell.
    std::string modemState;
    // True unless the page was not fetched, has no connection-time cell, or
    // the connection time is "未接続".
    bool connected = false;

    friend bool operator==(const RouterStatus&, const RouterStatus&) = default;
};

// The two marker pairs around the model line of "banner.htm". Built once.
const std::array<MarkerPair, 2>& bannerMarkers();
// The five marker pairs of "status.htm": pairs 1-2 the connection time,
// pairs 3-5 the modem state. Built once (CP932).
const std::array<MarkerPair, 5>& statusMarkers();
// The router's English modem words and the texts shown instead, in the
// language the tool speaks. Built once for each language.
const std::array<WordPair, 5>& modemWords();

// The model line for field 1006: the text cut from a fetched banner page, with
// "Broadband Router " put before one that begins with "(" and lacks "Router";
// "不明" when the page was not fetched or holds no model line;
// "ルーターに接続できません" whenever the router is not reachable (both in the
// language the tool speaks).
std::string ModelLine(bool fetched, const std::string& page, bool routerReachable);

// Reads a fetched status page. A page that was not fetched reads as a
// default RouterStatus (both texts empty, not connected).
RouterStatus ParseStatusPage(const std::string& page);

}  // namespace velmo
