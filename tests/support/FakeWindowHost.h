// A window host that records what the window logic asked for.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/WindowHost.h"

namespace velmo::testing {

class FakeWindowHost final : public WindowHost {
  public:
    void AddAboutItemToSystemMenu(const std::string& text) override { aboutItem = text; }
    void AddSystemMenuItem(unsigned, const std::string&) override {}
    void ShowLanguage() override { calls.push_back("language"); }
    unsigned DisplayLanguageId() override { return displayLanguageId; }
    void SetWindowIcons() override { iconsSet = true; }
    void SetCaption(const std::string& text) override { caption = text; }
    void CenterWindow() override { centred = true; }
    void SetFieldText(int controlId, const std::string& text) override { fields[controlId] = text; }
    void StartTimer(int timerId, std::uint32_t ms) override {
        timers[timerId] = ms;
        calls.push_back("start " + std::to_string(timerId) + " " + std::to_string(ms));
    }
    void StopTimer(int timerId) override {
        timers.erase(timerId);
        calls.push_back("stop " + std::to_string(timerId));
    }
    void ShowMessage(const std::string& title, const std::string& text) override {
        messages.push_back(title + "|" + text);
        calls.push_back("message");
    }
    void SetMinimizedPlacement() override {
        minimized = true;
        calls.push_back("minimize");
    }
    void SetRestoredPlacement() override {
        minimized = false;
        calls.push_back("restore");
    }
    bool IsMinimized() override { return minimized; }
    void Hide() override {
        hidden = true;
        calls.push_back("hide");
    }
    void BringToForeground() override { calls.push_back("foreground"); }
    void PostMinimizedSize() override { calls.push_back("post size minimized"); }
    void PostClose() override { calls.push_back("post close"); }
    // The jobs run by hand on the test's thread, so this is called there too.
    void PostJobDone() override { ++jobsDone; }
    void EndDialog(int result) override {
        endResult = result;
        confirmOpen = false;  // the close takes the question with it, unanswered
        calls.push_back("end " + std::to_string(result));
    }
    void RunAboutBox() override { calls.push_back("about"); }
    int RunSettingsSheet(SettingsPages& pages) override {
        calls.push_back("settings sheet");
        if (onSettingsSheet) {
            return onSettingsSheet(pages);
        }
        return IDCANCEL;
    }
    void OpenAutoDisconnectConfirm() override {
        confirmOpen = true;
        calls.push_back("confirm");
    }
    bool IsEnabled() override { return enabled; }
    void BringLastActivePopupToFront() override { calls.push_back("popup to front"); }
    void ShowTrayMenu(bool muted) override {
        menuShownMuted = muted;
        if (onShowTrayMenu) {
            onShowTrayMenu();
        }
    }

    void ShowHistory(const HistoryView& view, const std::string&) override { history = view; }
    void ShowLogView(const std::string& archivePath,
                     std::function<void(const std::string&)> ignore) override {
        logViewPath = archivePath;
        ignoreSource = std::move(ignore);
    }

    bool TimerRunning(int id) const { return timers.count(id) != 0; }

    std::string aboutItem, caption;
    HistoryView history;      // what the 接続履歴 window was shown last
    std::string logViewPath;  // the archive the ログを見る window was shown on last
    std::function<void(const std::string&)> ignoreSource;
    bool enabled = true;
    bool confirmOpen = false;  // the question is up: the test answers it
    std::function<void()> onShowTrayMenu;
    bool menuShownMuted = false;  // what the last ShowTrayMenu was told
    std::function<int(SettingsPages&)> onSettingsSheet;
    unsigned displayLanguageId = 0x0411;  // Japanese
    bool iconsSet = false, centred = false, minimized = false, hidden = false;
    int endResult = -1;
    std::atomic<int> jobsDone{0};
    std::map<int, std::string> fields;
    std::map<int, std::uint32_t> timers;
    std::vector<std::string> messages;
    std::vector<std::string> calls;
};

}  // namespace velmo::testing
