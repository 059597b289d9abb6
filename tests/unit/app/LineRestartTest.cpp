// The line through restarts of the tool: a harness that destroys and builds
// the window again over one folder, on the fake clock, with a record the test
// can lock. One row per way the line's facts used to get lost.
#include <algorithm>
#include <functional>

#include "app/CommandOnce.h"
#include "app/Timers.h"
#include "base/ExclusiveFile.h"
#include "history/HistoryFile.h"
#include "history/RunningTime.h"
#include "res/resource.h"
#include "tests/unit/app/WindowFixture.h"

namespace velmo {
namespace {

const std::string kDown = testing::EnglishStatusPage("-", "Ready");
const char* const kDial = "cgi-bin/dial?RC=@&A=D&M=0&T=10000'";
const char* const kHangUp = "cgi-bin/dial?RC=@&A=H&M=0&T=2000'";

std::string Up(std::int64_t seconds) {
    return testing::EnglishStatusPage(RunningTimeText(seconds), "PPPoE");
}

class LineRestartTest : public testing::WindowFixture {
  protected:
    void Start(const std::string& page) {
        router_.Serve("status.htm", page);
        window = MakeWindow();
        window->OnInitDialog();
        Settle();
    }
    void Restart(const std::string& page) {
        window.reset();
        Start(page);
    }
    void Read(const std::string& page, std::uint64_t afterMs = 3000) {
        clock_.Advance(afterMs);
        router_.Serve("status.htm", page);
        window->OnTimer(kTimerStatusPoll);
        Settle();
    }
    int Dials() {
        const std::vector<std::string> requests = router_.Requests();
        return static_cast<int>(std::count(requests.begin(), requests.end(), kDial));
    }
    bool Balloon(const char* utf8) {  // one of the balloons starts so
        return std::any_of(tray_.balloons.begin(), tray_.balloons.end(),
                           [&](const auto& balloon) { return balloon.text.find(Utf8ToSjis(utf8)) == 0; });
    }

