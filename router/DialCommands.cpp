// Learning the router's command pair from its status page, and sending it.
#include <array>

#include "base/CodePage.h"
#include "base/SjisText.h"
#include "router/RouterClient.h"

namespace velmo {
namespace {

// The WAN-type words of the status page and the index each selects, in the
// order they are looked for.
struct WanTypeWord {
    std::string word;
    int index;
};

const std::array<WanTypeWord, 6>& WanTypeWords() {
    static const std::array<WanTypeWord, 6> table = {{
        {Utf8ToSjis("ダイヤルアップ IP"), 0},
        {"Dial-up IP", 0},
        {"PPPoE", 2},
        {"PPTP", 4},
        {Utf8ToSjis("静的IP"), 6},
        {"Static IP", 6},
    }};
    return table;
}

}  // namespace

void RouterClient::LearnDialCommandIndex(const std::string& page) {
    // A dial-up string, else a hang-up string; the first entry in table order wins.
    for (int group : {0, 6}) {
        for (int i = 0; i < 6; ++i) {
            if (SjisContains(page, dialCommands[group + i])) {
                dialCommandIndex = i;
                return;
            }
        }
    }
    // No command string: the WAN type the page names.
    for (const WanTypeWord& wan : WanTypeWords()) {
        if (SjisContains(page, wan.word)) {
            dialCommandIndex = wan.index;
            return;
        }
    }
    // Nothing matched: a router once recognised stays recognised.
}

bool RouterClient::SendCommand(int entry) const {
    std::string dropped;
    return FetchPage(dropped, dialCommands[entry]);
}

bool RouterClient::SendDialCommand() const {
    // Outside 0-5 nothing is sent.
    return CommandKnown() && SendCommand(dialCommandIndex);
}

bool RouterClient::SendHangUpCommand() const {
    return CommandKnown() && SendCommand(6 + dialCommandIndex);
}

}  // namespace velmo
