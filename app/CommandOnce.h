// A command of the command line run once without a window, when no tool runs
// for the settings folder: the same readings the window's jobs make, on the
// caller's thread, with the settings file of the current directory.
#pragma once

#include <functional>

#include "app/LineWatch.h"
#include "app/ToolCommand.h"
#include "base/Clock.h"
#include "router/RouterClient.h"
#include "routerlog/LogCapture.h"

namespace velmo {

// A line command's job: the full refresh (it learns the command pair and
// shows the line the command starts from), then the command once, unless
// it is a dial and the refresh shows the line up: then nothing is sent.
// `stillAsked` is asked before the refresh and again before the command: a
// command replaced meanwhile by the opposite one reads and sends nothing.
struct LineCommandReading {
    CommandReading command;
    bool alreadyUp = false;  // a dial found the line up and sent nothing
    bool dropped = false;    // replaced before it was sent: nothing was read or sent
    LineReading moment;      // the refresh's reading: when its job began and its status page arrived
};
LineCommandReading ReadThenCommand(
    const RouterClient& client, Clock& clock, bool dial,
    const std::function<bool()>& stillAsked = [] { return true; });

// The moment of a reading whose job began at `askedTick`, taken when its status page has arrived.
LineReading ReadingMoment(Clock& clock, std::uint64_t askedTick);
// `moment` with what `reading` showed of the line.
LineReading WithStatus(LineReading moment, const StatusReading& reading);

// /connect, /disconnect (through the line's owner kept beside the record in
// `folder`: written down first, then the refresh, the command, then the
// status page every second until the line has changed, at most
// kLineChangeWaitMs; every reading and ended session is kept as the window
// keeps them), /capture and /status. Any
// other command is "not running".
CommandResult RunCommandOnce(ToolCommand command, const RouterClient& client,
                             const LogCaptureSettings& capture, Clock& clock, const std::string& folder);

// The same with the router client and the log file of "Velmo tool.ini" in
// the current directory (read, never written).
CommandResult RunCommandOnceHere(ToolCommand command, Clock& clock);

}  // namespace velmo
