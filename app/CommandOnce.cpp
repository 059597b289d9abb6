#include "app/CommandOnce.h"

#include "base/FileSystem.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace velmo {

namespace {

constexpr std::uint32_t kLinePollMs = 1000;

CommandResult LineCommandOnce(const RouterClient& client, Clock& clock, bool dial) {
    const CommandReading reading = ConnectCommand(client, clock, dial);
    if (const auto notSent = CommandNotSent(reading)) {
        return *notSent;
    }
    RouterClient learned = client;
    learned.dialCommandIndex = reading.refresh.status.dialCommandIndex;
    const Outcome wanted = dial ? Outcome::Connected : Outcome::Disconnected;
    const std::uint32_t since = clock.TickCount();
    for (;;) {
        const CommandResult line = StatusResult(ReadStatusPage(learned));
        if (line.outcome == wanted || line.outcome == Outcome::NotAnswering ||
            clock.TickCount() - since >= kLineChangeWaitMs) {
            return line;
        }
        clock.Sleep(kLinePollMs);
    }
}

}  // namespace

CommandResult RunCommandOnce(ToolCommand command, const RouterClient& client,
                             const LogCaptureSettings& capture, Clock& clock) {
    switch (command) {
        case ToolCommand::Connect:
        case ToolCommand::Disconnect:
            return LineCommandOnce(client, clock, command == ToolCommand::Connect);
        case ToolCommand::Capture:
            return CaptureOutcome(CaptureSystemLog(client, capture, clock));
        case ToolCommand::Status:
            return StatusResult(ReadStatusPage(client));
        default:
            return {Outcome::NotRunning, 0};
    }
}

CommandResult RunCommandOnceHere(ToolCommand command, Clock& clock) {
    ToolSettings settings;
    LoadSettings(settings, CurrentDirectoryWithSeparator() + TableString(IDS_APPNAME) + ".ini", clock);
    RouterClient client;
    client.routerAddress = settings.RutorAddress;
    client.rootPassword = settings.RootPasswd;
    LogCaptureSettings capture;
    capture.fileName = settings.UpdateLogFileName;
    capture.filters = LogFilters{settings.UpdateLogRecordLogIn, settings.UpdateLogRecordLogOut,
                                 settings.UpdateLogRecordSubInfo};
    return RunCommandOnce(command, client, capture, clock);
}

}  // namespace velmo
