#include "app/ToolCommand.h"

#include <string_view>

namespace velmo {

namespace {

// No switch is longer; a longer argument is refused before it is looked at.
constexpr std::size_t kLongestArgument = 32;
constexpr std::string_view kRunningOnly = "running-only";

struct Switch {
    std::string_view name;
    ToolCommand command;
};

constexpr std::array<Switch, 8> kSwitches = {{
    {"connect", ToolCommand::Connect},
    {"disconnect", ToolCommand::Disconnect},
    {"capture", ToolCommand::Capture},
    {"refresh", ToolCommand::Refresh},
    {"status", ToolCommand::Status},
    {"show", ToolCommand::None},
    {"exit", ToolCommand::Exit},
    {"help", ToolCommand::Help},
}};

// The argument as an error message may quote it: printable ASCII only.
std::string Quoted(const std::string& argument) {
    std::string shown;
    for (const char c : argument) {
        shown += c >= ' ' && c <= '~' ? c : '?';
    }
    return "\"" + shown + "\"";
}

// The switch's name without its "/", "-" or "--", in lower case; empty when
// the argument is no switch.
std::string SwitchName(const std::string& argument) {
    std::string_view name = argument;
    if (name.starts_with("--")) {
        name.remove_prefix(2);
    } else if (name.starts_with("-") || name.starts_with("/")) {
        name.remove_prefix(1);
    } else {
        return {};
    }
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// One argument read into `line`; false with the error set.
bool ReadArgument(const std::string& argument, CommandLine& line, bool& haveCommand) {
    if (argument.size() > kLongestArgument) {
        line.error = "argument too long (" + std::to_string(argument.size()) + " characters)";
        return false;
    }
    const std::string name = SwitchName(argument);
    if (name == kRunningOnly && !line.runningOnly) {
        line.runningOnly = true;
        return true;
    }
    for (const Switch& option : kSwitches) {
        if (name == option.name) {
            if (haveCommand) {
                line.error = "one command per start: " + Quoted(argument) + " is a second one";
                return false;
            }
            line.command = option.command;
            haveCommand = true;
            return true;
        }
    }
    line.error = "unknown argument " + Quoted(argument);
    return false;
}

constexpr std::uint32_t kRequestMark = 0x434D4C56;  // "VLMC"
constexpr std::uint32_t kRequestVersion = 2;

void PutWord(unsigned char* at, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        at[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

std::uint64_t GetWord(const unsigned char* at, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes; i-- > 0;) {
        value = (value << 8) | at[i];
    }
    return value;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool haveCommand = false;
    for (const std::string& argument : arguments) {
        if (!ReadArgument(argument, line, haveCommand)) {
            return CommandLine{ToolCommand::None, false, line.error};
        }
    }
    if (line.runningOnly && line.command != ToolCommand::Status) {
        line = CommandLine{ToolCommand::None, false, "--running-only goes with /status only"};
    }
    return line;
}

std::string UsageText() {
    return "usage: VelmoTool.exe [/connect | /disconnect | /capture | /refresh | /status [--running-only]\r\n"
           "                      | /show | /exit | /help]\r\n"
           "  one command per start, handed to the tool running in this folder;\r\n"
           "  exit code 0 done, 1 router not answering or command failed, 2 bad arguments, 3 not running\r\n";
}

std::string ResultLine(const CommandResult& result) {
    switch (result.outcome) {
        case Outcome::Connected:
            return result.value >= 0 ? "connected " + RunningTimeText(result.value) : "connected";
        case Outcome::Disconnected:
            return "disconnected";
        case Outcome::NotAnswering:
            return "router not answering";
        case Outcome::NoCommand:
            return "command failed: no dial command known for this router";
        case Outcome::Captured:
            return "captured " + std::to_string(result.value) +
                   (result.value == 1 ? " new entry" : " new entries");
        case Outcome::LogFileFailed:
            return result.value == static_cast<int>(LogFileError::NotOpened) ? "log file could not be opened"
                   : result.value == static_cast<int>(LogFileError::NotRead)
                       ? "log file could not be read"
                       : "log file could not be written";
        case Outcome::Refreshed:
            return "refreshed";
        case Outcome::Exiting:
            return "exited";
        case Outcome::NotRunning:
            return "not running";
        case Outcome::Closing:
            return "the running tool is closing";
        case Outcome::NoAnswer:
            break;
    }
    return "no answer from the running tool";
}

int ExitCode(ToolCommand command, const CommandResult& result) {
    switch (result.outcome) {
        case Outcome::Connected:
            return command == ToolCommand::Disconnect ? 1 : 0;
        case Outcome::Disconnected:
            return command == ToolCommand::Connect ? 1 : 0;
        case Outcome::Captured:
        case Outcome::Refreshed:
        case Outcome::Exiting:
            return 0;
        case Outcome::NotRunning:
            return 3;
        default:
            return 1;
    }
}

CommandResult StatusResult(const StatusReading& reading) {
    if (!reading.fetched) {
        return {Outcome::NotAnswering, 0};
    }
    if (reading.status.connected) {
        return {Outcome::Connected, RunningTimeSeconds(reading.status.connectionTime)};
    }
    return {Outcome::Disconnected, 0};
}

std::optional<CommandResult> CommandNotSent(const CommandReading& reading) {
    if (reading.sent) {
        return std::nullopt;
    }
    const int learned = reading.refresh.status.dialCommandIndex;
    const bool known = learned >= 0 && learned <= 5;
    // Known but not sent: the command's own request got no answer.
    return CommandResult{
        reading.refresh.status.fetched && !known ? Outcome::NoCommand : Outcome::NotAnswering, 0};
}

CommandResult CaptureOutcome(const CaptureResult& result) {
    if (!result.written) {
        return result.error == LogFileError::None
                   ? CommandResult{Outcome::Closing, 0}  // cut short
                   : CommandResult{Outcome::LogFileFailed, static_cast<std::int64_t>(result.error)};
    }
    if (result.failureLine) {
        return {Outcome::NotAnswering, 0};
    }
    return {Outcome::Captured, static_cast<std::int64_t>(result.newEntries)};
}

std::array<unsigned char, kRequestBytes> EncodeRequest(const CommandRequest& request) {
    std::array<unsigned char, kRequestBytes> body{};
    PutWord(body.data(), kRequestMark, 4);
    PutWord(body.data() + 4, kRequestVersion, 4);
    PutWord(body.data() + 8, static_cast<std::uint32_t>(request.command), 4);
    PutWord(body.data() + 16, request.replyWindow, 8);
    PutWord(body.data() + 24, request.token, 8);
    return body;
}

std::optional<CommandRequest> DecodeRequest(const void* bytes, std::size_t size) {
    if (bytes == nullptr || size != kRequestBytes) {
        return std::nullopt;
    }
    const auto* body = static_cast<const unsigned char*>(bytes);
    const std::uint64_t command = GetWord(body + 8, 4);
    if (GetWord(body, 4) != kRequestMark || GetWord(body + 4, 4) != kRequestVersion ||
        GetWord(body + 12, 4) != 0 || command < static_cast<std::uint32_t>(ToolCommand::Connect) ||
        command > static_cast<std::uint32_t>(ToolCommand::Exit)) {
        return std::nullopt;
    }
    return CommandRequest{static_cast<ToolCommand>(command), GetWord(body + 16, 8), GetWord(body + 24, 8)};
}

CommandReply EncodeReply(std::uint64_t token, const CommandResult& result) {
    return {token,
            (static_cast<std::uint64_t>(result.value) << 8) | static_cast<std::uint8_t>(result.outcome)};
}

std::optional<CommandResult> DecodeReply(std::uint64_t awaitedToken, const CommandReply& reply) {
    const std::uint64_t outcome = reply.result & 0xFF;
    if (reply.token != awaitedToken || outcome > static_cast<std::uint64_t>(Outcome::NoAnswer)) {
        return std::nullopt;
    }
    // The value comes back with its sign: the shift of a signed word keeps it.
    return CommandResult{static_cast<Outcome>(outcome), static_cast<std::int64_t>(reply.result) >> 8};
}

}  // namespace velmo
