// The main status window: owns every piece of run-time state of the tool and
// handles its messages. It never sees a window handle; every visible effect
// goes through the WindowHost and TrayHost ports.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/Notifications.h"
#include "app/NotifyMute.h"
#include "app/Redial.h"
#include "app/ToolCommand.h"
#include "app/TrayHost.h"
#include "app/WindowHost.h"
#include "base/Clock.h"
#include "base/DateTime.h"
#include "history/ConnectionRecord.h"
#include "router/JobRunner.h"
#include "router/RouterClient.h"
#include "router/RouterReadings.h"
#include "routerlog/LogCapture.h"
#include "settings/ToolSettings.h"

namespace velmo {

// Mouse messages the notification-area callback passes on.
enum class TrayMouse { LeftDown, RightDown, Other };

class CRouterStatusDlg {
  public:
    // Construction: builds the settings path in the current directory and
    // loads the settings file. Router requests are HTTP requests on the job
    // runner's worker, or go through `request` with jobs run by hand (tests).
    CRouterStatusDlg(WindowHost& host, TrayHost& tray, Clock& clock);
    CRouterStatusDlg(WindowHost& host, TrayHost& tray, Clock& clock, RequestFunction request);
    // Destruction writes the settings file, changed or not (unless the close
    // sequence already did), and ends the jobs (EndJobs).
    ~CRouterStatusDlg();
    CRouterStatusDlg(const CRouterStatusDlg&) = delete;
    CRouterStatusDlg& operator=(const CRouterStatusDlg&) = delete;

    // Message handlers, called by the front end.
    bool OnInitDialog();
    void OnClose();                 // WM_CLOSE: the close sequence, then the dialog ends
    void OnOK() { OnClose(); }      // Enter
    void OnCancel() { OnClose(); }  // Esc
    void OnExit();                  // button 1005 and menu item 32774
    void OnTimer(int timerId);
    // WM_SYSCOMMAND: true when the command was the about item.
    bool OnSysCommand(unsigned commandId);
    // WM_COMMAND from buttons and menu items: true when handled here.
    bool OnCommand(int commandId);
    void OnSizeMinimized();              // WM_SIZE with SIZE_MINIMIZED, after default processing
    void OnTrayNotify(TrayMouse mouse);  // the notification-area callback message
    void OnRightButtonUp();              // WM_RBUTTONUP in the client area
    void OnTaskbarCreated();             // the shell's notification area was rebuilt
    void OnTaskbarThemeChanged();        // the taskbar's colours changed (ImmersiveColorSet)

    // 通知を止める: balloons muted per `choice` (Resume ends a mute), the
    // end written to the settings file at once.
    void Mute(MuteChoice choice);

    // A job's result is waiting (the message the job runner posted).
    void OnJobDone();

    // A command handed over by a second start (already checked): carried out
    // as its button or menu item would be; `answer` gets its result once the
    // window has shown it (after 接続 and 切断, once the line has changed).
    void OnForwardedCommand(ToolCommand command, CommandAnswer answer);

    // Refresh: each starts a job; the window shows its result when it comes,
    // then tells `answer` (when given) the line's state.
    void RefreshAll(JobOrigin origin = JobOrigin::Poll, CommandAnswer answer = {});
    void ReadStatus();

    // Auto-disconnect: the check that timer 6 runs, and field 1009.
    void CheckAutoDisconnect();
    void ShowAutoDisconnectTime();

    // The 接続履歴 window (tray menu item and system menu item).
    void OnShowHistory();
    // The ログを見る window, and a source added to NotifyIgnore from it.
    void OnShowLogView();
    void IgnoreSource(const std::string& source);

    // Log capture and the settings sheet.
    void CaptureSystemLog(JobOrigin origin = JobOrigin::Poll, CommandAnswer answer = {});
    void OnSettings();

    // Commands: false when no job could be started (the tool is closing).
    bool OnConnect();
    bool OnDisconnect();

    // Notification-area icon and window placement.
    void AddTrayIcon();
    void UpdateTrayIcon();
    void RemoveTrayIcon();
    void MinimizeWindow();
    void RestoreWindow();
    int TrayPicture() const;

    void LoadSettings();
    // False when the file could not be written, with the system's reason.
    bool SaveSettings(std::string* reason = nullptr);
    // The router client's address and password and the log filters, from `settings`.
    void CopyWorkingSettings();

    // Ends the jobs (the last capture of a close may still run, for a short
    // bound). False when a worker could not be ended: the process should end
    // without waiting for it.
    bool EndJobs();

    // The window caption: "Velmo tool ver. 1.10".
    static std::string Caption();

