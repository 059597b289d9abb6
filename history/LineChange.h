// Whose doing a change of the line is: the one classification the record and
// the line balloons share, so the two never tell different stories.
#pragma once

#include <string>

namespace velmo {

// A command of the tool that is bringing the line up (接続) or down (切断, the
// automatic hang-up), from its refresh to the end of its follow-up window.
enum class LineCommand { None, Connect, Disconnect, AutoDisconnect };

// How a line session ended.
enum class EndCause {
    User,    // 切断: hung up by the user
    Auto,    // 自動切断: hung up by the auto-disconnect
    Drop,    // 回線断: went down by itself while the tool watched
    Unseen,  // 不明: ended while the tool could not see it
};

// The record's word for `cause` (CP932).
const std::string& CauseWord(EndCause cause);
// The cause as the window and its report show it (CP932), in the language the
// tool speaks; the record file keeps CauseWord whatever the language.
const std::string& CauseText(EndCause cause);
// The cause a record's word names; false for any other text.
bool CauseFromWord(const std::string& word, EndCause& cause);

// True when the line turning up (`nowConnected`) or down is what `command` asked for.
bool IsCommandsOwnChange(LineCommand command, bool nowConnected);

// Why a line that was up is found down: the command's own hang-up, else a
// drop when the tool watched it all along (`seenThroughout`), else unseen.
EndCause DownCause(LineCommand command, bool seenThroughout);

// True for the ends no command of the tool caused: the ones that are news.
inline bool IsNews(EndCause cause) {
    return cause == EndCause::Drop || cause == EndCause::Unseen;
}

}  // namespace velmo
