#include "win32/LogViewWindow.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

#include "app/NotifyIgnore.h"
#include "base/CodePage.h"
#include "base/Wide_win32.h"
#include "logview/RowText.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "win32/DialogPlacement.h"
#include "win32/Messages.h"
#include "win32/OwnWindow.h"

namespace velmo {

namespace {

constexpr wchar_t kClassName[] = L"VelmoToolLogView";
constexpr UINT_PTR kFollowTimer = 1;     // looks at the archive's size
constexpr UINT_PTR kTypingTimer = 2;     // the search starts when typing pauses
constexpr std::size_t kHintRows = 2000;  // the most rows a cache hint reads (a page is tens)
constexpr std::size_t kClipboardRows = 100000;
constexpr std::size_t kListedSources = 1000;  // the most frequent, in the source box

// Sizes at 96 DPI.
constexpr int kMargin = 8;
constexpr int kRow = 24;
constexpr int kChartHeight = 120;
constexpr int kSourcesWidth = 230;
constexpr int kStatusHeight = 20;

// Each kind's check box, in the order of EntryKind.
constexpr int kKindBoxes[kEntryKindCount] = {IDC_LOGVIEW_KIND_ACCESS, IDC_LOGVIEW_KIND_LOGIN,
                                             IDC_LOGVIEW_KIND_LINE, IDC_LOGVIEW_KIND_OTHER};
constexpr int kColumnWidths[kRowColumns] = {150, 110, 120, 50, 520};
constexpr int kKindColumn = 1;
constexpr COLORREF kAccessColour = RGB(216, 72, 48);
constexpr COLORREF kDropColour = RGB(48, 96, 200);

// The controls of the two rows above the list: class, style, id, the least
// width (wider when the text needs it). The kind boxes take the kinds' names;
// the days button's text names the other span.
struct ControlRow {
    const wchar_t* className;
    DWORD style;
    int id;
    int width;
};
const ControlRow kControls[] = {
    {L"BUTTON", BS_AUTOCHECKBOX, IDC_LOGVIEW_KIND_ACCESS, 100},
    {L"BUTTON", BS_AUTOCHECKBOX, IDC_LOGVIEW_KIND_LOGIN, 140},
    {L"BUTTON", BS_AUTOCHECKBOX, IDC_LOGVIEW_KIND_LINE, 60},
    {L"BUTTON", BS_AUTOCHECKBOX, IDC_LOGVIEW_KIND_OTHER, 70},
    {L"EDIT", WS_BORDER | ES_AUTOHSCROLL, IDC_LOGVIEW_SEARCH, 200},
    {L"BUTTON", BS_PUSHBUTTON, IDC_LOGVIEW_CANCEL, 50},
    {DATETIMEPICK_CLASSW, DTS_SHORTDATEFORMAT, IDC_LOGVIEW_DATE, 110},
    {L"BUTTON", BS_PUSHBUTTON, IDC_LOGVIEW_JUMP, 50},
    {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, IDC_LOGVIEW_SOURCE, 170},
    {L"BUTTON", BS_PUSHBUTTON, IDC_LOGVIEW_IGNORE, 80},
    {L"BUTTON", BS_PUSHBUTTON, IDC_LOGVIEW_COPY, 60},
    {L"BUTTON", BS_PUSHBUTTON, IDC_LOGVIEW_CSV, 70},
    {L"BUTTON", BS_PUSHBUTTON, IDC_LOGVIEW_DAYS, 50},
};
constexpr std::size_t kFirstRowControls = 6;  // the rest stand on the second row

// The push buttons' texts.
constexpr std::pair<int, int> kButtonTexts[] = {{IDC_LOGVIEW_CANCEL, IDS_LOGVIEW_CANCEL},
                                                {IDC_LOGVIEW_JUMP, IDS_LOGVIEW_JUMP},
                                                {IDC_LOGVIEW_IGNORE, IDS_LOGVIEW_IGNORE},
                                                {IDC_LOGVIEW_COPY, IDS_LOGVIEW_COPY},
                                                {IDC_LOGVIEW_CSV, IDS_LOGVIEW_CSV}};

// Room beside a control's text at 96 DPI: a check box's box, a button's edges.
constexpr int kCheckBoxRoom = 20;
constexpr int kButtonRoom = 14;

std::wstring Text(int id) {
    return SjisToWide(TableString(id));
}

std::wstring Filled(int id, const std::string& value) {
    return SjisToWide(FilledString(id, {value}));
}

// The days button names the span it switches the chart to.
std::wstring DaysButtonText(int chartDays) {
    return Filled(IDS_LOGVIEW_DAYS, chartDays == 30 ? "90" : "30");
}

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
}

std::int32_t Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return DayNumber(now.wYear, now.wMonth, now.wDay);
}

