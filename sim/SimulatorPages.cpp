#include "sim/SimulatorPages.h"

#include <cstdio>

#include "base/CodePage.h"
#include "router/RouterClient.h"

namespace velmo {
namespace {

struct StatusWording {
    const char* title;
    const char* wanLabel;
    const char* connectionTimeLabel;
};

std::string WanWord(PageLanguage language, WanType wan) {
    const bool japanese = language == PageLanguage::Japanese;
    switch (wan) {
        case WanType::DialUp:
            return japanese ? Utf8ToSjis("ダイヤルアップ IP") : "Dial-up IP";
        case WanType::Pppoe:
            return "PPPoE";
        case WanType::Pptp:
            return "PPTP";
        case WanType::Static:
            return japanese ? Utf8ToSjis("静的IP") : "Static IP";
        case WanType::None:
            break;
    }
    return "-";
}

std::string ModemRow(const RouterSimulatorOptions& options, const std::string& word) {
    ModemLabel label = options.modemLabel;
    if (label == ModemLabel::Auto) {
        label = options.language == PageLanguage::Japanese ? ModemLabel::JapaneseBlank : ModemLabel::English;
    }
    switch (label) {
        case ModemLabel::JapaneseBlank:
            return Utf8ToSjis("<TR><TD>ダイヤルアップ モデム \n</TD><TD ALIGN=CENTER>") + word +
                   "</TD></TR>\n";
        case ModemLabel::JapaneseNoBlank:
            return Utf8ToSjis("<TR><TD>ダイヤルアップ モデム\n</TD><TD ALIGN=CENTER>") + word +
                   "</TD></TR>\n";
        default:
            return "<TR><TD>Dial-up Modem</TD><TD ALIGN=CENTER>" + word + "</TD></TR>\n";
    }
}

const char* ModemWord(SimulatedLine::Phase phase) {
    switch (phase) {
        case SimulatedLine::Phase::Dialing:
            return "Dialing";
        case SimulatedLine::Phase::Hanging:
            return "Hanging";
        default:
            return "Ready";
    }
}

// The command buttons: commands ending in an apostrophe close a script string,
// as in the router's own pages; the others are plain links.
std::string CommandLinks(const RouterSimulatorOptions& options) {
    std::string links;
    for (int entry : options.embeddedCommands) {
        if (entry < 0 || entry >= static_cast<int>(RouterClient::dialCommands.size())) {
            continue;
        }
        std::string command(RouterClient::dialCommands[entry]);
        if (command.ends_with('\'')) {
            links += "<INPUT TYPE=BUTTON VALUE=\"" + std::to_string(entry) + "\" onClick=\"location.href='/" +
                     command + "\">\n";
        } else {
            links += "<A HREF=\"/" + command + "\">" + std::to_string(entry) + "</A>\n";
        }
    }
    return links;
}

}  // namespace

std::string TopPageBody() {
    return "<HTML><HEAD><TITLE>Router</TITLE></HEAD>\n"
           "<FRAMESET ROWS=\"48,*\"><FRAME SRC=\"/banner.htm\"><FRAME SRC=\"/status.htm\"></FRAMESET>\n"
           "</HTML>\n";
}

std::string BannerPageBody(const RouterSimulatorOptions& options) {
    std::string page = "<HTML><HEAD><TITLE>Banner</TITLE></HEAD><BODY>\n";
    if (options.bannerVariant == 2) {
        page += "<CENTER><IMG SRC=/bnimg.gif ALIGN=ABSMIDDLE>&nbsp;" + options.model + "</CENTER>\n";
    } else {
        page += "<CENTER><IMG SRC=sp.gif BORDER=0 WIDTH=8 HEIGHT=32 ALIGN=TEXTBOTTOM>" + options.model +
                "</CENTER>\n";
    }
    return page + "</BODY></HTML>\n";
}

std::string StatusPageBody(const RouterSimulatorOptions& options, SimulatedLine::Phase phase,
                           std::chrono::seconds upFor) {
    const bool japanese = options.language == PageLanguage::Japanese;
    const bool up = phase == SimulatedLine::Phase::Up || phase == SimulatedLine::Phase::Hanging;
    const std::string connectionTime = up ? FormatRunningTime(upFor) : "-";
    std::string page = japanese ? Utf8ToSjis("<HTML><HEAD><TITLE>状態</TITLE></HEAD><BODY>\n")
                                : "<HTML><HEAD><TITLE>Status</TITLE></HEAD><BODY>\n";
    page += "<TABLE BORDER=1>\n";
    page += (japanese ? Utf8ToSjis("<TR><TD>WAN 接続方式</TD><TD ALIGN=CENTER>")
                      : "<TR><TD>WAN Type</TD><TD ALIGN=CENTER>") +
            WanWord(options.language, options.wanType) + "</TD></TR>\n";
    page += (japanese ? Utf8ToSjis("<TR><TD>接続時間</TD><TD ALIGN=CENTER>")
                      : "<TR><TD>Connection Time</TD><TD ALIGN=CENTER>") +
            connectionTime + "</TD></TR>\n";
    page += ModemRow(options, ModemWord(phase));
    page += "</TABLE>\n";
    page += CommandLinks(options);
    return page + "</BODY></HTML>\n";
}

std::string ErrorPageBody(int status) {
    return "<HTML><BODY>" + std::to_string(status) + " " + ReasonPhrase(status) + "</BODY></HTML>\n";
}

std::string ReasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 303:
            return "See Other";
        case 401:
            return "Unauthorized";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

std::string FormatRunningTime(std::chrono::seconds upFor) {
    const long long total = upFor.count() < 0 ? 0 : upFor.count();
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    return text;
}

}  // namespace velmo