    std::unique_ptr<CRouterStatusDlg> window;
    ExclusiveFile lock;  // held, the record refuses every write
};

struct RestartRow {
    const char* name;
    std::function<void()> steps;
    const char* rows;  // UTF-8, each ending in CR LF
    int dials;
};

TEST_F(LineRestartTest, TheLinesFactsOutliveRestartsLockedRecordsAndMovedClocks) {
    const RestartRow table[] = {
        {"切断, exit, start again: the tool's own hang-up, and the redial holds",
         [this] {
             Start(Up(3600)), window->OnCommand(IDC_DISCONNECT), Settle(), Restart(kDown);
             clock_.Advance(45000), window->OnTimer(kTimerRedial), Settle();
         },
         "2026/12/08 11:00:00,2026/12/08 12:00:00,1:00:00,切断\r\n", 0},
        {"a windowless /disconnect is the tool's own hang-up too, after a session the tool did not see",
         [this] {
             Start(Up(3600)), window.reset(), clock_.Advance(3600000);
             router_.Serve("status.htm", Up(600)), router_.After(kHangUp, "status.htm", kDown);
             RouterClient client(router_.Function());
             client.routerAddress = "127.0.0.1";
             RunCommandOnce(ToolCommand::Disconnect, client, {}, clock_, dir_.File(""));
             Start(kDown);
         },
         "2026/12/08 11:00:00,2026/12/08 12:00:00,1:00:00,不明\r\n"
         "2026/12/08 12:50:00,2026/12/08 13:00:00,0:10:00,切断\r\n",
         0},
        {"切断 sent, then 接続 before its answer: the drop is the hang-up's, the dial goes out",
         [this] {
             Start(Up(3600)), router_.After(kHangUp, "status.htm", kDown);
             window->OnCommand(IDC_DISCONNECT), window->Jobs().RunNext();
             router_.After(kDial, "status.htm", Up(0)), window->OnCommand(IDC_CONNECT), Settle();
             EXPECT_FALSE(Balloon("回線が切断されました"));
             Read(Up(3));
         },
         "2026/12/08 11:00:00,2026/12/08 12:00:00,1:00:00,切断\r\n", 1},
        {"切断 sent, its result dropped by the exit: still the tool's own hang-up",
         [this] {
             Start(Up(3600)), router_.After(kHangUp, "status.htm", kDown);
             window->OnCommand(IDC_DISCONNECT), window->Jobs().RunNext(), Restart(kDown);
         },
         "2026/12/08 11:00:00,2026/12/08 12:00:00,1:00:00,切断\r\n", 0},
        {"切断 and 接続 before either ran: the replaced hang-up is never sent",
         [this] {
             Start(Up(3600)), window->OnCommand(IDC_DISCONNECT), window->OnCommand(IDC_CONNECT), Settle();
             const std::vector<std::string> requests = router_.Requests();
             EXPECT_EQ(std::count(requests.begin(), requests.end(), kHangUp), 0);
         },
         "", 0},
        {"rows of a locked record wait through an exit and go in once, in order",
         [this] {
             Start(Up(60)), lock.Open(dir_.File(kHistoryFileName));
             Read(kDown), Read(Up(3)), Read(kDown), window.reset(), lock.Close(), Start(kDown);
         },
         "2026/12/08 11:59:00,2026/12/08 12:00:00,0:01:00,回線断\r\n"
         "2026/12/08 12:00:03,2026/12/08 12:00:06,0:00:03,回線断\r\n",
         0},
        {"a record failing during a mute shows in the tooltip and is told when the mute ends",
         [this] {
             Start(Up(60)), window->Mute(MuteChoice::OneHour), lock.Open(dir_.File(kHistoryFileName));
             Read(kDown);
             EXPECT_TRUE(tray_.balloons.empty());
             window->Mute(MuteChoice::Resume);
             EXPECT_TRUE(Balloon("接続履歴「Velmo tool history.csv」に書き込めません"));
             EXPECT_NE(tray_.tooltip.find(Utf8ToSjis("（接続履歴を書き込めません）")), std::string::npos);
             lock.Close();
         },
         "", 0},
        {"a week read every 6 h at 100 ppm is one session",
         [this] {
             Start(Up(0));
             for (std::int64_t hours = 6; hours <= 168; hours += 6) {
                 Read(Up(hours * 3600 * 9999 / 10000), 6 * 3600 * 1000);
             }
             Read(Up(168LL * 3600 * 9999 / 10000 + 3)), Read(kDown);
         },
         "2026/12/08 12:01:01,2026/12/15 12:00:03,167:59:02,回線断\r\n", 0},
        {"a router that takes 6 s a page still watches the drop",
         [this] {
             router_.onRequest = [this] { clock_.Advance(6000); };
             Start(Up(60)), Read(kDown);
         },
         "2026/12/08 11:59:18,2026/12/08 12:00:18,0:01:00,回線断\r\n", 0},
        {"the clock set back while the tool was away is followed by the tick",
         [this] {
             Start(Up(3600)), window.reset();
             clock_.SetNow(clock_.Now().PlusSeconds(-3600)), clock_.Advance(10000);
             Start(Up(3610)), Read(kDown);
         },
         "2026/12/08 10:00:00,2026/12/08 11:00:10,1:00:10,回線断\r\n", 0},
        {"a computer started again that has run longer than the last start: no clock step",
         [this] {
             Start(Up(3600)), window.reset(), clock_.Reboot(86400000, 2000000), Start(Up(600)), Read(kDown);
         },
         "2026/12/08 11:00:00,2026/12/08 12:00:00,1:00:00,不明\r\n"
         "2026/12/09 12:23:20,2026/12/09 12:33:20,0:10:00,回線断\r\n",
         0},
        {"an absurd running time starts the session when it is first seen",
         [this] { Start(testing::EnglishStatusPage("999999d 00:00:00", "PPPoE")), Read(kDown); },
         "2026/12/08 12:00:00,2026/12/08 12:00:00,0:00:00,回線断\r\n", 0},
        {"a redial try finds the line back by itself; ten clicks on 接続 send one dial",
         [this] {
             Start(Up(60)), Read(kDown), clock_.Advance(30000), router_.Serve("status.htm", Up(5));
             window->OnTimer(kTimerRedial), Settle();
             EXPECT_TRUE(Balloon("回線が接続されました（切断されていた時間 0:00:33）"));
             EXPECT_FALSE(Balloon("回線を再接続しました"));
             Read(kDown);
             for (int click = 0; click < 10; ++click) {
                 window->OnCommand(IDC_CONNECT);
             }
             Settle();
         },
         "2026/12/08 11:59:00,2026/12/08 12:00:00,0:01:00,回線断\r\n"
         "2026/12/08 12:00:28,2026/12/08 12:00:33,0:00:05,回線断\r\n",
         1},
    };
    for (const RestartRow& row : table) {
        SCOPED_TRACE(row.name);
        clock_ = testing::FakeClock();
        for (const char* file : {kHistoryFileName, kOpenSessionFileName, kPendingRowsFileName}) {
            std::filesystem::remove(dir_.File(file));
        }
        WriteSettings(
            "InitMinimize=0\r\nUpdateStatusConnectTime=3000\r\nUpdateStatusDisconnectTime=3000\r\nAutoRedial="
            "1\r\n");
        router_.ClearRequests(), router_.Serve(kDial, "ok"), router_.Serve(kHangUp, "ok");
        router_.onRequest = nullptr;
        tray_.balloons.clear();
        row.steps();
        window.reset();
        std::string record;
        ReadFileBytes(dir_.File(kHistoryFileName), record);
        EXPECT_EQ(record, *row.rows ? HistoryHeader() + Utf8ToSjis(row.rows) : "");
        EXPECT_EQ(Dials(), row.dials);
    }
}

}  // namespace
}  // namespace velmo
