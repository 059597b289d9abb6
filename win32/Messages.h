// Every private window message of the tool, and the tag of a command handed
// over from a second start: one list, so no two share a number.
//
// The icon's message is the one the tool registers with the shell; the
// activation and the command's reply go between two processes of the tool,
// so their numbers stay as they are from version to version.
#pragma once

#include <windows.h>

namespace velmo {

// The notification-area icon's events (the icon's identifier, the mouse message).
inline constexpr UINT kTrayMessage = 2024;
// A second start asks the running tool to come up; answered with an InstanceAnswer.
inline constexpr UINT kActivateMessage = WM_APP + 1;
// The running tool's result of a handed-over command, to the second start's reply window.
inline constexpr UINT kCommandReplyMessage = WM_APP + 2;
// A job's worker: a job has ended and its result waits for the window's thread.
inline constexpr UINT kJobDoneMessage = WM_APP + 3;
// Posted by the main window to itself at the end of its start-up: once it
// arrives, the window is shown or hidden as the settings say.
inline constexpr UINT kStartedMessage = WM_APP + 4;
// The ログを見る window's reader handed something over.
inline constexpr UINT kLogViewWakeMessage = WM_APP + 5;
// The auto-disconnect question's answer to the main window: IDOK or IDCANCEL in wParam.
inline constexpr UINT kConfirmAnswerMessage = WM_APP + 6;

// WM_COPYDATA's tag of a handed-over command: "VLMC".
inline constexpr ULONG_PTR kCommandCopyDataTag = 0x434D4C56;

}  // namespace velmo
