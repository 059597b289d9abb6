// The real VelmoTool.exe under Wine keeps the connection record: a drop, a
// 切断, a session the router ends while the tool is away and an automatic
// hang-up give four rows with their causes, and the 接続履歴 window shows
// them. The tool talks only to the simulator VELMO_SIM_A on loopback.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/CodePage.h"
#include "res/resource.h"
#include "router/HttpRequest.h"
#include "tests/e2e/Driver.h"

namespace velmo::e2e {
namespace {

class HistoryE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* address = std::getenv("VELMO_SIM_A");
        ASSERT_NE(address, nullptr) << "run through scripts/with-routersim (ctest does)";
        sim_ = address;
        workDir_ = MakeTempDirectory(L"velmo-e2e-history-");
        WriteSettings("InitMinimize=0\r\n");
    }
    void WriteSettings(const std::string& extra) {
        ASSERT_TRUE(
            WriteBytes(workDir_ + L"\\Velmo tool.ini",
                       "[Setting]\r\nRutorAddress=" + sim_ +
                           "\r\nUpdateStatusConnect=1\r\nUpdateStatusConnectTime=1000\r\n"
                           "UpdateStatusDisconnect=1\r\nUpdateStatusDisconnectTime=2000\r\nUpdateLog=0\r\n" +
                           extra));
    }
    void Sim(const std::string& path) {
        std::string answer;
        ASSERT_TRUE(RequestPage(sim_, path, answer)) << path;
    }
    HWND Start(bool visible) {
        EXPECT_TRUE(tool_.Start(ToolExe(), workDir_));
        return tool_.WaitForWindow(kMainCaption, 30000, visible);
    }
    std::string File(const wchar_t* name) const {
        std::string bytes;
        ReadBytes(workDir_ + L"\\" + name, bytes);
        return bytes;
    }
    // The record's rows after the header (UTF-8, without line ends), in order.
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        const std::string text = SjisToUtf8(File(L"Velmo tool history.csv"));
        for (std::size_t at = text.find("\r\n"); at != std::string::npos && at + 2 < text.size();) {
            const std::size_t end = text.find("\r\n", at + 2);
            rows.push_back(text.substr(at + 2, end - at - 2));
            at = end;
        }
        return rows;
    }
    bool WaitForRows(std::size_t count) {
        return WaitUntil([&] { return Rows().size() >= count; }, 20000);
    }
    // What the simulator received (it prints its requests every 100 ms).
    static std::string Requests() {
        Sleep(300);
        std::string bytes;
        ReadBytes(ArtifactPath(L"routersim-A.log"), bytes);
        return bytes;
    }
    // The tool has seen the line up (the open session, the kept file's first line, is there).
    bool WaitForSession() {
        return WaitUntil(
            [&] {
                const std::string kept = File(L"Velmo tool history.open");
                return !kept.empty() && kept[0] != '\r';
            },
            20000);
    }

    std::string sim_;
    std::wstring workDir_;
    ToolProcess tool_;
};

TEST_F(HistoryE2E, DropHangUpsAndAnUnseenEndBecomeRowsTheWindowShows) {
    Sim("sim/connect");
    HWND window = Start(true);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForSession());
    Sleep(1500);
    Sim("sim/disconnect");  // the line drops by itself
    ASSERT_TRUE(WaitForRows(1));
    Sim("sim/connect");
    ASSERT_TRUE(WaitForSession());
    Sleep(1500);
    ClickButton(window, IDC_DISCONNECT);
    ASSERT_TRUE(WaitForRows(2));
    Sim("sim/connect");
    ASSERT_TRUE(WaitForSession());
    ClickButton(window, IDC_EXIT);
    ASSERT_TRUE(tool_.WaitForExit(20000));

    // While the tool is away the router ends the session and begins another,
    // later than the poll interval and the stamps' jitter can explain.
    Sleep(6000);
    Sim("sim/disconnect");
    Sim("sim/connect");
    Sleep(5000);
    // Started hidden in the notification area, where the 接続履歴 window opens too.
    WriteSettings(
        "InitMinimize=1\r\nAutoDisconnect=1\r\nAutoDisconnectSelectDay=1\r\nAutoDisconnectDlg=0\r\n"
        "AutoDisconnectTime=" +
        LocalTimeText(10) + "\r\n");
    window = Start(false);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForRows(4)) << SjisToUtf8(File(L"Velmo tool history.csv"))
                                << File(L"Velmo tool history.open");
    // The causes, and no session ends before it began or after the next one
    // began (the stamps sort as text).
    const std::vector<std::string> rows = Rows();
    std::vector<std::string> causes;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        causes.push_back(rows[i].substr(rows[i].rfind(',') + 1));
        EXPECT_LE(rows[i].substr(0, 19), rows[i].substr(20, 19)) << rows[i];
        EXPECT_TRUE(i == 0 || rows[i - 1].substr(20, 19) <= rows[i].substr(0, 19)) << rows[i];
    }
    EXPECT_EQ(causes, (std::vector<std::string>{"回線断", "切断", "不明", "自動切断"}));

    Post(window, WM_COMMAND, ID_MENU_HISTORY);
    HWND history = tool_.WaitForWindow(Wide("接続履歴"), 10000);
    ASSERT_NE(history, nullptr);
    ClickButton(history, IDC_HISTORY_COPY);
    Sleep(500);
    SaveScreenshot(ArtifactPath(L"history-window.bmp"));
    std::wstring report;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            report = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    EXPECT_NE(report.find(Wide("回線断")), std::wstring::npos);
    EXPECT_NE(report.find(Wide("不明")), std::wstring::npos);
    ClickButton(window, IDC_EXIT);
    EXPECT_TRUE(tool_.WaitForExit(20000));
}

// 切断 and an exit right after it, then a start with AutoRedial on: the row
// is the tool's own 切断 and no dial goes out in 45 s. Then ten clicks on 接続
// send one dial command.
TEST_F(HistoryE2E, OwnHangUpOutlivesARestartAndTenClicksDialOnce) {
    WriteSettings("InitMinimize=0\r\nAutoRedial=1\r\n");
    Sim("sim/connect");
    HWND window = Start(true);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForSession());
    const std::string before = Requests();
    ClickButton(window, IDC_DISCONNECT);
    ASSERT_TRUE(WaitUntil(
        [&] { return CountOccurrences(Requests(), "A=H") > CountOccurrences(before, "A=H"); }, 20000));
    ClickButton(window, IDC_EXIT);
    ASSERT_TRUE(tool_.WaitForExit(20000));
    window = Start(true);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForRows(1)) << File(L"Velmo tool history.open");
    const std::vector<std::string> rows = Rows();
    EXPECT_EQ(rows.back().substr(rows.back().rfind(',') + 1), "切断");
    Sleep(45000);
    EXPECT_EQ(CountOccurrences(Requests(), "A=D"), CountOccurrences(before, "A=D"));

    for (int click = 0; click < 10; ++click) {
        ClickButton(window, IDC_CONNECT);
    }
    ASSERT_TRUE(WaitForSession());
    Sleep(3000);
    EXPECT_EQ(CountOccurrences(Requests(), "A=D"), CountOccurrences(before, "A=D") + 1);
    ClickButton(window, IDC_EXIT);
    EXPECT_TRUE(tool_.WaitForExit(20000));
}

}  // namespace
}  // namespace velmo::e2e
