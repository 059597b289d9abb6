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
};

}  // namespace velmo
