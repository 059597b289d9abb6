// The ログを見る window: the log archive as a virtual list (only the rows on
// screen are read), check boxes per kind, a search box, a date picker, the
// access sources, and bars of accesses and line drops per day. A top-level
// window of its own, so it stays up while the main window sits in the
// notification area; drawn at its monitor's DPI. It only translates: every
// decision is the core's LogViewer.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "logview/DayCounts.h"
#include "logview/LogViewer.h"
#include "win32/OwnWindow.h"

namespace velmo {

class LogViewWindow {
  public:
    explicit LogViewWindow(HINSTANCE instance) : instance_(instance) {}
    ~LogViewWindow();
    LogViewWindow(const LogViewWindow&) = delete;
    LogViewWindow& operator=(const LogViewWindow&) = delete;

    // Opens the window on `archivePath`, or brings it to the front.
    void Show(const std::string& archivePath, std::function<void(const std::string&)> ignoreSource);
    void Close();
    // Sets every text the open window shows again from the table, in the
    // language the tool speaks now, and lays the controls out for them.
    void ShowLanguage();

  private:
    template <typename Owner>
    friend LRESULT CALLBACK ForwardToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool Create();
    void CreateControls();
    HWND Control(const wchar_t* className, DWORD style, int id);
    void SetTexts();
    void SetDpi(UINT dpi);
    int Scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, static_cast<int>(dpi_), 96); }
    void SizeColumns();
    void Layout();
    bool OnNotify(NMHDR* header);
    void OnCommand(int id, int code);

    void ApplyFilter();
    // The address typed into the source box (Enter): filters to it, or says
    // it is not one.
    // Takes the address typed into the source box; false when the text is
    // not one address (the status line says so).
    bool ChooseTypedSource();
    static LRESULT CALLBACK SourceEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR self);
    void TakeUpdates();
    void ShowRowCount(bool keepBottom);
    void FillCell(NMLVDISPINFOW* info);
    const ShownRow* Row(std::uint64_t row);
    void UpdateStatus();
    void UpdateSources();
    void UpdateChart();
    void JumpTo(std::int32_t day);
    void PaintChart(HDC dc);
    void ClickChart(int x, int y);
    void CopyShown();
    void SaveCsv();
    void IgnoreChosen();
    void ShowExportResult(ExportResult result);

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND list_ = nullptr, search_ = nullptr, date_ = nullptr, source_ = nullptr, status_ = nullptr,
         progress_ = nullptr;
    std::vector<HWND> controls_;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;

    std::string archivePath_;
    std::function<void(const std::string&)> ignoreSource_;
    std::unique_ptr<LogViewer> viewer_;
    std::vector<ShownRow> cache_;
    std::uint64_t cacheFirst_ = 0;
    std::wstring cell_;
    std::vector<std::string> sources_;
    std::string chosenSource_;  // from the box's list or typed; empty for all
    int chartDays_ = 30;
    std::int32_t today_ = 0;
    DaySummary summary_;
    RECT chart_{};
    std::string note_;      // what the last export or ignore did
    std::wstring csvName_;  // the file the last CSV export writes
};

}  // namespace velmo
