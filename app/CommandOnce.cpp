#include "app/CommandOnce.h"

#include "app/CaptureLog.h"
#include "app/LineWatch.h"

#include "base/FileSystem.h"
#include "history/ConnectionRecord.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace velmo {

namespace {

constexpr std::uint32_t kLinePollMs = 1000;

// The line's owner as the window has it, between two runs of the window:
// what this run reads and does is kept beside the record as the window
// keeps it, so the window's next start knows the change as the tool's own
// and the sessions around it. A record that cannot be written is the
// window's to report; the command goes ahead.
class KeptLineRun {
  public:
    explicit KeptLineRun(const std::string& folder) : record_(folder), state_(ResumeLine(record_.Resume())) {}

    LineState& State() { return state_; }

    void Note(const LineReading& reading, bool commandMayOwn = true) {
        Write(NoteReading(state_, reading, limits_, commandMayOwn).ended);
    }

    void Write(const std::vector<Session>& ended = {}) {
        std::string reason;
        record_.Write(ended, state_.kept, reason);
    }

  private:
    ConnectionRecord record_;
    LineState state_;
    LineLimits limits_{kLinePollMs, kLinePollMs * 15, kLineChangeWaitMs};
};

CommandResult LineCommandOnce(const RouterClient& client, Clock& clock, bool dial,
                              const std::string& folder) {
    KeptLineRun line(folder);
    const LineCommand command = dial ? LineCommand::Connect : LineCommand::Disconnect;
    const std::uint64_t flight =
        PlanCommand(line.State(), command, clock.Now(), clock.Tick(), clock.BootId()).flight;
    line.Write();  // written down before it is sent
    const LineCommandReading done = ReadThenCommand(client, clock, dial);
    const StatusReading& before = done.command.refresh.status;
    line.Note(WithStatus(done.moment, before), false);
    const bool asAsked =
        before.fetched && !before.status.connectionTime.empty() && before.status.connected == dial;
    NoteCommandDone(line.State(), flight, !done.alreadyUp, done.command.sent, clock.Tick(), asAsked);
    line.Write();
    if (done.alreadyUp) {
        return StatusResult(before);
    }
    if (const auto notSent = CommandNotSent(done.command)) {
        return *notSent;
    }
    RouterClient learned = client;
    learned.dialCommandIndex = before.dialCommandIndex;
    for (;;) {
        clock.Sleep(kLinePollMs);
        const std::uint64_t asked = clock.Tick();
        const StatusReading reading = ReadStatusPage(learned);
        line.Note(WithStatus(ReadingMoment(clock, asked), reading));
        if (line.State().inFlight == LineCommand::None) {
            return StatusResult(reading);
        }
    }
}
}  // namespace

LineReading ReadingMoment(Clock& clock, std::uint64_t askedTick) {
    LineReading moment;
    moment.askedTick = askedTick;
    moment.tick = clock.Tick();
    moment.boot = clock.BootId();
    moment.at = clock.Now();
    return moment;
}

LineReading WithStatus(LineReading moment, const StatusReading& reading) {
    moment.answered = reading.fetched;
    moment.connected = reading.status.connected;
    moment.connectionTime = reading.status.connectionTime;
    return moment;
}

LineCommandReading ReadThenCommand(const RouterClient& client, Clock& clock, bool dial,
                                   const std::function<bool()>& stillAsked) {
    LineCommandReading done;
    if (!stillAsked()) {
        done.dropped = true;
        return done;
    }
    const std::uint64_t asked = clock.Tick();
    done.command.refresh = ReadAllPages(client, clock);
    done.moment = ReadingMoment(clock, asked);
    const StatusReading& status = done.command.refresh.status;
    done.alreadyUp =
        dial && status.fetched && status.status.connected && !status.status.connectionTime.empty();
    if (done.alreadyUp) {
        return done;
    }
    if (!stillAsked()) {
        done.dropped = true;
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
