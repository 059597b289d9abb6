#include "app/CommandOnce.h"

#include "app/CaptureLog.h"

#include "base/FileSystem.h"
#include "history/ConnectionRecord.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace velmo {

namespace {

constexpr std::uint32_t kLinePollMs = 1000;

// The command is written down beside the record before it is sent and
// marked sent after, so the tool's next start knows the line's change as the
// tool's own. A record that cannot be written is the window's to report; the
// command goes ahead.
void WriteDownCommand(ConnectionRecord& record, KeptLine& kept, bool sent) {
    kept.command.sent = sent;
    std::string reason;
    record.Write({}, kept, reason);
}

CommandResult LineCommandOnce(const RouterClient& client, Clock& clock, bool dial,
                              const std::string& folder) {
    ConnectionRecord record(folder);
    KeptLine kept = record.Resume();
    kept.command = SentCommand{dial ? LineCommand::Connect : LineCommand::Disconnect, clock.Now(),
                               clock.Tick(), true, false};
    WriteDownCommand(record, kept, false);
    const LineCommandReading done = ReadThenCommand(client, clock, dial);
    WriteDownCommand(record, kept, !done.alreadyUp);
    if (done.alreadyUp) {
        return StatusResult(done.command.refresh.status);
    }
    if (const auto notSent = CommandNotSent(done.command)) {
        return *notSent;
    }
    RouterClient learned = client;
    learned.dialCommandIndex = done.command.refresh.status.dialCommandIndex;
    const Outcome wanted = dial ? Outcome::Connected : Outcome::Disconnected;
    const std::uint64_t since = clock.Tick();
    for (;;) {
        const CommandResult line = StatusResult(ReadStatusPage(learned));
        if (line.outcome == wanted || line.outcome == Outcome::NotAnswering ||
            clock.Tick() - since >= kLineChangeWaitMs) {
            return line;
        }
        clock.Sleep(kLinePollMs);
    }
}

}  // namespace

LineReading ReadingMoment(Clock& clock, std::uint64_t askedTick) {
    LineReading moment;
    moment.askedTick = askedTick;
    moment.tick = clock.Tick();
    moment.at = clock.Now();
    return moment;
}

LineReading WithStatus(LineReading moment, const StatusReading& reading) {
    moment.answered = reading.fetched;
    moment.connected = reading.status.connected;
    moment.connectionTime = reading.status.connectionTime;
    return moment;
}

LineCommandReading ReadThenCommand(const RouterClient& client, Clock& clock, bool dial) {
    LineCommandReading done;
    const std::uint64_t asked = clock.Tick();
    done.command.refresh = ReadAllPages(client, clock);
    done.moment = ReadingMoment(clock, asked);
    const StatusReading& status = done.command.refresh.status;
    done.alreadyUp =
        dial && status.fetched && status.status.connected && !status.status.connectionTime.empty();
    if (done.alreadyUp) {
        return done;
    }
    RouterClient learned = client;
    learned.dialCommandIndex = status.dialCommandIndex;
    done.command.sent = dial ? learned.SendDialCommand() : learned.SendHangUpCommand();
    return done;
}

CommandResult RunCommandOnce(ToolCommand command, const RouterClient& client,
                             const LogCaptureSettings& capture, Clock& clock, const std::string& folder) {
    switch (command) {
        case ToolCommand::Connect:
        case ToolCommand::Disconnect:
            return LineCommandOnce(client, clock, command == ToolCommand::Connect, folder);
        case ToolCommand::Capture:
            return CaptureOutcome(CaptureAndIndexLog(client, capture, clock));
        case ToolCommand::Status:
            return StatusResult(ReadStatusPage(client));
        default:
            return {Outcome::NotRunning, 0};
    }
}

CommandResult RunCommandOnceHere(ToolCommand command, Clock& clock) {
    ToolSettings settings;
    const std::string folder = CurrentDirectoryWithSeparator();
    LoadSettings(settings, folder + TableString(IDS_APPNAME) + ".ini", clock);
    RouterClient client;
    client.routerAddress = settings.RutorAddress;
    client.rootPassword = settings.RootPasswd;
    LogCaptureSettings capture;
    capture.fileName = settings.UpdateLogFileName;
    capture.filters = LogFilters{settings.UpdateLogRecordLogIn, settings.UpdateLogRecordLogOut,
                                 settings.UpdateLogRecordSubInfo};
    return RunCommandOnce(command, client, capture, clock, folder);
}

}  // namespace velmo
