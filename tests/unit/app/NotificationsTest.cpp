// Balloon notifications: the rules over status readings and captures as two
// tables, then the window showing them through the tray port.
#include <gmock/gmock.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "app/Notifications.h"
#include "app/Timers.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"
#include "sim/LogPageBuilder.h"
#include "tests/unit/app/WindowFixture.h"

namespace velmo {
namespace {

using ::testing::EndsWith;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::StartsWith;

std::string Sjis(const char* utf8) {
    return Utf8ToSjis(utf8);
}

CaptureResult Written(std::size_t accessCount = 0, const std::string& newest = "") {
    CaptureResult result;
    result.written = true;
    result.accessWarning = accessCount > 0;
    result.accessCount = accessCount;
    result.newestAccessEntry = newest;
    return result;
}

CaptureResult Failed(LogFileError error, const std::string& reason) {
    CaptureResult result;
    result.error = error;
    result.errorText = reason;
    return result;
}

struct CaptureRow {
    const char* name;
    bool failingBefore;
    CaptureResult result;
    std::optional<BalloonKind> kind;  // no value: no balloon
    BalloonIcon icon;
    std::string text;  // CP932
    bool failingAfter;
};

TEST(NotificationRules, WhichCapturesGiveABalloon) {
    const std::string entry = "[2026/12/08 11:59:59]  Unrecognized access from 198.51.100.2";
    const std::string file = "C:\\logs\\syslog.txt";
    const CaptureRow rows[] = {
        {"nothing new", false, Written(), {}, BalloonIcon::Info, "", false},
        {"one new access entry", false, Written(1, entry), BalloonKind::Access, BalloonIcon::Warning,
         Sjis("不正アクセスを 1 件記録しました\n") + entry, false},
        {"three in one capture", false, Written(3, entry), BalloonKind::Access, BalloonIcon::Warning,
         Sjis("不正アクセスを 3 件記録しました\n") + entry, false},
        {"file cannot be opened", false, Failed(LogFileError::NotOpened, "Access is denied.\r\n"),
         BalloonKind::LogFile, BalloonIcon::Error,
         Sjis("ログファイル「C:\\logs\\syslog.txt」を開けません\nAccess is denied."), true},
        {"file cannot be read", false, Failed(LogFileError::NotRead, "I/O error"), BalloonKind::LogFile,
         BalloonIcon::Error, Sjis("ログファイル「C:\\logs\\syslog.txt」を読み込めません\nI/O error"), true},
        {"file cannot be written", false, Failed(LogFileError::NotWritten, "Disk full"), BalloonKind::LogFile,
         BalloonIcon::Error, Sjis("ログファイル「C:\\logs\\syslog.txt」に書き込めません\nDisk full"), true},
        {"no reason from the system", false, Failed(LogFileError::NotOpened, " \r\n"), BalloonKind::LogFile,
         BalloonIcon::Error, Sjis("ログファイル「C:\\logs\\syslog.txt」を開けません"), true},
        {"failing again",
         true,
         Failed(LogFileError::NotWritten, "Disk full"),
         {},
         BalloonIcon::Info,
         "",
         true},
        {"written again", true, Written(), {}, BalloonIcon::Info, "", false},
        {"written again with news", true, Written(2, entry), BalloonKind::Access, BalloonIcon::Warning,
         Sjis("不正アクセスを 2 件記録しました\n") + entry, false},
    };
    for (const CaptureRow& row : rows) {
        SCOPED_TRACE(row.name);
        NotificationState state;
        state.logFileFailing = row.failingBefore;
        const std::optional<Balloon> balloon = NoteCapture(state, row.result, file);
        EXPECT_EQ(state.logFileFailing, row.failingAfter);
        ASSERT_EQ(balloon.has_value(), row.kind.has_value());
        if (balloon) {
            EXPECT_EQ(balloon->kind, *row.kind);
            EXPECT_EQ(balloon->icon, row.icon);
            EXPECT_EQ(balloon->text, row.text);
        }
    }
}

const std::string kUp = testing::EnglishStatusPage("1:23:45", "Ready");
const std::string kDown = testing::EnglishStatusPage("-", "Ready");

class NotificationsTest : public testing::WindowFixture {
  protected:
    std::vector<std::string> BalloonTexts() const {
        std::vector<std::string> texts;
        for (const auto& balloon : tray_.balloons) {
            texts.push_back(balloon.text);
        }
        return texts;
    }
};

TEST_F(NotificationsTest, NewAccessEntriesOfOneCaptureGiveOneBalloonWithTheirCountAndTheNewest) {
    auto window = OpenWindow("UpdateLogFileName=log.txt\r\n", kDown);
    router_.Serve("syslog.htm", SystemLogPageBody({{9000, "Unrecognized access from 198.51.100.1"},
                                                   {5000, "PPP up"},
                                                   {1000, "Unrecognized access from 198.51.100.2"}}));
    window->OnCommand(ID_MENU_CAPTURE_LOG);
    Settle();
    ASSERT_THAT(tray_.balloons, SizeIs(1));
    EXPECT_EQ(tray_.balloons[0].iconId, 1u);
    EXPECT_EQ(tray_.balloons[0].icon, BalloonIcon::Warning);
    EXPECT_EQ(tray_.balloons[0].title, "Velmo tool");
    EXPECT_EQ(tray_.balloons[0].text, Sjis("不正アクセスを 2 件記録しました\n") +
                                          "[2026/12/08 11:59:59]  Unrecognized access from 198.51.100.2");

    // The same entries again are not news; one more is, and only it is counted.
    window->OnCommand(ID_MENU_CAPTURE_LOG);
    Settle();
    EXPECT_THAT(tray_.balloons, SizeIs(1));
    clock_.Advance(60000);
    router_.Serve("syslog.htm", SystemLogPageBody({{61000, "Unrecognized access from 198.51.100.2"},
                                                   {2000, "Unrecognized access from 198.51.100.3"}}));
    window->OnCommand(ID_MENU_CAPTURE_LOG);
    Settle();
    ASSERT_THAT(tray_.balloons, SizeIs(2));
    EXPECT_EQ(tray_.balloons[1].text, Sjis("不正アクセスを 1 件記録しました\n") +
                                          "[2026/12/08 12:00:58]  Unrecognized access from 198.51.100.3");
}

TEST_F(NotificationsTest, LogFileThatCannotBeWrittenIsAnnouncedOncePerRunAndNamedInTheTooltip) {
    // The log file's name is a folder: it cannot be opened.
    std::filesystem::create_directory(dir_.File("logs"));
    auto window = OpenWindow("UpdateLogFileName=logs\r\n", kDown);
    router_.Serve("syslog.htm", SystemLogPageBody({{1000, "PPP up"}}));
    const std::string caption = CRouterStatusDlg::Caption();
    const std::string failingTip = caption + Sjis("（ログを書き込めません）");

    window->OnCommand(ID_MENU_CAPTURE_LOG);
    Settle();
    ASSERT_THAT(tray_.balloons, SizeIs(1));
    EXPECT_EQ(tray_.balloons[0].icon, BalloonIcon::Error);
    EXPECT_THAT(tray_.balloons[0].text, StartsWith(Sjis("ログファイル「logs」を開けません\n")));
    EXPECT_GT(tray_.balloons[0].text.size(), Sjis("ログファイル「logs」を開けません\n").size());
    EXPECT_EQ(tray_.tooltip, failingTip);
    EXPECT_LE(tray_.tooltip.size(), 62u);

    // Still failing: no second balloon, and a status reading keeps the note.
    window->OnCommand(ID_MENU_CAPTURE_LOG);
    Settle();
    window->RefreshAll();
    Settle();
    EXPECT_THAT(tray_.balloons, SizeIs(1));
    EXPECT_EQ(tray_.tooltip, failingTip);

    // The folder goes, the file can be written: the note goes too.
    std::filesystem::remove(dir_.File("logs"));
    window->OnCommand(ID_MENU_CAPTURE_LOG);
    Settle();
    EXPECT_THAT(tray_.balloons, SizeIs(1));
    EXPECT_EQ(tray_.tooltip, caption);

    // A new run of failures is announced again.
    std::filesystem::remove(dir_.File("logs"));
    std::filesystem::create_directory(dir_.File("logs"));
    window->OnCommand(ID_MENU_CAPTURE_LOG);
    Settle();
    EXPECT_THAT(tray_.balloons, SizeIs(2));
    EXPECT_EQ(tray_.tooltip, failingTip);
}

TEST_F(NotificationsTest, LineDropAndReturnAndSilentRouterThroughTheRefreshes) {
    auto window = OpenWindow("UpdateStatusConnect=1\r\nUpdateStatusConnectTime=3000\r\n", kUp);
    EXPECT_THAT(tray_.balloons, IsEmpty());  // the first reading only sets the state

    router_.Serve("status.htm", kDown);
    window->OnTimer(kTimerStatusPoll);
    Settle();
    clock_.Advance(192000);
    router_.Serve("status.htm", kUp);
    window->OnTimer(kTimerRefresh);
    Settle();
    router_.GoAway();
    for (int missed = 0; missed < kMissedReadingsBeforeAlert + 1; ++missed) {
        window->OnTimer(kTimerRefresh);
        Settle();
    }
    EXPECT_THAT(BalloonTexts(),
                ::testing::ElementsAre(Sjis("回線が切断されました（接続時間 1:23:45）"),
                                       Sjis("回線が接続されました（切断されていた時間 0:03:12）"),
                                       Sjis("ルーターに接続できません")));
    EXPECT_EQ(tray_.balloons[0].icon, BalloonIcon::Warning);
    EXPECT_EQ(tray_.balloons[1].icon, BalloonIcon::Info);
}

TEST_F(NotificationsTest, SwitchedOffBalloonsStayQuietButAnUnwritableLogFileIsAlwaysSaid) {
    std::filesystem::create_directory(dir_.File("logs"));
    auto window = OpenWindow(
        "NotifyAccess=0\r\nNotifyLine=0\r\nUpdateLogFileName=log.txt\r\n"
        "UpdateStatusConnect=1\r\nUpdateStatusConnectTime=3000\r\n",
        kUp);
    router_.Serve("syslog.htm", SystemLogPageBody({{1000, "Unrecognized access from 198.51.100.1"}}));
    window->OnCommand(ID_MENU_CAPTURE_LOG);
    Settle();
    router_.Serve("status.htm", kDown);
    window->OnTimer(kTimerStatusPoll);
    Settle();
    router_.GoAway();
    window->OnTimer(kTimerRefresh);
    Settle();
    EXPECT_THAT(tray_.balloons, IsEmpty());

    // Lost log text is reported whatever the switches say.
    host_.onSettingsSheet = [](SettingsPages& pages) {
        pages.log.UpdateLogFileName = "logs";
        return IDOK;
    };
    window->OnCommand(IDC_SETTINGS);
    Settle();
    window->OnCommand(ID_MENU_CAPTURE_LOG);
    Settle();
    ASSERT_THAT(tray_.balloons, SizeIs(1));
    EXPECT_EQ(tray_.balloons[0].icon, BalloonIcon::Error);
}

TEST_F(NotificationsTest, FollowUpWindowHidesOnlyTheChangeItsCommandAskedFor) {
    auto window = OpenWindow("UpdateStatusConnect=1\r\nUpdateStatusConnectTime=3000\r\n", kUp);
    window->OnCommand(IDC_DISCONNECT);
    Settle();
    ASSERT_TRUE(window->FollowUpActive());
    router_.Serve("status.htm", kDown);
    window->OnTimer(kTimerRefresh);  // the hang-up's own drop, seen by a full refresh
    Settle();
    EXPECT_THAT(tray_.balloons, IsEmpty());
    router_.Serve("status.htm", kUp);
    window->OnTimer(kTimerStatusPoll);  // the router dials again by itself: news, window or not
    Settle();
    EXPECT_THAT(BalloonTexts(),
                ::testing::ElementsAre(Sjis("回線が接続されました（切断されていた時間 0:00:00）")));
}

TEST_F(NotificationsTest, AutomaticHangUpGivesNoBalloon) {
    const std::string hangUp = "cgi-bin/dial?RC=@&A=H&M=0&T=2000'";
    const std::string upPppoe = testing::EnglishStatusPage("1:23:45", "Ready", "PPPoE\n");
    clock_.SetNow(DateTime::FromParts(2026, 12, 8, 12, 0, 0));
    router_.Serve(hangUp, "ok");
    auto window = OpenWindow(
        "AutoDisconnect=1\r\nAutoDisconnectSelectDay=1\r\nAutoDisconnectTime=2026/12/08 12:00:10\r\n",
        upPppoe);
    // The hang-up takes effect at once: the command's own refresh sees the line down.
    router_.Serve("status.htm", kDown);
    clock_.SetNow(clock_.Now().PlusSeconds(10));
    window->OnTimer(kTimerAutoDisconnect);
    Settle();
    ASSERT_FALSE(window->Connected());
    EXPECT_THAT(tray_.balloons, IsEmpty());
}

TEST_F(NotificationsTest, NoBalloonBeforeTheIconIsThere) {
    WriteSettings("InitMinimize=0\r\n");
    router_.Serve("", "top");
    router_.Serve("status.htm", kUp);
    auto window = MakeWindow();
    window->RefreshAll();
    Settle();
    router_.Serve("status.htm", kDown);
    window->RefreshAll();
    Settle();
    EXPECT_THAT(tray_.balloons, IsEmpty());
    EXPECT_FALSE(window->Connected());
}

// The alert rules through the window, step by step on the fake clock: a
// silent router, ignored sources, a mute and its end. Each step gives the
// first line of the balloon it shows (none: "") and how the tooltip ends.
TEST_F(NotificationsTest, AlertsOverTimeWithSilenceIgnoredSourcesAndMutes) {
    // A list that holds garbage beside its one address: kept, the rest passed over.
    const std::string ignore = "203.0.113.7, 999.1.1.1 " + Sjis("送信元") + std::string(10000, 'x');
    auto window = OpenWindow("UpdateLogFileName=log.txt\r\nNotifyIgnore=" + ignore + "\r\n", kUp);
    const auto poll = [&] { window->OnTimer(kTimerStatusPoll), Settle(); };
    const auto serve = [&](const std::string& page) {
        return [&, page] { router_.Serve("status.htm", page), poll(); };
    };
    const auto capture = [&](const char* entry) {
        return [&, entry] {
            router_.Serve("syslog.htm", SystemLogPageBody({{1000, entry}}));
            window->OnCommand(ID_MENU_CAPTURE_LOG);
            Settle();
        };
    };
    const auto command = [&](int id) { return [&, id] { window->OnCommand(id); }; };
    struct Step {
        const char* name;
        std::function<void()> act;
        const char* balloon;     // UTF-8
        const char* tooltipEnd;  // UTF-8
    };
    const std::string captionText = CRouterStatusDlg::Caption();  // ASCII, so UTF-8 too
    const char* const caption = captionText.c_str();
    const Step steps[] = {
        {"one missed reading is not news", [&] { router_.GoAway(), poll(); }, "", caption},
        {"nor is a second", poll, "", caption},
        {"the third is", poll, "ルーターに接続できません", caption},
        {"and once only", poll, "", caption},
        {"its answer says how long it was silent", [&] { clock_.Advance(192000), serve(kUp)(); },
         "ルーターが応答しました（応答がなかった時間 0:03:12）", caption},
        {"an ignored source raises nothing",
         [&] {
             capture("Unrecognized access from 203.0.113.7:4312 to port 23")();
             EXPECT_FALSE(window->AccessWarning());
         },
         "", caption},
        {"another source does", capture("Unrecognized access from 198.51.100.9"),
         "不正アクセスを 1 件記録しました", caption},
        {"muted for an hour", command(ID_MENU_MUTE_1H), "", "（通知停止中 13:03 まで）"},
        {"a drop while muted is only recorded", serve(kDown), "", "（通知停止中 13:03 まで）"},
        {"the mute ends by itself", [&] { clock_.Advance(3600000), window->OnTimer(kTimerMuteEnd); }, "",
         caption},
        {"balloons are back", serve(kUp), "回線が接続されました（切断されていた時間 1:00:00）", caption},
        {"muted until tomorrow morning", command(ID_MENU_MUTE_MORNING), "", "（通知停止中 08:00 まで）"},
        {"resumed", command(ID_MENU_MUTE_RESUME), "", caption},
    };
    std::size_t shown = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        const std::string first = tray_.balloons.size() > shown ? tray_.balloons.back().text : "";
        EXPECT_EQ(first.substr(0, first.find('\n')), Sjis(step.balloon));
        EXPECT_LE(tray_.balloons.size(), shown + 1);
        shown = tray_.balloons.size();
        EXPECT_THAT(tray_.tooltip, EndsWith(Sjis(step.tooltipEnd)));
        EXPECT_LE(tray_.tooltip.size(), 62u);
    }
    EXPECT_TRUE(window->Connected());
    // The list reads back as written, and so does the last mute's end.
    ToolSettings reread;
    LoadSettings(reread, window->SettingsPath(), clock_);
    EXPECT_EQ(reread.NotifyIgnore, ignore);
    EXPECT_FALSE(reread.NotifyMuteUntil.IsValid());
}

}  // namespace
}  // namespace velmo
