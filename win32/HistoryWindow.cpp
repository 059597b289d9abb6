#include "win32/HistoryWindow.h"

#include <shellapi.h>

#include <algorithm>

#include "base/CodePage.h"
#include "base/Wide_win32.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "win32/DialogPlacement.h"
#include "win32/OwnWindow.h"

namespace velmo {

namespace {

constexpr wchar_t kClassName[] = L"VelmoToolHistory";

// Sizes at 96 DPI.
constexpr int kMargin = 12;
constexpr int kLabelWidth = 56;
constexpr int kHourRow = 18;
constexpr int kSummaryLine = 20;
constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 28;

COLORREF SpanColour(LineSpanKind kind) {
    switch (kind) {
        case LineSpanKind::Up:
            return RGB(56, 168, 72);
        case LineSpanKind::Down:
            return RGB(216, 56, 48);
        default:
            return RGB(208, 208, 208);
    }
}

void DrawSjis(HDC dc, int x, int y, const std::string& text) {
    const std::wstring wide = SjisToWide(text);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

}  // namespace

HistoryWindow::~HistoryWindow() {
    Close();
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

void HistoryWindow::Close() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void HistoryWindow::Show(const HistoryView& view, const std::string& recordPath) {
    view_ = view;
    recordPath_ = recordPath;
    bars_ = DayBars(view_);
    summary_ = SummaryLines(Totals(view_));
    if (window_ == nullptr && !Create()) {
        return;
    }
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window_);
    InvalidateRect(window_, nullptr, FALSE);
}

void HistoryWindow::ShowLanguage() {
    if (window_ == nullptr) {
        return;
    }
    summary_ = SummaryLines(Totals(view_));
    SetWindowTextW(window_, SjisToWide(TableString(IDS_HISTORY_TITLE)).c_str());
    SetWindowTextW(openButton_, SjisToWide(TableString(IDS_HISTORY_OPEN)).c_str());
    SetWindowTextW(copyButton_, SjisToWide(TableString(IDS_HISTORY_COPY)).c_str());
    InvalidateRect(window_, nullptr, FALSE);
}

bool HistoryWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ForwardToOwner<HistoryWindow>;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_APP));
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when registered before
    const std::wstring title = SjisToWide(TableString(IDS_HISTORY_TITLE));
    window_ = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              CW_USEDEFAULT, CW_USEDEFAULT, 640, 600, nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        return false;
    }
    SetDpi(WindowDpi(window_));
    CentreUnderPointer(window_, Scaled(640), Scaled(600));
    return true;
}

void HistoryWindow::SetDpi(UINT dpi) {
    dpi_ = dpi;
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    font_ = CreateDialogFont(dpi_);
    for (HWND button : {openButton_, copyButton_}) {
        if (button != nullptr) {
            SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
        }
    }
    Layout();
}

void HistoryWindow::Layout() {
    RECT client{};
    GetClientRect(window_, &client);
    const int y = client.bottom - Scaled(kMargin + kButtonHeight);
    const int width = Scaled(kButtonWidth);
    MoveWindow(copyButton_, client.right - Scaled(kMargin) - width, y, width, Scaled(kButtonHeight), TRUE);
    MoveWindow(openButton_, client.right - 2 * (Scaled(kMargin) + width) + Scaled(kMargin) / 2, y, width,
               Scaled(kButtonHeight), TRUE);
    InvalidateRect(window_, nullptr, FALSE);
}

