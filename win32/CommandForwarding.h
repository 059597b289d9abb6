// The command line's platform side: the arguments, the one line printed on
// the parent's console, and the hand-over of a command to the tool running
// for the same settings folder.
//
// The second start makes a message-only reply window and sends WM_COPYDATA
// (tag kCommandCopyDataTag, the body of EncodeRequest naming the reply
// window, which is also the message's sender, and a random token) to the
// running tool's instance window. The running tool carries the command out
// and returns at once; when the window has shown the result it posts
// kCommandReplyMessage to the reply window (EncodeReply: the token, then the
// result). The reply window takes only a reply with its own token. The second
// start pumps its messages until then, up to its time-out, or until the running
// process has ended. A tool still starting answers Starting, and the request is
// sent again until it takes it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/CRouterStatusDlg.h"
#include "app/ToolCommand.h"
#include "win32/Messages.h"
#include "win32/SingleInstance.h"

namespace velmo {

// The arguments after the program's name, as UTF-8.
std::vector<std::string> CommandArguments();

// Writes `text` to standard output when it leads somewhere (a file, a pipe),
// else to the parent's console when there is one.
void PrintText(const std::string& text);

// The second start's side. Nothing when no tool runs for `key` or the running
// one did not take the command (it is closing); else its answer, NoAnswer when
// none came within `timeoutMs`, Closing when it took the command and ended
// before its result. After /exit it also waits for the process to end.
std::optional<CommandResult> ForwardCommand(const std::string& key, ToolCommand command, DWORD timeoutMs);

// The running tool's side: a WM_COPYDATA that reached its instance window.
// Done when the request was well formed and was handed to `dialog`; anything
// else is refused.
InstanceAnswer AcceptForwardedCommand(WPARAM sender, const COPYDATASTRUCT* data, CRouterStatusDlg& dialog);

}  // namespace velmo
