// The tool's command line, for scripts and the Task Scheduler: which command
// a start asks for, the request a second start hands to the running tool,
// and the one line and exit code a command ends with. Pure: the Windows front
// end reads the arguments, carries the request and prints the line.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "history/RunningTime.h"
#include "router/RouterReadings.h"
#include "routerlog/LogCapture.h"

namespace velmo {

// None is a start without arguments (and /show, which starts as one does).
enum class ToolCommand : std::uint32_t { None, Connect, Disconnect, Capture, Refresh, Status, Exit, Help };

struct CommandLine {
    ToolCommand command = ToolCommand::None;
    bool runningOnly = false;  // /status --running-only: answer "not running" instead of reading the router
    std::string error;         // not empty: bad arguments, nothing is carried out
};

// Reads the arguments after the program's name. A switch begins with "/",
// "-" or "--" and is matched in any case; one command per start.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text (ASCII, CR LF lines).
std::string UsageText();

// What a command came to.
enum class Outcome : std::uint32_t {
    Connected,      // value: the line's running time in seconds, or -1 when it did not read
    Disconnected,   //
    NotAnswering,   // the router did not answer
    NoCommand,      // the router answered but offers no known dial command
    Captured,       // value: the new entries written to the log file
    LogFileFailed,  // value: the LogFileError
    Refreshed,      // the running tool refreshed (/refresh answers with the state instead)
    Exiting,        // the running tool is closing on request
    NotRunning,     // no tool runs for this folder
    Closing,        // the running tool is closing and carried nothing out
    NoAnswer,       // the running tool did not answer in time
};

struct CommandResult {
    Outcome outcome = Outcome::NoAnswer;
    std::int64_t value = 0;

    friend bool operator==(const CommandResult&, const CommandResult&) = default;
};

// The one line a command prints: "connected 1:02:03", "disconnected", ...
std::string ResultLine(const CommandResult& result);
// 0 done, 1 the router did not answer or the command failed, 3 not running.
int ExitCode(ToolCommand command, const CommandResult& result);
inline constexpr int kBadArgumentsExit = 2;

// The line as a reading of the status page shows it.
CommandResult StatusResult(const StatusReading& reading);
// A command job that sent nothing: the router did not answer, or it answered
// without naming a dial command this tool knows. Nothing when it was sent.
std::optional<CommandResult> CommandNotSent(const CommandReading& reading);
// The result of a capture into the log file.
CommandResult CaptureOutcome(const CaptureResult& result);

// Where the running tool sends a forwarded command's result (it is called on
// the window's thread, once).
using CommandAnswer = std::function<void(const CommandResult&)>;

// How long the running tool and the windowless run wait for the line to
// change after 接続 or 切断 was sent; within the 30 s a second start waits.
inline constexpr std::uint32_t kLineChangeWaitMs = 20000;

// The request a second start hands to the running tool: a fixed-size body
// with a mark and version, the command, a reserved zero, the window that
// waits for the answer (a handle as a number) and a random token. A body of
// any other size, mark, version or reserved word, or with a command the
// running tool does not take (none, /help), decodes to nothing and is ignored.
struct CommandRequest {
    ToolCommand command = ToolCommand::None;
    std::uint64_t replyWindow = 0;
    std::uint64_t token = 0;
};
inline constexpr std::size_t kRequestBytes = 32;
std::array<unsigned char, kRequestBytes> EncodeRequest(const CommandRequest& request);
std::optional<CommandRequest> DecodeRequest(const void* bytes, std::size_t size);

// The running tool's answer, two words that fit one posted message: the
// request's token, which only the requester and the running tool know, and
// the result (the outcome in the low byte, the value above it). A reply whose
// token is not the one awaited, or whose outcome is unknown, decodes to nothing,
// so no other program can answer in the running tool's place.
struct CommandReply {
    std::uint64_t token = 0;
    std::uint64_t result = 0;
};
CommandReply EncodeReply(std::uint64_t token, const CommandResult& result);
std::optional<CommandResult> DecodeReply(std::uint64_t awaitedToken, const CommandReply& reply);

}  // namespace velmo