void Draw(HDC dc, int x, int y, const std::wstring& text) {
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// The CSV file an export writes, closed by the export or when it is dropped.
class CsvFile final : public ExportSink {
  public:
    explicit CsvFile(std::FILE* file) : file_(file) {}
    ~CsvFile() override {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;
    bool Write(std::string_view bytes) override {
        return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
    }
    bool Close() override {
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return closed;
    }

  private:
    std::FILE* file_;
};

std::string Thousands(std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

}  // namespace

LogViewWindow::~LogViewWindow() {
    Close();
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

void LogViewWindow::Close() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void LogViewWindow::Show(const std::string& archivePath,
                         std::function<void(const std::string&)> ignoreSource) {
    ignoreSource_ = std::move(ignoreSource);
    if (window_ == nullptr || archivePath != archivePath_) {
        Close();
        archivePath_ = archivePath;
        if (!Create()) {
            return;
        }
    }
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window_);
}

bool LogViewWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ForwardToOwner<LogViewWindow>;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_APP));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when registered before
    window_ = CreateWindowExW(0, kClassName, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                              CW_USEDEFAULT, 960, 680, nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        return false;
    }
    // Centred on the work area of the screen under the pointer, at its DPI.
    SetDpi(WindowDpi(window_));
    CentreUnderPointer(window_, Scaled(960), Scaled(680));

    HWND window = window_;
    chosenSource_.clear();
    viewer_ = std::make_unique<LogViewer>(archivePath_,
                                          [window] { PostMessageW(window, kLogViewWakeMessage, 0, 0); });
    viewer_->Start();
    SetTimer(window_, kFollowTimer, 1000, nullptr);
    today_ = Today();
    UpdateStatus();
    return true;
}

HWND LogViewWindow::Control(const wchar_t* className, DWORD style, int id) {
    HWND control =
        CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 0, 0, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    controls_.push_back(control);
    return control;
}

