// The command line: the arguments read, the results' lines and exit codes,
// the request body a second start hands over, and the running window
// answering a forwarded 切断 once its follow-up poll shows the line down.
#include <gmock/gmock.h>

#include "app/Timers.h"
#include "tests/unit/app/WindowFixture.h"

namespace velmo {
namespace {

using C = ToolCommand;

TEST(ToolCommand, ReadsTheArgumentsAndRefusesAnythingElse) {
    const struct {
        std::vector<std::string> arguments;
        ToolCommand command;
        bool runningOnly;
        const char* error;  // the start of the message, "" when none
    } cases[] = {
        {{}, C::None, false, ""},
        {{"/connect"}, C::Connect, false, ""},
        {{"-DISCONNECT"}, C::Disconnect, false, ""},
        {{"--Capture"}, C::Capture, false, ""},
        {{"/refresh"}, C::Refresh, false, ""},
        {{"/status", "--running-only"}, C::Status, true, ""},
        {{"/show"}, C::None, false, ""},
        {{"/exit"}, C::Exit, false, ""},
        {{"-help"}, C::Help, false, ""},
        {{"/connect", "/disconnect"}, C::None, false, "one command per start: \"/disconnect\""},
        {{"/status", "/status"}, C::None, false, "one command per start"},
        {{"/connect", "/running-only"}, C::None, false, "--running-only goes with /status only"},
        {{"/status", "-running-only", "-running-only"}, C::None, false, "unknown argument"},
        {{"connect"}, C::None, false, "unknown argument \"connect\""},
        {{"/conect\x01"}, C::None, false, "unknown argument \"/conect?\""},
        {{"---connect"}, C::None, false, "unknown argument"},
        {{"/"}, C::None, false, "unknown argument"},
        {{""}, C::None, false, "unknown argument \"\""},
        {{"/" + std::string(9999, 'c')}, C::None, false, "argument too long (10000 characters)"},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(c.arguments);
        const std::string shown = c.arguments.empty() ? "" : c.arguments[0].substr(0, 20);
        EXPECT_EQ(line.command, c.command) << shown;
        EXPECT_EQ(line.runningOnly, c.runningOnly) << shown;
        EXPECT_THAT(line.error, ::testing::StartsWith(c.error)) << shown;
        EXPECT_EQ(line.error.empty(), *c.error == '\0') << shown;
    }
}

TEST(ToolCommand, EachResultHasItsLineAndExitCode) {
    const struct {
        ToolCommand command;
        CommandResult result;
        const char* line;
        int exitCode;
    } cases[] = {
        {C::Status, {Outcome::Connected, 3723}, "connected 1:02:03", 0},
        {C::Connect, {Outcome::Connected, -1}, "connected", 0},
        {C::Disconnect, {Outcome::Connected, 5}, "connected 0:00:05", 1},
        {C::Disconnect, {Outcome::Disconnected, 0}, "disconnected", 0},
        {C::Connect, {Outcome::Disconnected, 0}, "disconnected", 1},
        {C::Status, {Outcome::NotAnswering, 0}, "router not answering", 1},
        {C::Connect, {Outcome::NoCommand, 0}, "command failed: no dial command known for this router", 1},
        {C::Capture, {Outcome::Captured, 12}, "captured 12 new entries", 0},
        {C::Capture, {Outcome::Captured, 1}, "captured 1 new entry", 0},
        {C::Capture, {Outcome::LogFileFailed, 1}, "log file could not be opened", 1},
        {C::Capture, {Outcome::LogFileFailed, 3}, "log file could not be written", 1},
        {C::Exit, {Outcome::Exiting, 0}, "exited", 0},
        {C::Exit, {Outcome::NotRunning, 0}, "not running", 3},
        {C::Refresh, {Outcome::Closing, 0}, "the running tool is closing", 1},
        {C::Status, {Outcome::NoAnswer, 0}, "no answer from the running tool", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResultLine(c.result), c.line);
        EXPECT_EQ(ExitCode(c.command, c.result), c.exitCode) << c.line;
    }
    EXPECT_EQ(RunningTimeSeconds("01:02:03"), 3723);
    EXPECT_EQ(RunningTimeSeconds("100:00:00"), 360000);
    for (const char* odd : {"", "-", "1:02", "1:60:00", "1:02:03:04", "1:02:03 ", "a:bb:cc", ":02:03"}) {
        EXPECT_EQ(RunningTimeSeconds(odd), -1) << odd;
    }
}

TEST(ToolCommand, RequestAndReplyRoundTripAndAnyOtherBodyOrTokenIsRefused) {
    const auto body = EncodeRequest({C::Capture, 0x1234567890ABCDEFull, 0xFEDCBA0987654321ull});
    const auto decoded = DecodeRequest(body.data(), body.size());
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->command, C::Capture);
    EXPECT_EQ(decoded->replyWindow, 0x1234567890ABCDEFull);
    EXPECT_EQ(decoded->token, 0xFEDCBA0987654321ull);
    EXPECT_FALSE(DecodeRequest(nullptr, body.size()));
    EXPECT_FALSE(DecodeRequest(body.data(), body.size() - 1));
    for (const std::size_t at : {0u, 4u, 12u}) {  // mark, version, reserved
        auto bad = body;
        bad[at] ^= 1;
        EXPECT_FALSE(DecodeRequest(bad.data(), bad.size())) << at;
    }
    for (const ToolCommand refused : {C::None, C::Help, static_cast<C>(99)}) {
        const auto other = EncodeRequest({refused, 1, 1});
        EXPECT_FALSE(DecodeRequest(other.data(), other.size()));
    }
    for (const CommandResult result :
         {CommandResult{Outcome::Connected, 360000}, CommandResult{Outcome::Connected, -1},
          CommandResult{Outcome::NoAnswer, 0}}) {
        EXPECT_EQ(DecodeReply(7, EncodeReply(7, result)), result);
        EXPECT_FALSE(DecodeReply(8, EncodeReply(7, result)));  // not the token awaited
    }
    EXPECT_FALSE(DecodeReply(7, CommandReply{7, 0xFF}));  // no such outcome
}

class ForwardedCommandTest : public testing::WindowFixture {};

TEST_F(ForwardedCommandTest, DisconnectIsTheButtonsAndAnswersWhenThePollShowsTheLineDown) {
    auto window = OpenWindow("", testing::EnglishStatusPage("00:12:34", "Ready", "Connection Type: PPPoE\n"));
    router_.Serve("cgi-bin/dial?RC=@&A=H&M=0&T=2000'", "");
    std::vector<CommandResult> answers;
    window->OnForwardedCommand(C::Status, [&](const CommandResult& r) { answers.push_back(r); });
    window->OnForwardedCommand(C::Disconnect, [&](const CommandResult& r) { answers.push_back(r); });
    Settle();
    EXPECT_EQ(router_.Requests().back(), "cgi-bin/dial?RC=@&A=H&M=0&T=2000'");
    EXPECT_TRUE(window->FollowUpActive());  // the user's 切断: no balloon for the drop it asked for
    EXPECT_EQ(answers.size(), 1u);
    router_.Serve("status.htm", testing::EnglishStatusPage("-", "Ready", "Connection Type: PPPoE\n"));
    window->OnTimer(kTimerStatusPoll);
    Settle();
    EXPECT_THAT(answers, ::testing::ElementsAre(CommandResult{Outcome::Connected, 754},
                                                CommandResult{Outcome::Disconnected, 0}));
    EXPECT_TRUE(tray_.balloons.empty());
}

}  // namespace
}  // namespace velmo
