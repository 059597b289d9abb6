#include "router/StatusPage.h"

#include <span>
#include <utility>

#include "base/CodePage.h"
#include "base/SjisText.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

const std::array<MarkerPair, 2>& bannerMarkers() {
    static const std::array<MarkerPair, 2> table = {{
        {"<IMG SRC=sp.gif BORDER=0 WIDTH=8 HEIGHT=32 ALIGN=TEXTBOTTOM>", "</CENTER>"},
        {"<CENTER><IMG SRC=/bnimg.gif ALIGN=ABSMIDDLE>&nbsp;", "</CENTER>"},
    }};
    return table;
}

const std::array<MarkerPair, 5>& statusMarkers() {
    static const std::array<MarkerPair, 5> table = {{
        {Utf8ToSjis("<TD>接続時間</TD><TD ALIGN=CENTER>"), "</TD>"},
        {"<TD>Connection Time</TD><TD ALIGN=CENTER>", "</TD>"},
        {Utf8ToSjis("<TD>ダイヤルアップ モデム \n</TD><TD ALIGN=CENTER>"), "</TD>"},
        {"<TD>Dial-up Modem</TD><TD ALIGN=CENTER>", "</TD>"},
        {Utf8ToSjis("<TD>ダイヤルアップ モデム\n</TD><TD ALIGN=CENTER>"), "</TD>"},
    }};
    return table;
}

const std::array<WordPair, 5>& modemWords() {
    // The router's words, and the text shown for each.
    static constexpr std::pair<const char*, int> kWords[] = {
        {"Ready", IDS_MODEM_READY},
        {"Not ready", IDS_MODEM_NOT_READY},
        {"Dialing", IDS_MODEM_DIALING},
        {"Hanging", IDS_MODEM_HANGING},
        {"Dialup fail", IDS_MODEM_DIAL_FAILED},
    };
    static const std::array<std::array<WordPair, 5>, 2> tables = [] {
        std::array<std::array<WordPair, 5>, 2> both;
        for (const Language language : {Language::Japanese, Language::English}) {
            for (std::size_t i = 0; i < both[0].size(); ++i) {
                both[static_cast<std::size_t>(language)][i] = {kWords[i].first,
                                                               TableString(kWords[i].second, language)};
            }
        }
        return both;
    }();
    return tables[static_cast<std::size_t>(TextLanguage())];
}

std::string ModelLine(bool fetched, const std::string& page, bool routerReachable) {
    std::string model;
    if (!fetched || !ExtractBetween(model, page, bannerMarkers())) {
        model = TableString(IDS_UNKNOWN);
    } else if (model.starts_with('(') && !SjisContains(model, "Router")) {
        // A bare "(...)" model gets the product prefix.
        model = "Broadband Router " + model;
    }
    // An unreachable router overrides whatever the page gave.
    if (!routerReachable) {
        model = TableString(IDS_ROUTER_NOT_REACHABLE);
    }
    return model;
}

RouterStatus ParseStatusPage(const std::string& page) {
    const std::string& notConnected = TableString(IDS_NOT_CONNECTED);
    const std::span<const MarkerPair> markers(statusMarkers());
    RouterStatus status;
    status.connected = true;
    // No connection-time cell empties both texts; the modem cell is not looked at.
    if (!ExtractBetween(status.connectionTime, page, markers.subspan(0, 2))) {
        return RouterStatus{};
    }
    // A dash or an empty cell means the line is down.
    if (status.connectionTime == "-" || status.connectionTime.empty()) {
        status.connectionTime = notConnected;
    }
    // The modem word, translated; a missing modem cell leaves the text empty.
    if (ExtractBetween(status.modemState, page, markers.subspan(2, 3))) {
        TranslateWord(status.modemState, modemWords());
    }
    // Any other connection time (a running time) counts as connected.
    if (status.connectionTime == notConnected) {
        status.connected = false;
    }
    return status;
}

}  // namespace velmo
