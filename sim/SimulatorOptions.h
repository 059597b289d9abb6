// What the simulated router looks like and how it misbehaves.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

enum class PageLanguage { Japanese, English };

// The WAN-type word on the status page; None writes no such word.
enum class WanType { None, DialUp, Pppoe, Pptp, Static };

// The label of the modem cell: Japanese with a blank before the line feed,
// Japanese without it, or English. Auto follows the page language (Japanese
// with the blank).
enum class ModemLabel { Auto, JapaneseBlank, JapaneseNoBlank, English };

// Which login forms the menu page holds, and in which order.
enum class LoginFormVariant { Get, Post, BothGetFirst, BothPostFirst };

// A hidden field of the login form. Value-first markup is
// <INPUT TYPE=HIDDEN VALUE="v" NAME=n>, name-first <INPUT TYPE=HIDDEN NAME=n VALUE=v>.
struct HiddenField {
    std::string name;
    std::string value;
    bool valueFirst = false;
    bool afterPassword = false;  // stands after the password input
};

// A fault served instead of (or around) the normal answer of one path.
struct Fault {
    enum class Kind {
        None,
        Silent,      // accept the connection and never answer
        Delay,       // answer normally after `value` ms
        Status,      // answer with status code `value`
        CloseAfter,  // announce the whole body, send `value` bytes of it, close
        BodySize,    // a body of exactly `value` bytes
    };
    Kind kind = Kind::None;
    long value = 0;
};

// "silent", "delay:MS", "status:CODE", "close:N", "size:N"; false when malformed.
bool ParseFault(std::string_view text, Fault& fault);

struct RouterSimulatorOptions {
    PageLanguage language = PageLanguage::Japanese;
    WanType wanType = WanType::DialUp;
    ModemLabel modemLabel = ModemLabel::Auto;
    // The model line of the banner page (CP932).
    std::string model = "(VR-2400 Ver 2.10)";
    // 1: the "sp.gif" banner markup, 2: the "bnimg.gif" one.
    int bannerVariant = 1;
    bool connected = false;
    // Entries of RouterClient::dialCommands written into the status page.
    std::vector<int> embeddedCommands;
    // How long dialing and hanging up take.
    std::chrono::milliseconds commandDelay{300};

    LoginFormVariant loginForm = LoginFormVariant::Get;
    // The name of the password input; the tool reads exactly 3 characters of it.
    std::string passwordFieldName = "PWD";
    // The login succeeds only when every one of these comes back with its value.
    std::vector<HiddenField> hiddenFields = {{"RC", "@", true, false}, {"SE", "1", false, true}};
    // The administrator password (CP932).
    std::string password = "admin";
    // The system log page is shown without a login.
    bool logAlwaysReadable = false;
};

}  // namespace velmo