    // Read-only views of the window's state, for the tests.
    const ToolSettings& Settings() const { return settings; }
    const RouterClient& Router() const { return router; }
    const std::string& SettingsPath() const { return settingsPath; }
    bool RouterReachable() const { return routerReachable; }
    bool Connected() const { return connected; }
    bool FollowUpActive() const { return followUp != LineCommand::None; }
    bool AccessWarning() const { return accessWarning; }
    const NotificationState& Notifications() const { return notifications_; }
    const ConnectionRecord& Record() const { return record_; }
    // The jobs, for the tests to run (their runner works by hand there).
    JobRunner& Jobs() { return jobs_; }

  private:
    // How far the window is in closing.
    enum class ClosePhase {
        Open,
        AfterQuestion,  // a close came while the auto-disconnect question was open
        Closed,         // the close sequence ran
    };

    void LoadFromCurrentDirectory();
    bool Submit(JobKind kind, JobOrigin origin, JobRunner::Work work);
    // The user's 接続 or 切断 (the buttons, the menu, a forwarded command).
    bool SubmitCommand(bool dial, CommandAnswer answer = {});
    // 接続 or 切断 sent to the router, whoever asked for it.
    bool StartLineCommand(bool dial, CommandAnswer answer);
    JobRunner::Work CaptureJob(CommandAnswer answer = {});
    // The line as the window shows it now.
    CommandResult ShownLine() const;
    // After a forwarded 接続 or 切断 was shown: answers at once when nothing
    // was sent, else waits for the status reading that shows the change.
    void AwaitLineChange(const CommandReading& reading, bool dial, CommandAnswer answer);
    void NoteLineChange(const StatusReading& reading);
    // The reading in the connection record; a record that cannot be written
    // gives one balloon per run of failures.
    SessionEvents NoteRecord(const StatusReading& reading, LineCommand command);
    void AnswerLineWait(const CommandResult& result);
    // What a job found, shown; `command` is the command whose change a reading may show.
    void ShowRefresh(const RefreshReading& reading, LineCommand command);
    void ShowStatus(const StatusReading& reading, LineCommand command);
    void ShowCapture(const CaptureResult& result);
    // A command's result: its refresh (which may show the change of
    // `refreshShows`), then the follow-up window of `command`.
    void ShowCommand(const CommandReading& reading, LineCommand refreshShows, LineCommand command);
    void ShowSlowAddress();
    void RestartRefreshTimer();
    void ApplyPollRule();
    void HangUpAutomatically();
    void StartTimer(int timerId, std::int32_t milliseconds);
    // Timers 1, 2 and 4, which start only while no modal window is open.
    void StartPollTimer(int timerId, std::int32_t milliseconds);
    // A modal window of the tool opens: timers 1, 2 and 4 stop until the
    // last one closes, then start again.
    void HoldPolls();
    void ResumePolls();
    // Shows `balloon` at the tray icon when its kind's switch is on.
    void Announce(const std::optional<Balloon>& balloon);
    // The tooltip: caption, the log file's note, the mute's note.
    std::string TrayTooltip();
    // Timer 7 set for the end of the mute (a passed one is cleared).
    void StartMuteTimer();
    void EndMute();
    // What the record made of a status reading, for the redial after a drop
    // and the next line-up balloon; `seenUp`: the reading shows the line up.
    // Then timer 8's step of the redial.
    void NoteLineEvents(const SessionEvents& events, bool seenUp);
    void Redial();

    // The window's state, in the order of its design; only the window's own
    // handlers change it.
    bool trayIconAdded = false;
    std::uint32_t trayIconId = 1;
    RouterClient router;  // working address and password, command index, tables
    bool recordLogin = false;
    bool recordLogout = false;
    bool recordSubInfo = false;
    std::string settingsPath;
    bool routerReachable = false;
    bool connected = false;
    LineCommand followUp = LineCommand::None;  // the command whose follow-up window is open
    bool accessWarning = false;
    DateTime lastDisconnectCheck;
    ToolSettings settings;

    WindowHost& host_;
    TrayHost& tray_;
    Clock& clock_;
    ClosePhase closePhase_ = ClosePhase::Open;
    int modalWindows_ = 0;                // the tool's modal windows open now
    bool questionOpen_ = false;           // one of them is the auto-disconnect question
    NotificationState notifications_;     // what the balloons remember
    std::optional<bool> logNewestFirst_;  // how the router lists its log, once a page showed it
    RedialState redial_;                  // the redial after a drop (AutoRedial)
    CommandAnswer lineAnswer_;            // a forwarded 接続 or 切断 waiting for the line to change
    bool lineWantUp_ = false;
    std::uint32_t lineSince_ = 0;              // tick count when its command's result was shown
    std::vector<std::string> ignoredSources_;  // parsed from NotifyIgnore
    TaskbarTheme taskbarTheme_ = TaskbarTheme::Unknown;
    ConnectionRecord record_;                 // the line sessions, kept on the window's thread
    bool commandChangeSeen_ = false;          // a reading has shown the change the last command asked for
    std::optional<DateTime> lineWentDownAt_;  // when the line last went down, as the record tells it
    JobRunner jobs_;                          // last: its worker ends before the rest goes
};

}  // namespace velmo
