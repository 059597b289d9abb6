// A command of the command line run once without a window, when no tool runs
// for the settings folder: the same readings the window's jobs make, on the
// caller's thread, with the settings file of the current directory.
#pragma once

#include "app/ToolCommand.h"
#include "base/Clock.h"
#include "router/RouterClient.h"
#include "routerlog/LogCapture.h"

namespace velmo {

// /connect, /disconnect (the refresh, the command, then the status page every
// second until the line has changed, at most kLineChangeWaitMs), /capture and
// /status. Any other command is "not running".
CommandResult RunCommandOnce(ToolCommand command, const RouterClient& client,
                             const LogCaptureSettings& capture, Clock& clock);

// The same with the router client and the log file of "Velmo tool.ini" in
// the current directory (read, never written).
CommandResult RunCommandOnceHere(ToolCommand command, Clock& clock);

}  // namespace velmo
