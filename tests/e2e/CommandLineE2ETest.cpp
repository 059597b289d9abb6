// The command line of the real VelmoTool.exe under Wine: each command without
// a running tool and handed to one, read back from the printed line, the exit
// code, the simulator's request log (routersim-CMD.log) and the log file.
// VELMO_SIM_CMD answers at once; VELMO_SIM_QUIET answers nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "app/ToolCommand.h"
#include "res/resource.h"
#include "router/HttpRequest.h"
#include "settings/PasswordScramble.h"
#include "tests/e2e/Driver.h"
#include "win32/Messages.h"

namespace velmo::e2e {
namespace {

class CommandLineE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = MakeTempDirectory(L"velmo-e2e-command-");
        ASSERT_FALSE(SimAddress("VELMO_SIM_CMD").empty())
            << "run through scripts/with-routersim (ctest does)";
        WriteSettings(SimAddress("VELMO_SIM_CMD"));
    }
    // Always a simulator on loopback, before any start.
    void WriteSettings(const std::string& address, bool updateLog = false) {
        ASSERT_TRUE(WriteBytes(dir_ + L"\\Velmo tool.ini",
                               "[Setting]\r\nRutorAddress=" + address +
                                   "\r\nRootPasswd=" + EncodePassword("admin") +
                                   "\r\nInitMinimize=1\r\nUpdateLog=" + (updateLog ? "1" : "0") +
                                   "\r\nUpdateLogFileName=syslog.txt\r\n"));
    }
    // Runs one command; checks its exit code and returns its line.
    std::string Run(const std::wstring& arguments, DWORD exitCode) {
        const ToolRun run = RunTool(ToolExe(), dir_, arguments, 40000);
        std::printf("[figures] %ls: %lu ms, exit %lu: %s", arguments.substr(0, 30).c_str(), run.milliseconds,
                    run.exitCode, run.output.c_str());
        EXPECT_EQ(run.exitCode, exitCode) << run.output;
        return run.output;
    }
    static std::string Requests() {
        Sleep(300);  // the simulator prints what it received every 100 ms
        std::string bytes;
        ReadBytes(ArtifactPath(L"routersim-CMD.log"), bytes);
        return bytes;
    }
    std::string LogFile() const {
        std::string bytes;
        ReadBytes(dir_ + L"\\syslog.txt", bytes);
        return bytes;
    }
    // Every command in turn, then /exit: the same lines with a tool running or without.
    void RunEachCommand() {
        std::string answer;
        ASSERT_TRUE(RequestPage(SimAddress("VELMO_SIM_CMD"), "sim/disconnect", answer));
        const std::string before = Requests();
        EXPECT_EQ(Run(L"/connect", 0).substr(0, 12), "connected 0:");
        EXPECT_EQ(CountOccurrences(Requests(), "A=D"), CountOccurrences(before, "A=D") + 1);
        EXPECT_EQ(Run(L"-STATUS", 0).substr(0, 12), "connected 0:");
        EXPECT_EQ(Run(L"--disconnect", 0), "disconnected\r\n");
        EXPECT_EQ(CountOccurrences(Requests(), "A=H"), CountOccurrences(before, "A=H") + 1);
        EXPECT_EQ(Run(L"/capture", 0), "captured 4 new entries\r\n");
        EXPECT_EQ(Run(L"/Capture", 0), "captured 0 new entries\r\n");
        EXPECT_EQ(CountOccurrences(LogFile(), "Last Log Update"), 1);
        EXPECT_EQ(CountOccurrences(LogFile(), "\r\n"), 5);
        const std::string sent = Requests();
        for (const std::wstring& bad : {std::wstring(L"/connect /disconnect"), std::wstring(L"/conect"),
                                        L"/" + std::wstring(9999, L'x')}) {
            const std::string output = Run(bad, 2);
            EXPECT_EQ(output.find("usage: VelmoTool.exe"), output.find('\n') + 1) << output;
        }
        EXPECT_EQ(Requests(), sent) << "bad arguments sent something";
    }
    std::wstring dir_;
};

TEST_F(CommandLineE2E, WithoutARunningToolEachCommandRunsOnceAndExits) {
    RunEachCommand();
    const std::string requests = Requests();
    EXPECT_EQ(Run(L"/status --running-only", 3), "not running\r\n");
    EXPECT_EQ(Run(L"/exit", 3), "not running\r\n");
    EXPECT_EQ(Run(L"/refresh", 3), "not running\r\n");
    EXPECT_EQ(Requests(), requests) << "a command that needs the window sent something";
    WriteSettings(SimAddress("VELMO_SIM_QUIET"));
    EXPECT_EQ(Run(L"/status", 1), "router not answering\r\n");
}

