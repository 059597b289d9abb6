// The main window's port to the platform: every visible effect of the window
// logic goes through it. The Windows front end implements it with Win32 calls,
// tests with a fake that records the calls.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "history/HistorySums.h"
#include "res/resource.h"
#include "settings/SettingsPages.h"

namespace velmo {

class WindowHost {
  public:
    virtual ~WindowHost() = default;

    // Removes Maximize and Size from the system menu and appends a separator
    // and the about item (command 16) with `text`; when the item is there
    // already, gives it `text`.
    virtual void AddAboutItemToSystemMenu(const std::string& text) = 0;
    // Appends an item with `commandId` (low four bits zero) and `text` to the
    // system menu; when the item is there already, gives it `text`.
    virtual void AddSystemMenuItem(unsigned commandId, const std::string& text) = 0;
    // Shows the window and the other open windows (history, log view) in the
    // language the string table speaks now: the window's controls take the
    // texts and places of its layout in that language. The texts the window
    // logic sets itself (caption, fields, system menu) it sets again.
    virtual void ShowLanguage() = 0;
    // The Windows display language, as a language id (0x0411 Japanese): the
    // language the user's Windows shows its own menus in, not the region's
    // formats, the keyboard or the ANSI code page.
    virtual unsigned DisplayLanguageId() = 0;
    // Sets the application icon as the big and the small window icon.
    virtual void SetWindowIcons() = 0;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void CenterWindow() = 0;
    virtual void SetFieldText(int controlId, const std::string& text) = 0;

    virtual void StartTimer(int timerId, std::uint32_t milliseconds) = 0;
    virtual void StopTimer(int timerId) = 0;

    // Opens a message with an OK button over the window and returns at once:
    // the window goes on while it is up, and it goes when the user closes it
    // or with the main window.
    virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;

    // Window placement: minimised (the size handler then hides it) or restored.
    virtual void SetMinimizedPlacement() = 0;
    virtual void SetRestoredPlacement() = 0;
    virtual bool IsMinimized() = 0;
    virtual void Hide() = 0;
    virtual void BringToForeground() = 0;
    // Posts the size notification "minimised" to the window itself.
    virtual void PostMinimizedSize() = 0;

    // Posts the message that a job has ended to the window, whose thread then
    // calls OnJobDone. Called on a job's worker thread; must only post.
    virtual void PostJobDone() = 0;

    // Posts the close message to the window itself (the close sequence follows).
    virtual void PostClose() = 0;
    // Ends the modal main window with `result`. The tool's windows that stay
    // open beside it (the question, messages, 接続履歴) go with it; an open
    // question gives no answer, and one it gave that has not arrived yet is dropped.
    virtual void EndDialog(int result) = 0;

    // Runs the about box modally.
    virtual void RunAboutBox() = 0;

    // Runs the settings sheet modally on `pages`: IDOK when confirmed, else IDCANCEL.
    virtual int RunSettingsSheet(SettingsPages& pages) = 0;
    // Opens the auto-disconnect confirmation and returns at once: the window
    // goes on while it is up. Its answer comes to the window later, as a
    // message whose handler calls OnAutoDisconnectAnswer: go ahead (OK, or the
    // countdown ran out) or not (Cancel).
    virtual void OpenAutoDisconnectConfirm() = 0;

    // False while one of the tool's modal windows is up.
    virtual bool IsEnabled() = 0;
    // Brings the window's last active popup (the open modal window) to the front.
    virtual void BringLastActivePopupToFront() = 0;
    // Loads the popup menu, and tracks it at the mouse pointer with the window
    // in front; the chosen command arrives as a command message. 通知を再開 is
    // greyed unless the balloons are `muted`.
    virtual void ShowTrayMenu(bool muted) = 0;
    // Shows the 接続履歴 window with `view` (opened, or brought to the front
    // and drawn anew); it stays open beside the tool, modeless. `recordPath`
    // is the record file its 記録を開く button opens.
    virtual void ShowHistory(const HistoryView& view, const std::string& recordPath) = 0;
    // Shows the ログを見る window on the log archive `archivePath` (opened, or
    // brought to the front); modeless, one at a time. A source the user adds
    // to the ignore list there is handed to `ignoreSource`.
    virtual void ShowLogView(const std::string& archivePath,
                             std::function<void(const std::string& source)> ignoreSource) = 0;
};

}  // namespace velmo
