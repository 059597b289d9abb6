#include "history/LineChange.h"

#include <array>

#include "base/CodePage.h"
#include "res/StringTable.h"
#include "res/resource.h"

namespace velmo {

namespace {

const std::array<std::string, 4>& Words() {
    // In the order of EndCause.
    static const std::array<std::string, 4> words = {Utf8ToSjis("切断"), Utf8ToSjis("自動切断"),
                                                     Utf8ToSjis("回線断"), Utf8ToSjis("不明")};
    return words;
}

}  // namespace

const std::string& CauseWord(EndCause cause) {
    return Words()[static_cast<std::size_t>(cause)];
}

const std::string& CauseText(EndCause cause) {
    static constexpr int kIds[] = {IDS_CAUSE_USER, IDS_CAUSE_AUTO, IDS_CAUSE_DROP, IDS_CAUSE_UNSEEN};
    return TableString(kIds[static_cast<std::size_t>(cause)]);
}

bool CauseFromWord(const std::string& word, EndCause& cause) {
    for (std::size_t i = 0; i < Words().size(); ++i) {
        if (Words()[i] == word) {
            cause = static_cast<EndCause>(i);
            return true;
        }
    }
    return false;
}

bool IsCommandsOwnChange(LineCommand command, bool nowConnected) {
    if (nowConnected) {
        return command == LineCommand::Connect;
    }
    return command == LineCommand::Disconnect || command == LineCommand::AutoDisconnect;
}

EndCause DownCause(LineCommand command, bool seenThroughout) {
    if (command == LineCommand::Disconnect) {
        return EndCause::User;
    }
    if (command == LineCommand::AutoDisconnect) {
        return EndCause::Auto;
    }
    return seenThroughout ? EndCause::Drop : EndCause::Unseen;
}

}  // namespace velmo
