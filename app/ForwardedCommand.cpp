// A command a second start handed to the running tool: carried out as its
// button or menu item would be, and answered once the window has shown its
// result. The window's thread never waits for the answer to arrive anywhere:
// the answer is kept with the job and given from its delivery.
#include <utility>

#include "app/CRouterStatusDlg.h"
#include "history/RunningTime.h"

namespace velmo {

namespace {

// Every waiter hears the one result, once.
void AnswerAll(std::vector<CommandAnswer>& waiters, const CommandResult& result) {
    std::vector<CommandAnswer> answering = std::move(waiters);
    waiters.clear();
    for (CommandAnswer& answer : answering) {
        answer(result);
    }
}

}  // namespace

void CRouterStatusDlg::OnForwardedCommand(ToolCommand command, CommandAnswer answer) {
    HandleForwardedCommand(command, std::move(answer));
    ApplyTimers();
}

// At most one forwarded capture and one forwarded refresh are under way: a
// further one joins it and hears its result, so a script in a loop neither
// grows the queue nor cuts the polls short again and again.
void CRouterStatusDlg::HandleForwardedCommand(ToolCommand command, CommandAnswer answer) {
    switch (command) {
        case ToolCommand::Connect:
        case ToolCommand::Disconnect:
            StartLineCommand(command == ToolCommand::Connect ? LineCommand::Connect : LineCommand::Disconnect,
                             std::move(answer));
            return;
        case ToolCommand::Capture:
            captureWaiters_.push_back(std::move(answer));
            if (captureWaiters_.size() == 1) {
                // menu item 32776
                CaptureSystemLog(JobOrigin::User,
                                 [this](const CommandResult& result) { AnswerAll(captureWaiters_, result); });
            }
            return;
        case ToolCommand::Refresh:
            refreshWaiters_.push_back(std::move(answer));
            if (refreshWaiters_.size() == 1) {
                // menu item 表示更新
                RefreshAll(JobOrigin::User,
                           [this](const CommandResult& result) { AnswerAll(refreshWaiters_, result); });
            }
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
    AnswerAll(lineWaiters_, result);
}

}  // namespace velmo