LRESULT HistoryWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            openButton_ = CreateWindowW(L"BUTTON", SjisToWide(TableString(IDS_HISTORY_OPEN)).c_str(),
                                        WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0, window_,
                                        reinterpret_cast<HMENU>(IDC_HISTORY_OPEN), instance_, nullptr);
            copyButton_ = CreateWindowW(L"BUTTON", SjisToWide(TableString(IDS_HISTORY_COPY)).c_str(),
                                        WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0, window_,
                                        reinterpret_cast<HMENU>(IDC_HISTORY_COPY), instance_, nullptr);
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case kDpiChangedMessage:
            MoveToSuggestedRect(window_, lParam);
            SetDpi(HIWORD(wParam));
            return 0;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {Scaled(400), Scaled(360)};
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills every pixel
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window_, &paint);
            RECT client{};
            GetClientRect(window_, &client);
            // Drawn off screen first, so resizing does not flicker.
            HDC buffer = CreateCompatibleDC(dc);
            HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
            HGDIOBJ oldBitmap = SelectObject(buffer, bitmap);
            Paint(buffer, client);
            BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
            SelectObject(buffer, oldBitmap);
            DeleteObject(bitmap);
            DeleteDC(buffer);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_HISTORY_OPEN) {
                OpenRecord();
            } else if (LOWORD(wParam) == IDC_HISTORY_COPY) {
                CopyReport();
            }
            return 0;
        case WM_DESTROY:
            window_ = openButton_ = copyButton_ = nullptr;
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void HistoryWindow::Paint(HDC dc, const RECT& client) {
    FillColour(dc, client, GetSysColor(COLOR_WINDOW));
    HGDIOBJ oldFont = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const int summaryTop = client.bottom - Scaled(2 * kMargin + kButtonHeight) -
                           static_cast<int>(summary_.size()) * Scaled(kSummaryLine);
    PaintBars(dc, {client.left + Scaled(kMargin), client.top + Scaled(kMargin),
                   client.right - Scaled(kMargin), summaryTop - Scaled(kMargin)});
    PaintLegend(dc, summaryTop - Scaled(kSummaryLine));
    int y = summaryTop;
    for (const std::string& line : summary_) {
        SetBkMode(dc, TRANSPARENT);
        DrawSjis(dc, Scaled(kMargin), y, line);
        y += Scaled(kSummaryLine);
    }
    SelectObject(dc, oldFont);
}

void HistoryWindow::PaintBars(HDC dc, const RECT& area) {
    const int left = area.left + Scaled(kLabelWidth);
    const int width = std::max<int>(1, area.right - left);
    for (int hour = 0; hour <= 24; hour += 6) {
        DrawSjis(dc, left + width * hour / 24 - (hour == 24 ? Scaled(14) : 0), area.top,
                 std::to_string(hour));
    }
    const int top = area.top + Scaled(kHourRow);
    const int rows = std::max<int>(1, static_cast<int>(bars_.size()));
    const int pitch = std::max<int>(Scaled(6), (area.bottom - top) / rows);
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        const int y = top + static_cast<int>(i) * pitch;
        SetBkMode(dc, TRANSPARENT);
        DrawSjis(dc, area.left, y + (pitch - Scaled(14)) / 2, bars_[i].day.Format("%m/%d"));
        FillColour(dc, {left, y + 1, left + width, y + pitch - 1}, SpanColour(LineSpanKind::NotSeen));
        for (const LineSpan& span : bars_[i].spans) {
            const auto x = [&](const DateTime& at) {
                return left + static_cast<int>(at.SecondsSince(bars_[i].day) * width / 86400);
            };
            FillColour(dc, {x(span.from), y + 1, std::max(x(span.to), x(span.from) + 1), y + pitch - 1},
                       SpanColour(span.kind));
        }
    }
}

void HistoryWindow::PaintLegend(HDC dc, int y) {
    const std::pair<LineSpanKind, int> entries[] = {{LineSpanKind::Up, IDS_HISTORY_LEGEND_UP},
                                                    {LineSpanKind::Down, IDS_HISTORY_LEGEND_DOWN},
                                                    {LineSpanKind::NotSeen, IDS_HISTORY_LEGEND_NOT_SEEN}};
    int x = Scaled(kMargin + kLabelWidth);
    for (const auto& [kind, label] : entries) {
        FillColour(dc, {x, y + Scaled(3), x + Scaled(10), y + Scaled(13)}, SpanColour(kind));
        SetBkMode(dc, TRANSPARENT);
        const std::wstring text = SjisToWide(TableString(label));
        TextOutW(dc, x + Scaled(14), y, text.c_str(), static_cast<int>(text.size()));
        // A longer name pushes the next entry on.
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        x += std::max(Scaled(90), Scaled(14 + 12) + static_cast<int>(size.cx));
    }
}

void HistoryWindow::CopyReport() {
    const std::wstring text = SjisToWide(ReportText(view_));
    if (!OpenClipboard(window_)) {
        return;  // another program holds the clipboard; the user can press again
    }
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

void HistoryWindow::OpenRecord() {
    // With the program Windows associates with .csv files; nothing happens without one.
    ShellExecuteW(window_, L"open", SjisToWide(recordPath_).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace velmo
