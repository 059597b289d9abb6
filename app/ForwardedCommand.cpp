// A command a second start handed to the running tool: carried out as its
// button or menu item would be, and answered once the window has shown its
// result. The window's thread never waits for the answer to arrive anywhere:
// the answer is kept with the job and given from its delivery.
#include <utility>

#include "app/CRouterStatusDlg.h"
#include "history/RunningTime.h"

namespace velmo {

void CRouterStatusDlg::OnForwardedCommand(ToolCommand command, CommandAnswer answer) {
    switch (command) {
        case ToolCommand::Connect:
        case ToolCommand::Disconnect:
            StartLineCommand(command == ToolCommand::Connect ? LineCommand::Connect : LineCommand::Disconnect,
                             std::move(answer));
            return;
        case ToolCommand::Capture:
            CaptureSystemLog(JobOrigin::User, std::move(answer));  // menu item 32776
            return;
        case ToolCommand::Refresh:
            RefreshAll(JobOrigin::User, std::move(answer));  // menu item 表示更新
            return;
        case ToolCommand::Status:
            answer(ShownLine());
            return;
        case ToolCommand::Exit:
            answer({Outcome::Exiting, 0});
            OnExit();  // button 1005: the close sequence follows
            return;
        default:
            return;  // never forwarded: the request is refused before it gets here
    }
}

CommandResult CRouterStatusDlg::ShownLine() const {
    if (line_.shownUp) {
        return {Outcome::Connected, RunningTimeSeconds(line_.runningTime)};
    }
    return {routerReachable ? Outcome::Disconnected : Outcome::NotAnswering, 0};
}

// Every forwarded 接続 or 切断 waiting for the line command in flight hears
// the same line: the change it asked for, the router gone silent, or the
// line as it stands when the wait is over.
void CRouterStatusDlg::AnswerLineWaiters(const CommandResult& result) {
    std::vector<CommandAnswer> waiters = std::move(lineWaiters_);
    lineWaiters_.clear();
    for (CommandAnswer& answer : waiters) {
        answer(result);
    }
}

}  // namespace velmo