void LogViewWindow::CreateControls() {
    for (const ControlRow& row : kControls) {
        HWND control = Control(row.className, row.style, row.id);
        if (row.style == BS_AUTOCHECKBOX) {
            SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
        }
    }
    search_ = GetDlgItem(window_, IDC_LOGVIEW_SEARCH);
    date_ = GetDlgItem(window_, IDC_LOGVIEW_DATE);
    source_ = GetDlgItem(window_, IDC_LOGVIEW_SOURCE);
    // Enter in the box's edit field chooses the address typed there (the
    // list holds only the most frequent sources).
    COMBOBOXINFO box{};
    box.cbSize = sizeof box;
    if (GetComboBoxInfo(source_, &box) && box.hwndItem != nullptr) {
        SetWindowSubclass(box.hwndItem, SourceEditProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    list_ =
        Control(WC_LISTVIEWW, WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, IDC_LOGVIEW_LIST);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (int i = 0; i < kRowColumns; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = kColumnWidths[i];
        ListView_InsertColumn(list_, i, &column);
    }
    status_ = Control(L"STATIC", SS_LEFTNOWORDWRAP, IDC_LOGVIEW_STATUS);
    progress_ = Control(PROGRESS_CLASSW, 0, 0);
    SendMessageW(progress_, PBM_SETRANGE32, 0, 1000);
    SetTexts();
    UpdateSources();
}

void LogViewWindow::SetTexts() {
    SetWindowTextW(window_, (Text(IDS_LOGVIEW_TITLE) + L" - " + SjisToWide(archivePath_)).c_str());
    for (int kind = 0; kind < kEntryKindCount; ++kind) {
        SetDlgItemTextW(window_, kKindBoxes[kind],
                        SjisToWide(KindName(static_cast<EntryKind>(kind))).c_str());
    }
    for (const auto& [control, text] : kButtonTexts) {
        SetDlgItemTextW(window_, control, Text(text).c_str());
    }
    SetDlgItemTextW(window_, IDC_LOGVIEW_DAYS, DaysButtonText(chartDays_).c_str());
    SendMessageW(search_, EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(Text(IDS_LOGVIEW_SEARCH_CUE).c_str()));
    const auto titles = ColumnTitles();
    for (int i = 0; i < kRowColumns; ++i) {
        std::wstring title = SjisToWide(titles[static_cast<std::size_t>(i)]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = title.data();
        ListView_SetColumn(list_, i, &column);
    }
}

void LogViewWindow::ShowLanguage() {
    if (window_ == nullptr) {
        return;
    }
    note_.clear();  // it spoke of what was done, in the language of then
    SetTexts();
    SizeColumns();
    Layout();
    UpdateSources();
    UpdateStatus();
    InvalidateRect(list_, nullptr, FALSE);
}

void LogViewWindow::SetDpi(UINT dpi) {
    dpi_ = dpi;
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    font_ = CreateDialogFont(dpi_);
    for (HWND control : controls_) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
    SizeColumns();
    Layout();
}

// The columns at their widths for the DPI; the kind column at least as wide
// as the access kind's name, the kind of most rows.
void LogViewWindow::SizeColumns() {
    if (list_ == nullptr) {
        return;
    }
    HDC dc = GetDC(list_);
    HGDIOBJ oldFont = SelectObject(dc, font_);
    const int accessWidth = TextWidth(dc, SjisToWide(KindName(EntryKind::Access))) + Scaled(kButtonRoom);
    SelectObject(dc, oldFont);
    ReleaseDC(list_, dc);
    for (int i = 0; i < kRowColumns; ++i) {
        const int width = Scaled(kColumnWidths[i]);
        ListView_SetColumnWidth(list_, i, i == kKindColumn ? std::max(width, accessWidth) : width);
    }
}

void LogViewWindow::Layout() {
    if (list_ == nullptr) {
        return;
    }
    RECT client{};
    GetClientRect(window_, &client);
    int x = Scaled(kMargin);
    int y = Scaled(kMargin);
    HDC dc = GetDC(window_);
    HGDIOBJ oldFont = SelectObject(dc, font_);
    for (std::size_t i = 0; i < std::size(kControls); ++i) {
        if (i == kFirstRowControls) {
            x = Scaled(kMargin);
            y += Scaled(kRow + 4);
        }
        const ControlRow& row = kControls[i];
        HWND control = GetDlgItem(window_, row.id);
        int width = Scaled(row.width);
        if (row.style == BS_AUTOCHECKBOX || row.style == BS_PUSHBUTTON) {
            const int length = GetWindowTextLengthW(control);
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            GetWindowTextW(control, text.data(), length + 1);
            text.resize(static_cast<std::size_t>(length));
            const int room = row.style == BS_AUTOCHECKBOX ? kCheckBoxRoom : kButtonRoom;
            width = std::max(width, TextWidth(dc, text) + Scaled(room));
        }
        const int height = row.id == IDC_LOGVIEW_SOURCE ? Scaled(300) : Scaled(kRow);
        MoveWindow(control, x, y, width, height, TRUE);
        x += width + Scaled(6);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(window_, dc);
    const int listTop = y + Scaled(kRow + 6);
    const int statusTop = client.bottom - Scaled(kMargin + kStatusHeight);
    const int chartTop = statusTop - Scaled(kChartHeight + 4);
    MoveWindow(list_, Scaled(kMargin), listTop, client.right - 2 * Scaled(kMargin),
               chartTop - listTop - Scaled(4), TRUE);
    chart_ = {Scaled(kMargin), chartTop, client.right - Scaled(kMargin), chartTop + Scaled(kChartHeight)};
    MoveWindow(status_, Scaled(kMargin), statusTop, client.right - Scaled(3 * kMargin + 160),
               Scaled(kStatusHeight), TRUE);
    MoveWindow(progress_, client.right - Scaled(kMargin + 160), statusTop, Scaled(160),
               Scaled(kStatusHeight - 4), TRUE);
    InvalidateRect(window_, nullptr, TRUE);
}

LRESULT LogViewWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateControls();
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case kDpiChangedMessage:
            MoveToSuggestedRect(window_, lParam);
            SetDpi(HIWORD(wParam));
            return 0;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {Scaled(640), Scaled(420)};
            return 0;
        case kLogViewWakeMessage:
            TakeUpdates();
            return 0;
        case WM_TIMER:
            if (wParam == kTypingTimer) {
                KillTimer(window_, kTypingTimer);
                ApplyFilter();
            } else if (viewer_ != nullptr) {
                if (Today() != today_) {
                    today_ = Today();
                    UpdateChart();
                }
                viewer_->CheckArchive();
                UpdateStatus();
            }
            return 0;
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<NMHDR*>(lParam)) ? TRUE : 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_LBUTTONDOWN:
            ClickChart(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window_, &paint);
            PaintChart(dc);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_DESTROY:
            KillTimer(window_, kFollowTimer);
            if (viewer_ != nullptr) {
                if (const std::optional<ExportResult> exported = viewer_->StopExport()) {
                    ShowExportResult(*exported);  // a CSV file the close cut short goes
                }
            }
            viewer_.reset();  // stops its job before the window goes
            window_ = list_ = search_ = date_ = source_ = status_ = progress_ = nullptr;
            controls_.clear();
            cache_.clear();
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

bool LogViewWindow::OnNotify(NMHDR* header) {
    if (header->idFrom == IDC_LOGVIEW_LIST && header->code == LVN_GETDISPINFOW) {
        FillCell(reinterpret_cast<NMLVDISPINFOW*>(header));
        return true;
    }
    if (header->idFrom == IDC_LOGVIEW_LIST && header->code == LVN_ODCACHEHINT && viewer_ != nullptr) {
        // The rows the list is about to draw: read those alone, once.
        const auto* hint = reinterpret_cast<const NMLVCACHEHINT*>(header);
        if (hint->iFrom >= 0 && hint->iTo >= hint->iFrom) {
            const auto from = static_cast<std::uint64_t>(hint->iFrom);
            const auto to = static_cast<std::uint64_t>(hint->iTo);
            if (from < cacheFirst_ || to >= cacheFirst_ + cache_.size()) {
                cacheFirst_ = from;
                viewer_->ReadRows(from,
                                  static_cast<std::size_t>(std::min<std::uint64_t>(to - from + 1, kHintRows)),
                                  cache_);
            }
        }
        return true;
    }
    if (header->idFrom == IDC_LOGVIEW_DATE && header->code == DTN_DATETIMECHANGE) {
        OnCommand(IDC_LOGVIEW_JUMP, BN_CLICKED);
    }
    return false;
}

void LogViewWindow::OnCommand(int id, int code) {
    if (viewer_ == nullptr) {
        return;
    }
    switch (id) {
        case IDC_LOGVIEW_SEARCH:
            if (code == EN_CHANGE) {
                SetTimer(window_, kTypingTimer, 400, nullptr);
            }
            return;
        case IDC_LOGVIEW_SOURCE:
            if (code == CBN_SELCHANGE) {
                const int chosen = static_cast<int>(SendMessageW(source_, CB_GETCURSEL, 0, 0));
                if (chosen >= 0) {
                    chosenSource_ = chosen > 0 && static_cast<std::size_t>(chosen) <= sources_.size()
                                        ? sources_[static_cast<std::size_t>(chosen) - 1]
                                        : std::string();
                    ApplyFilter();
                }
            }
            return;
        case IDC_LOGVIEW_CANCEL:
            viewer_->Cancel();
            UpdateStatus();
            return;
        case IDC_LOGVIEW_JUMP: {
            SYSTEMTIME chosen{};
            if (DateTime_GetSystemtime(date_, &chosen) == GDT_VALID) {
                JumpTo(DayNumber(chosen.wYear, chosen.wMonth, chosen.wDay));
            }
            return;
        }
        case IDC_LOGVIEW_IGNORE:
            IgnoreChosen();
            return;
        case IDC_LOGVIEW_COPY:
            CopyShown();
            return;
        case IDC_LOGVIEW_CSV:
            SaveCsv();
            return;
        case IDC_LOGVIEW_DAYS:
            chartDays_ = chartDays_ == 30 ? 90 : 30;
            SetDlgItemTextW(window_, IDC_LOGVIEW_DAYS, DaysButtonText(chartDays_).c_str());
            UpdateChart();
            return;
        default:
            if (std::find(std::begin(kKindBoxes), std::end(kKindBoxes), id) != std::end(kKindBoxes)) {
                ApplyFilter();
            }
            return;
    }
}

void LogViewWindow::ApplyFilter() {
    RowFilter filter;
    for (int kind = 0; kind < kEntryKindCount; ++kind) {
        filter.shown[kind] =
            SendMessageW(GetDlgItem(window_, kKindBoxes[kind]), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    filter.source = chosenSource_;
    const int length = GetWindowTextLengthW(search_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(search_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    filter.text = WideToSjis(text);
    if (filter == viewer_->Filter()) {
        return;
    }
    viewer_->SetFilter(filter);
    ShowRowCount(true);
    UpdateStatus();
}

void LogViewWindow::TakeUpdates() {
    if (viewer_ == nullptr) {
        return;
    }
    const std::uint64_t before = viewer_->Rows().Count();
    const int top = ListView_GetTopIndex(list_);
    const int perPage = ListView_GetCountPerPage(list_);
    const bool atBottom = before == 0 || static_cast<std::uint64_t>(top + perPage) >= before;
    const ViewerPhase phaseBefore = viewer_->State().phase;
    if (viewer_->TakeUpdates()) {
        ShowRowCount(atBottom);
    }
    if (phaseBefore == ViewerPhase::Indexing && viewer_->State().phase != ViewerPhase::Indexing) {
        UpdateSources();
        UpdateChart();
    }
    if (const std::optional<ExportResult> exported = viewer_->TakeExportResult()) {
        ShowExportResult(*exported);
    }
    UpdateStatus();
}

void LogViewWindow::ShowRowCount(bool keepBottom) {
    cache_.clear();
    const std::uint64_t count = viewer_->Rows().Count();
    // The list counts in int: an archive of more rows shows its newest ones.
    const int shown = static_cast<int>(std::min<std::uint64_t>(count, 0x7FFFFFFF));
    ListView_SetItemCountEx(list_, shown, LVSICF_NOSCROLL);
    if (keepBottom && shown > 0) {
        ListView_EnsureVisible(list_, shown - 1, FALSE);
    }
    InvalidateRect(list_, nullptr, FALSE);
}

const ShownRow* LogViewWindow::Row(std::uint64_t row) {
    if (row < cacheFirst_ || row >= cacheFirst_ + cache_.size()) {
        // A row no cache hint announced (a list that sends none): a page
        // from it on.
        cacheFirst_ = row;
        viewer_->ReadRows(row, static_cast<std::size_t>(std::max(ListView_GetCountPerPage(list_), 0)) + 1,
                          cache_);
    }
    return row - cacheFirst_ < cache_.size() ? &cache_[static_cast<std::size_t>(row - cacheFirst_)] : nullptr;
}

void LogViewWindow::FillCell(NMLVDISPINFOW* info) {
    if ((info->item.mask & LVIF_TEXT) == 0 || viewer_ == nullptr) {
        return;
    }
    const ShownRow* row = Row(static_cast<std::uint64_t>(info->item.iItem));
    cell_ = row == nullptr ? L"" : SjisToWide(RowCells(*row)[static_cast<std::size_t>(info->item.iSubItem)]);
    info->item.pszText = cell_.data();
}

void LogViewWindow::UpdateStatus() {
    if (viewer_ == nullptr) {
        return;
    }
    const ViewerState state = viewer_->State();
    std::string text = FilledString(IDS_LOGVIEW_ROWS, {Thousands(viewer_->Rows().Count())});
    if (state.phase == ViewerPhase::Indexing) {
        text += TableString(IDS_LOGVIEW_INDEXING);
    } else if (state.phase == ViewerPhase::Searching) {
        text += TableString(IDS_LOGVIEW_SEARCHING);
    }
    switch (state.archive) {
        case ReadResult::Missing:
            text += TableString(IDS_LOGVIEW_MISSING);
            break;
        case ReadResult::Locked:
            text += TableString(IDS_LOGVIEW_LOCKED);
            break;
        case ReadResult::Failed:
            text += TableString(IDS_LOGVIEW_READ_FAILED);
            break;
        case ReadResult::Read:
            break;
    }
    if (state.damagedLines > 0) {
        text += FilledString(IDS_LOGVIEW_LONG_LINES, {Thousands(state.damagedLines)});
    }
    if (state.partlyIndexed && state.phase == ViewerPhase::Ready) {
        text += TableString(IDS_LOGVIEW_PARTLY_INDEXED);
    }
    if (state.unreadRows) {
        text += TableString(IDS_LOGVIEW_UNREAD_ROWS);
    }
    SetWindowTextW(status_, SjisToWide(text + note_).c_str());
    const bool busy = state.phase != ViewerPhase::Ready && state.total > 0;
    ShowWindow(progress_, busy ? SW_SHOW : SW_HIDE);
    SendMessageW(progress_, PBM_SETPOS, busy ? static_cast<WPARAM>(state.done * 1000 / state.total) : 0, 0);
}

void LogViewWindow::UpdateSources() {
    sources_ = viewer_ == nullptr ? std::vector<std::string>() : viewer_->Sources(kListedSources);
    SendMessageW(source_, CB_RESETCONTENT, 0, 0);
    SendMessageW(source_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(IDS_LOGVIEW_ALL_SOURCES).c_str()));
    for (const std::string& source : sources_) {
        SendMessageW(source_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SjisToWide(source).c_str()));
    }
    const auto at = std::find(sources_.begin(), sources_.end(), chosenSource_);
    if (!chosenSource_.empty() && at == sources_.end()) {
        SendMessageW(source_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);  // typed: not in the list
        SetWindowTextW(source_, SjisToWide(chosenSource_).c_str());
    } else {
        SendMessageW(source_, CB_SETCURSEL, chosenSource_.empty() ? 0 : at - sources_.begin() + 1, 0);
    }
}

LRESULT CALLBACK LogViewWindow::SourceEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR id, DWORD_PTR self) {
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        reinterpret_cast<LogViewWindow*>(self)->ChooseTypedSource();
        return 0;
    }
    if (message == WM_CHAR && wParam == L'\r') {
        return 0;  // handled on the key, without the edit field's beep
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, SourceEditProc, id);
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

bool LogViewWindow::ChooseTypedSource() {
    if (viewer_ == nullptr) {
        return false;
    }
    const int length = GetWindowTextLengthW(source_);
    std::wstring typed(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(source_, typed.data(), length + 1);
    typed.resize(static_cast<std::size_t>(length));
    std::string text = WideToSjis(typed);
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    std::string chosen;
    if (!text.empty() && typed != Text(IDS_LOGVIEW_ALL_SOURCES)) {
        // One IPv4 or IPv6 address and nothing else, as the ignore list
        // reads its addresses (in lower case, as the log writes them).
        const std::vector<std::string> addresses = IgnoredSources(text);
        std::string lower = text;
        for (char& c : lower) {
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c;
        }
        if (addresses.size() != 1 || addresses[0] != lower) {
            note_ = FilledString(IDS_LOGVIEW_NOT_AN_ADDRESS, {text});
            UpdateStatus();
            return false;
        }
        chosen = addresses[0];
    }
    note_.clear();
    if (chosen == chosenSource_) {
        UpdateStatus();
        return true;  // already shown
    }
    chosenSource_ = chosen;
    SendMessageW(source_, CB_SHOWDROPDOWN, FALSE, 0);
    UpdateSources();  // the box shows the choice, from its list or as typed
    ApplyFilter();
    UpdateStatus();
    return true;
}

void LogViewWindow::UpdateChart() {
    if (viewer_ != nullptr) {
        summary_ = viewer_->Summary(today_, chartDays_);
    }
    InvalidateRect(window_, &chart_, TRUE);
}

void LogViewWindow::JumpTo(std::int32_t day) {
    const std::uint64_t count = viewer_->Rows().Count();
    if (count == 0) {
        return;
    }
    const int row = static_cast<int>(std::min<std::uint64_t>(viewer_->RowForDay(day), count - 1));
    // The day's first row at the top of the list.
    ListView_EnsureVisible(list_, static_cast<int>(count - 1), FALSE);
    ListView_EnsureVisible(list_, row, FALSE);
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void LogViewWindow::PaintChart(HDC dc) {
    HGDIOBJ oldFont = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    const RECT bars{chart_.left, chart_.top, chart_.right - Scaled(kSourcesWidth),
                    chart_.bottom - Scaled(16)};
    FillColour(dc, bars, GetSysColor(COLOR_WINDOW));
    std::uint64_t highest = 1;
    for (const DayCount& day : summary_.days) {
        highest = std::max({highest, day.accesses, day.drops});
    }
    const int days = std::max<int>(1, static_cast<int>(summary_.days.size()));
    const int pitch = std::max<int>(1, (bars.right - bars.left) / days);
    const int height = bars.bottom - bars.top - Scaled(4);
    for (std::size_t i = 0; i < summary_.days.size(); ++i) {
        const DayCount& day = summary_.days[i];
        const int x = bars.left + static_cast<int>(i) * pitch;
        const int access = static_cast<int>(day.accesses * static_cast<std::uint64_t>(height) / highest);
        const int drops = static_cast<int>(day.drops * static_cast<std::uint64_t>(height) / highest);
        FillColour(dc, {x + 1, bars.bottom - access, x + std::max(2, pitch * 2 / 3), bars.bottom},
                   kAccessColour);
        FillColour(dc, {x + pitch * 2 / 3, bars.bottom - drops, x + std::max(3, pitch - 1), bars.bottom},
                   kDropColour);
    }
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    if (!summary_.days.empty()) {
        int year = 0, month = 0, dayOfMonth = 0;
        DayDate(summary_.days.front().day, year, month, dayOfMonth);
        char first[16];
        std::snprintf(first, sizeof first, "%02d/%02d", month, dayOfMonth);
        Draw(dc, bars.left, bars.bottom, SjisToWide(first));
        // The legend: each colour's box and name, then the scale.
        const std::pair<COLORREF, std::wstring> legend[] = {
            {kAccessColour, SjisToWide(KindName(EntryKind::Access))},
            {kDropColour, Text(IDS_LOGVIEW_LEGEND_DROPS)}};
        int x = bars.left + Scaled(60);
        for (const auto& [colour, name] : legend) {
            FillColour(dc, {x, bars.bottom + Scaled(4), x + Scaled(10), bars.bottom + Scaled(14)}, colour);
            SetBkMode(dc, TRANSPARENT);
            Draw(dc, x + Scaled(14), bars.bottom, name);
            x += std::max(Scaled(110), Scaled(14 + 12) + TextWidth(dc, name));
        }
        Draw(dc, x, bars.bottom, Filled(IDS_LOGVIEW_DAY_MOST, Thousands(highest)));
    }
    int y = chart_.top;
    Draw(dc, bars.right + Scaled(8), y, Filled(IDS_LOGVIEW_TOP_SOURCES, std::to_string(chartDays_)));
    // Counts summed from the runs' lists of their most frequent sources may
    // be short (by up to sourceError): they show as "at least" (≥ in CP932).
    const std::string atLeast = summary_.sourceError > 0 ? "  \x81\xe6" : "  ";
    for (const auto& [source, count] : summary_.sources) {
        y += Scaled(18);
        Draw(dc, bars.right + Scaled(8), y, SjisToWide(source + atLeast + Thousands(count)));
    }
    SelectObject(dc, oldFont);
}

void LogViewWindow::ClickChart(int x, int y) {
    const int right = chart_.right - Scaled(kSourcesWidth);
    if (summary_.days.empty() || x < chart_.left || x >= right || y < chart_.top || y >= chart_.bottom) {
        return;
    }
    const int pitch = std::max<int>(1, (right - chart_.left) / static_cast<int>(summary_.days.size()));
    const std::size_t day =
        std::min<std::size_t>(static_cast<std::size_t>((x - chart_.left) / pitch), summary_.days.size() - 1);
    JumpTo(summary_.days[day].day);
}

void LogViewWindow::CopyShown() {
    std::string csv;
    const ExportResult result = viewer_->ShownCsv(kClipboardRows, csv);
    if (result == ExportResult::ReadStopped) {
        note_ = TableString(IDS_LOGVIEW_COPY_FAILED);  // a cut copy would pass for the rows shown
        UpdateStatus();
        return;
    }
    note_ = result == ExportResult::Cut ? FilledString(IDS_LOGVIEW_COPY_CUT, {Thousands(kClipboardRows)})
                                        : std::string();
    const std::wstring text = SjisToWide(csv);
    if (OpenClipboard(window_)) {
        EmptyClipboard();
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t))) {
            std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
            GlobalUnlock(memory);
            if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
                GlobalFree(memory);
            }
        }
        CloseClipboard();
    }
    UpdateStatus();
}

void LogViewWindow::SaveCsv() {
    if (viewer_->Exporting()) {
        note_ = TableString(IDS_LOGVIEW_CSV_SAVING);
        UpdateStatus();
        return;
    }
    wchar_t name[MAX_PATH] = L"log.csv";
    const std::wstring filter = Text(IDS_LOGVIEW_CSV_FILES) + L'\0' + L"*.csv" + L'\0' + L'\0';
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&dialog)) {
        return;
    }
    // Written in batches off this thread; the result comes with a wake.
    std::FILE* file = _wfopen(name, L"wb");
    csvName_ = name;
    const bool started = file != nullptr && viewer_->StartExport(std::make_unique<CsvFile>(file));
    note_ = TableString(started ? IDS_LOGVIEW_CSV_SAVING : IDS_LOGVIEW_CSV_NOT_SAVED);
    UpdateStatus();
}

void LogViewWindow::ShowExportResult(ExportResult result) {
    const bool saved = result == ExportResult::Written;
    if (!saved) {
        DeleteFileW(csvName_.c_str());  // a cut file would pass for the rows shown
    }
    note_ = TableString(saved ? IDS_LOGVIEW_CSV_SAVED : IDS_LOGVIEW_CSV_NOT_SAVED);
}

void LogViewWindow::IgnoreChosen() {
    // The source the box shows is the one meant: a text typed and not taken
    // yet is taken first, and one that is no address ignores nothing.
    if (!ChooseTypedSource()) {
        return;
    }
    const std::string& source = viewer_->Filter().source;
    if (source.empty() || !ignoreSource_) {
        note_ = TableString(IDS_LOGVIEW_CHOOSE_SOURCE);
    } else {
        ignoreSource_(source);
        note_ = FilledString(IDS_LOGVIEW_SOURCE_IGNORED, {source});
    }
    UpdateStatus();
}

}  // namespace velmo
