// The 接続履歴 window: a bar per day of the last 30 days, the sums under
// them, and the buttons 記録を開く and 報告をコピー. A top-level window of its
// own, not owned by the main window, so it stays up while the main window
// sits in the notification area. Drawn with GDI at its monitor's DPI.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "history/HistorySums.h"
#include "win32/OwnWindow.h"

namespace velmo {

class HistoryWindow {
  public:
    explicit HistoryWindow(HINSTANCE instance) : instance_(instance) {}
    ~HistoryWindow();
    HistoryWindow(const HistoryWindow&) = delete;
    HistoryWindow& operator=(const HistoryWindow&) = delete;

    // Opens the window, or brings it to the front, showing `view`.
    void Show(const HistoryView& view, const std::string& recordPath);
    // Sets every text the open window shows again from the table, in the
    // language the tool speaks now.
    void ShowLanguage();
    // Destroys the window when it is open.
    void Close();

  private:
    template <typename Owner>
    friend LRESULT CALLBACK ForwardToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool Create();
    void SetDpi(UINT dpi);
    int Scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, static_cast<int>(dpi_), 96); }
    void Layout();
    void Paint(HDC dc, const RECT& client);
    void PaintBars(HDC dc, const RECT& area);
    void PaintLegend(HDC dc, int y);
    void CopyReport();
    void OpenRecord();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND openButton_ = nullptr;
    HWND copyButton_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
    HistoryView view_;
    std::string recordPath_;
    std::vector<DayBar> bars_;
    std::vector<std::string> summary_;
};

}  // namespace velmo
