// The main status window: owns every piece of run-time state of the tool and
// handles its messages. It never sees a window handle; every visible effect
// goes through the WindowHost and TrayHost ports.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/LineWatch.h"
#include "app/Notifications.h"
#include "app/NotifyMute.h"
#include "app/PollPlan.h"
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
    void OnClose();  // WM_CLOSE: the close sequence, then the dialog ends
    // WM_ENDSESSION (Windows shuts down or the user logs off): the close
    // sequence and the end of the jobs before it returns, within the close bound.
    void OnEndSession();
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
    // The computer goes to sleep (PBT_APMSUSPEND): nothing more touches the
    // router. It woke up (PBT_APMRESUMEAUTOMATIC): a refresh at once, and
    // readings that fail while the network comes back are not the router's.
    void OnSuspend();
    void OnResume();

    // 通知を止める: balloons muted per `choice` (Resume ends a mute), the
    // end written to the settings file at once.
    void Mute(MuteChoice choice);

    // A job's result is waiting (the message the job runner posted).
    void OnJobDone();

    // A command handed over by a second start (already checked): carried out
    // as its button or menu item would be; `answer` gets its result once the
    // window has shown it (after 接続 and 切断, once the line has changed).
    void OnForwardedCommand(ToolCommand command, CommandAnswer answer);
    // The close sequence has begun: the window takes nothing more from a second start.
    bool Closed() const { return closed_; }

    // Refresh: each starts a job; the window shows its result when it comes,
    // then tells `answer` (when given) the line's state.
    void RefreshAll(JobOrigin origin = JobOrigin::Poll, CommandAnswer answer = {});
    void ReadStatus();

    // Auto-disconnect: the check that timer 6 runs, the answer of its
    // question, and field 1009.
    void CheckAutoDisconnect();
    void OnAutoDisconnectAnswer(bool goAhead);
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
    // Sets the string table's language from `settings`; false when unchanged.
    bool SpeakSettingsLanguage();
    // The caption and the system menu items, in the language spoken now.
    void ShowOwnTexts();
    void ShowNewLanguage();
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
    bool Connected() const { return line_.shownUp; }
    const LineState& Line() const { return line_; }
    bool FollowUpActive() const { return followUp != LineCommand::None; }
    bool AccessWarning() const { return accessWarning; }
    const NotificationState& Notifications() const { return notifications_; }
    const ConnectionRecord& Record() const { return record_; }
    // The jobs, for the tests to run (their runner works by hand there).
    JobRunner& Jobs() { return jobs_; }

  private:
    // The tool's modal windows, each open at most once at a time.
    enum Modal : unsigned {
        kAboutOpen = 1u << 0,
        kSettingsOpen = 1u << 1,
    };

    void LoadFromCurrentDirectory();
    // What OnCommand does before the timers follow.
    bool HandleCommand(int commandId);
    void HandleForwardedCommand(ToolCommand command, CommandAnswer answer);
    // The close sequence itself: settings saved, the tool off the screen, the
    // last capture handed to the worker, the dialog ended.
    void CloseNow();
    bool Submit(JobKind kind, JobOrigin origin, JobRunner::Work work);
    // A line command of the tool (the buttons, the menu, a forwarded command,
    // the redial): one in flight, written down before it is sent.
    bool StartLineCommand(LineCommand command, CommandAnswer answer = {}, bool redialTry = false);
    JobRunner::Work CaptureJob(CommandAnswer answer = {});
    // The line as the window shows it now.
    CommandResult ShownLine() const;
    void AnswerLineWaiters(const CommandResult& result);
    // What a job found, shown. `commandMayOwn` is false for the refresh a
    // command's job made before sending it.
    void ShowRefresh(const RefreshReading& reading, const LineReading& moment, bool commandMayOwn);
    void ShowStatus(const StatusReading& reading, const LineReading& moment, bool commandMayOwn = true);
    void ShowCapture(const CaptureResult& result);
    // A line command's result: whether it was sent (a dial that found the
    // line up sends nothing), its refresh, then the follow-up window of `command`.
    void ShowCommand(const CommandReading& reading, const LineReading& moment, LineCommand command,
                     std::uint64_t flight, bool sent, bool refreshAfter);
    // The slow-address message, shown once the results that came with it
    // have all been shown.
    void ShowSlowAddress();
    // A job that failed meanwhile met the computer asleep or its network coming back, not a silent router.
    bool NetworkAway() const { return asleep_ || clock_.Tick() < quietUntil_; }
    void HangUpAutomatically();
    void SendAutomaticHangUp(bool wasMinimized);
    // The timers as the window's state says (app/PollPlan.h), after every event.
    PollState PollStateNow() const;
    void ApplyTimers();
    // Runs `show` (a modal window of the tool) with `modal` marked open.
    template <typename Show>
    auto WithModal(Modal modal, Show show) {
        modalsOpen_ |= modal;
        ApplyTimers();
        auto result = show();
        modalsOpen_ &= ~static_cast<unsigned>(modal);
        ApplyTimers();
        return result;
    }
    // Shows `balloon` at the tray icon when its kind's switch is on.
    void Announce(const std::optional<Balloon>& balloon);
    // The rows and the kept line into the record; a record that cannot be
    // written gives a balloon when it starts failing and a note in the tooltip.
    void WriteRecord(const std::vector<Session>& ended);
    // How the settings' poll intervals bound the readings, for the line's owner.
    LineLimits Limits() const;
    void AnnounceRecordFailure();
    // The tooltip: caption, the log file's note, the mute's note.
    std::string TrayTooltip();
    // When timer 7 looks at the mute again (a passed one is cleared).
    void PlanMuteEnd();
    void EndMute();
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
    LineCommand followUp = LineCommand::None;  // the command whose follow-up window polls the line
    bool accessWarning = false;
    DateTime lastDisconnectCheck;
    ToolSettings settings;

    WindowHost& host_;
    TrayHost& tray_;
    Clock& clock_;
    bool started_ = false;     // OnInitDialog ran: the timers run from then on
    bool closed_ = false;      // the close sequence ran
    unsigned modalsOpen_ = 0;  // the Modal windows open now
    // The auto-disconnect question is up; the value: the window sat in the
    // notification area when it opened (it goes back there unless the line is hung up).
    std::optional<bool> questionOpen_;
    bool asleep_ = false;  // between suspend and resume
    // A reading that fails before this tick is the network coming back after sleep.
    std::uint64_t quietUntil_ = 0;
    bool slowAddressToShow_ = false;
    // What the timers follow from: when the latest reading of each kind
    // ended, how many jobs of each kind are under way, and the moments the
    // window keeps (ticks); and the timers as they were last applied.
    std::uint64_t refreshEnded_ = 0;
    std::uint64_t statusEnded_ = 0;
    std::uint64_t captureEnded_ = 0;
    std::array<int, 4> underWay_{};  // by JobKind
    std::optional<std::uint64_t> followUpEnds_;
    std::optional<std::uint64_t> accessWarningEnds_;
    std::optional<std::uint64_t> autoDisconnectDue_;
    std::optional<std::uint64_t> muteCheckDue_;
    TimerPlan appliedTimers_{};
    NotificationState notifications_;         // what the balloons remember
    std::optional<CaptureLedger> logLedger_;  // what the last capture saw and wrote, for the next
    LineState line_;                          // the line: its one owner
    std::vector<CommandAnswer> lineWaiters_;  // forwarded commands waiting for the line command in flight
    // The line command asked last (its job sends it, a replaced one's not),
    // and the last whose job sent it or tried to.
    std::atomic<std::uint64_t> askedFlight_{0};
    std::atomic<std::uint64_t> triedFlight_{0};
    std::vector<CommandAnswer> captureWaiters_;  // forwarded captures waiting for the one under way
    std::vector<CommandAnswer> refreshWaiters_;  // forwarded refreshes waiting for the one under way
    std::vector<std::string> ignoredSources_;    // parsed from NotifyIgnore
    TaskbarTheme taskbarTheme_ = TaskbarTheme::Unknown;
    ConnectionRecord record_;    // the record's files, written on the window's thread
    std::string recordFailure_;  // why the record cannot be written; empty while it can
    JobRunner jobs_;             // last: its worker ends before the rest goes
};

}  // namespace velmo
