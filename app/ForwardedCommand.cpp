// A command a second start handed to the running tool: carried out as its
// button or menu item would be, and answered once the window has shown its
// result. The window's thread never waits for the answer to arrive anywhere:
// the answer is kept with the job and given from its delivery.
#include <utility>

#include "app/CRouterStatusDlg.h"

namespace velmo {

void CRouterStatusDlg::OnForwardedCommand(ToolCommand command, CommandAnswer answer) {
    switch (command) {
        case ToolCommand::Connect:
        case ToolCommand::Disconnect:
            SubmitCommand(command == ToolCommand::Connect, std::move(answer));
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
    if (connected) {
        return {Outcome::Connected, RunningTimeSeconds(notifications_.connectionTime)};
    }
    return {routerReachable ? Outcome::Disconnected : Outcome::NotAnswering, 0};
}

void CRouterStatusDlg::AwaitLineChange(const CommandReading& reading, bool dial, CommandAnswer answer) {
    if (!answer) {
        return;
    }
    if (const auto notSent = CommandNotSent(reading)) {
        answer(*notSent);
        return;
    }
    // A second forwarded command replaces the first, which hears the line as it is.
    AnswerLineWait(ShownLine());
    lineAnswer_ = std::move(answer);
    lineWantUp_ = dial;
    lineSince_ = clock_.TickCount();
}

// Every status reading after the command (the follow-up window polls every
// few seconds) is looked at until the line has changed as asked, the router
// stops answering or the wait is over.
void CRouterStatusDlg::NoteLineChange(const StatusReading& reading) {
    if (!lineAnswer_) {
        return;
    }
    const CommandResult line = StatusResult(reading);
    const bool changed = line.outcome == (lineWantUp_ ? Outcome::Connected : Outcome::Disconnected);
    if (changed || line.outcome == Outcome::NotAnswering ||
        clock_.TickCount() - lineSince_ >= kLineChangeWaitMs) {
        AnswerLineWait(line);
    }
}

void CRouterStatusDlg::AnswerLineWait(const CommandResult& result) {
    if (lineAnswer_) {
        CommandAnswer answer = std::move(lineAnswer_);
        lineAnswer_ = nullptr;
        answer(result);
    }
}

}  // namespace velmo