TEST_F(CommandLineE2E, WithARunningToolEachCommandIsItsAndExitEndsIt) {
    ToolProcess tool;
    ASSERT_TRUE(tool.Start(ToolExe(), dir_));
    ASSERT_NE(tool.WaitForWindow(kMainCaption, 30000, false), nullptr);
    RunEachCommand();
    EXPECT_EQ(Run(L"/refresh", 0), "disconnected\r\n");
    // Bodies the running tool ignores: malformed, or naming a window not the sender's.
    HWND instance = FindWindowExW(HWND_MESSAGE, nullptr, L"VelmoToolInstance", nullptr);
    const auto body = EncodeRequest({ToolCommand::Connect, 0x1234, 1});
    for (DWORD size : {0ul, 3ul, static_cast<DWORD>(body.size())}) {
        COPYDATASTRUCT data{kCommandCopyDataTag, size, const_cast<unsigned char*>(body.data())};
        EXPECT_EQ(SendMessageW(instance, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), FALSE) << size;
    }
    EXPECT_EQ(Run(L"/status", 0), "disconnected\r\n") << "a refused body connected";
    EXPECT_EQ(Run(L"/exit", 0), "exited\r\n");
    EXPECT_TRUE(tool.WaitForExit(1000));
    EXPECT_EQ(Run(L"/exit", 3), "not running\r\n");
}

// A command handed over while the running tool is still starting waits for
// it (the Startup shortcut and a task at logon start both at once).
TEST_F(CommandLineE2E, ACommandGivenWhileTheToolStartsIsCarriedOutOnceItIsUp) {
    ToolProcess tool;
    ASSERT_TRUE(tool.Start(ToolExe(), dir_));
    EXPECT_EQ(Run(L"/status", 0), "disconnected\r\n");
    EXPECT_EQ(Run(L"/exit", 0), "exited\r\n");
    EXPECT_TRUE(tool.WaitForExit(5000));
}

// A command handed over while the running tool closes waits for the close
// and is then carried out once without a window. The about box's own loop
// holds the close open until it is dismissed.
TEST_F(CommandLineE2E, ACommandGivenWhileTheToolClosesRunsOnceAfterIt) {
    ToolProcess tool;
    ASSERT_TRUE(tool.Start(ToolExe(), dir_));
    HWND window = tool.WaitForWindow(kMainCaption, 30000, false);
    ASSERT_NE(window, nullptr);
    Post(window, WM_SYSCOMMAND, IDM_ABOUTBOX);
    HWND about = tool.WaitForWindow(L"About Velmo tool", 10000);
    ASSERT_NE(about, nullptr);
    Post(window, WM_CLOSE);
    Sleep(500);
    ToolRun run;
    std::thread command([&] { run = RunTool(ToolExe(), dir_, L"/capture", 40000); });
    Sleep(3000);
    ClickButton(about, IDOK);
    command.join();
    EXPECT_TRUE(tool.WaitForExit(5000));
    std::printf("[figures] /capture during the close: %lu ms, exit %lu: %s", run.milliseconds, run.exitCode,
                run.output.c_str());
    EXPECT_EQ(run.output, "captured 4 new entries\r\n");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_GT(run.milliseconds, 2000u) << "it did not wait for the close";
    EXPECT_EQ(CountOccurrences(LogFile(), "Last Log Update"), 1);
}

// Windows ends the session: the tool agrees at once, and before its answer
// to the end it has saved its settings and made its last capture; a silent
// router holds it no longer than the close allows.
TEST_F(CommandLineE2E, TheEndOfTheSessionSavesTheSettingsAndCapturesWithinThreeSeconds) {
    for (const char* sim : {"VELMO_SIM_CMD", "VELMO_SIM_QUIET"}) {
        WriteSettings(SimAddress(sim), true);
        DeleteFileW((dir_ + L"\\syslog.txt").c_str());
        ToolProcess tool;
        ASSERT_TRUE(tool.Start(ToolExe(), dir_));
        HWND window = tool.WaitForWindow(kMainCaption, 30000, false);
        ASSERT_NE(window, nullptr);
        Sleep(2000);  // up and polling
        DWORD_PTR agreed = 0;
        ASSERT_NE(
            SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &agreed),
            0);
        EXPECT_EQ(agreed, static_cast<DWORD_PTR>(TRUE)) << sim;
        const DWORD start = GetTickCount();
        DWORD_PTR ignored = 0;
        EXPECT_NE(
            SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &ignored),
            0);
        const DWORD spent = GetTickCount() - start;
        std::printf("[figures] %s: the end of the session took %lu ms\n", sim, spent);
        EXPECT_LT(spent, 3000u) << sim;
        tool.Kill();  // as Windows does once the answer came
        std::string saved;
        ASSERT_TRUE(ReadBytes(dir_ + L"\\Velmo tool.ini", saved));
        EXPECT_NE(saved.find("NotifyMuteUntil="), std::string::npos) << sim << ": settings not saved";
        const bool answers = std::string(sim) == "VELMO_SIM_CMD";
        EXPECT_EQ(CountOccurrences(LogFile(), "Last Log Update"), answers ? 1 : 0) << sim;
    }
}

}  // namespace
}  // namespace velmo::e2e
