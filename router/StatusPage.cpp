#include "router/StatusPage.h"

#include <span>

#include "base/CodePage.h"
#include "base/SjisText.h"

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
    static const std::array<WordPair, 5> table = {{
        {"Ready", Utf8ToSjis("レディ")},
        {"Not ready", Utf8ToSjis("用意ができていません")},
        {"Dialing", Utf8ToSjis("ダイヤル中")},
        {"Hanging", Utf8ToSjis("切断中")},
        {"Dialup fail", Utf8ToSjis("ダイヤルアップに失敗しました")},
    }};
    return table;
}

std::string ModelLine(bool fetched, const std::string& page, bool routerReachable) {
    static const std::string kUnknown = Utf8ToSjis("不明");
    static const std::string kNotReachable = Utf8ToSjis("ルーターに接続できません");
    // Steps 1 and 2: fetched, and a model line cut out of it.
    std::string model;
    if (!fetched || !ExtractBetween(model, page, bannerMarkers())) {
        model = kUnknown;
    } else if (model.starts_with('(') && !SjisContains(model, "Router")) {
        // Step 3: a bare "(...)" model gets the product prefix.
        model = "Broadband Router " + model;
    }
    // Step 4: an unreachable router overrides whatever steps 1 to 3 gave.
    if (!routerReachable)
        model = kNotReachable;
    return model;
}

RouterStatus ParseStatusPage(const std::string& page) {
    static const std::string kNotConnected = Utf8ToSjis("未接続");
    const std::span<const MarkerPair> markers(statusMarkers());
    RouterStatus status;
    status.connected = true;
    // Step 4: no connection-time cell empties both texts; the modem cell is not looked at.
    if (!ExtractBetween(status.connectionTime, page, markers.subspan(0, 2))) {
        return RouterStatus{};
    }
    // Step 5.
    if (status.connectionTime == "-" || status.connectionTime.empty())
        status.connectionTime = kNotConnected;
    // Steps 6 and 7: a missing modem cell leaves the text empty.
    if (ExtractBetween(status.modemState, page, markers.subspan(2, 3))) {
        TranslateWord(status.modemState, modemWords());
    }
    // Step 8: any other connection time (a running time) counts as connected.
    if (status.connectionTime == kNotConnected)
        status.connected = false;
    return status;
}

}  // namespace velmo
