// The ログを見る window of the real VelmoTool.exe under Wine on an archive of
// 100 000 lines over 100 days ending today, opened with the tool hidden in the
// notification area: all rows, one kind hidden, a search, a jump to a date,
// a picture of the window, and a capture's lines joining the results. The tool talks only to the simulator
// VELMO_SIM_A on loopback.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/CodePage.h"
#include "base/DateTime.h"
#include "res/resource.h"
#include "tests/e2e/Driver.h"

namespace velmo::e2e {
namespace {

constexpr int kDays = 100;
constexpr int kLinesPerDay = 1000;

DateTime DayOf(int day) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return DateTime::FromParts(now.wYear, now.wMonth, now.wDay, 0, 0, 0)
        .PlusSeconds((day - kDays + 1) * 86400LL);
}

// Per ten lines: four accesses from eight sources, the line up with its
// sub-info line and down, a login, a logout and one other entry.
std::string Archive() {
    std::string text;
    for (int day = 0; day < kDays; ++day) {
        const CalendarTime date = DayOf(day).Calendar();
        for (int i = 0; i < kLinesPerDay; ++i) {
            char stamp[64];
            std::snprintf(stamp, sizeof stamp, "[%04d/%02d/%02d %02d:%02d:%02d]  ", date.year, date.month,
                          date.day, i / 60 % 24, i % 60, i % 60);
            const char* const texts[] = {
                "PPP up (IP address 198.51.100.23)",   "  DNS server 192.0.2.53",  "PPP down (idle timeout)",
                "Administrator login from 192.0.2.10", "Administrator logged out", "NTP time set"};
            text += stamp;
            text += i % 10 < 4
                        ? "Unrecognized access from 203.0.113." + std::to_string(i % 20) + ":4312 to port 23"
                        : Utf8ToSjis(texts[i % 10 - 4]);
            text += "\r\n";
        }
    }
    return text + "[2026/12/09 23:59:59]   Last Log Update\r\n";
}

int Rows(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

bool Settled(HWND viewer) {
    const std::wstring status = ControlText(viewer, IDC_LOGVIEW_STATUS);
    return status.find(Wide("索引")) == std::wstring::npos &&
           status.find(Wide("検索して")) == std::wstring::npos;
}

// Sets the date picker of another process to `day` (the time lives in that process).
bool SetPickerDate(HWND picker, const DateTime& day) {
    DWORD processId = 0;
    GetWindowThreadProcessId(picker, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) {
        return false;
    }
    const CalendarTime date = day.Calendar();
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    void* remote = VirtualAllocEx(process, nullptr, sizeof time, MEM_COMMIT, PAGE_READWRITE);
    const bool set =
        remote != nullptr && WriteProcessMemory(process, remote, &time, sizeof time, nullptr) &&
        SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(remote)) != 0;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return set;
}

TEST(LogViewE2E, HidesAKindSearchesAndJumpsToADateOnALargeArchive) {
    const std::string sim = SimAddress("VELMO_SIM_A");
    ASSERT_FALSE(sim.empty()) << "run through scripts/with-routersim (ctest does)";
    const std::wstring workDir = MakeTempDirectory(L"velmo-e2e-logview-");
    ASSERT_TRUE(WriteBytes(workDir + L"\\archive.log", Archive()));
    ASSERT_TRUE(WriteBytes(workDir + L"\\Velmo tool.ini",
                           "[Setting]\r\nRutorAddress=" + sim +
                               "\r\nInitMinimize=1\r\nUpdateLog=0\r\nUpdateLogFileName=archive.log\r\n"));
    ToolProcess tool;
    ASSERT_TRUE(tool.Start(ToolExe(), workDir));
    HWND window = tool.WaitForWindow(kMainCaption, 30000, false);
    ASSERT_NE(window, nullptr);
    Post(window, WM_COMMAND, ID_MENU_LOG_VIEW);
    HWND viewer = tool.WaitForWindow(Wide("ログを見る - archive.log"), 10000);
    ASSERT_NE(viewer, nullptr);
    HWND list = GetDlgItem(viewer, IDC_LOGVIEW_LIST);
    ASSERT_TRUE(WaitUntil([&] { return Settled(viewer) && Rows(list) == kDays * kLinesPerDay + 1; }, 30000))
        << Rows(list);
    // その他 hidden: the other entries and the update marker go.
    SendMessageW(GetDlgItem(viewer, IDC_LOGVIEW_KIND_OTHER), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Rows(list) == kDays * kLinesPerDay * 9 / 10; }, 10000)) << Rows(list);
    // One source's accesses: the needle's capitals match the lower-case bytes.
    SetWindowTextW(GetDlgItem(viewer, IDC_LOGVIEW_SEARCH), L"unRecognized access from 203.0.113.12:");
    EXPECT_TRUE(WaitUntil([&] { return Settled(viewer) && Rows(list) == kDays * kLinesPerDay / 20; }, 20000))
        << Rows(list);
    // Day 50's first result, 50 results a day.
    ASSERT_TRUE(SetPickerDate(GetDlgItem(viewer, IDC_LOGVIEW_DATE), DayOf(50)));
    ClickButton(viewer, IDC_LOGVIEW_JUMP);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == 50 * 50;
        },
        5000));
    Sleep(500);
    SaveScreenshot(ArtifactPath(L"log-view.bmp"));
    // The archive is never written; the index lies beside it.
    std::string after;
    ASSERT_TRUE(ReadBytes(workDir + L"\\archive.log", after));
    EXPECT_EQ(after, Archive());
    EXPECT_TRUE(ReadBytes(workDir + L"\\archive.log.idx", after));
    // A capture while the window is open: its entries join the results.
    std::string grown = after = Archive();
    grown.resize(grown.rfind("[2026/12/09 23:59:59]"));
    const CalendarTime today = DayOf(kDays - 1).Calendar();
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "[%04d/%02d/%02d 23:59:00]  ", today.year, today.month, today.day);
    for (int i = 0; i < 20; ++i) {
        grown += std::string(stamp) + "Unrecognized access from 203.0.113.12:999 to port 22\r\n";
    }
    ASSERT_TRUE(
        WriteBytes(workDir + L"\\archive.log", grown + "[2026/12/09 23:59:59]   Last Log Update\r\n"));
    EXPECT_TRUE(
        WaitUntil([&] { return Settled(viewer) && Rows(list) == kDays * kLinesPerDay / 20 + 20; }, 10000))
        << Rows(list);
    // The source typed into its box with Enter, the search emptied: the same
    // rows; a word that is not an address is refused and changes nothing.
    HWND sourceEdit = FindWindowExW(GetDlgItem(viewer, IDC_LOGVIEW_SOURCE), nullptr, L"Edit", nullptr);
    ASSERT_NE(sourceEdit, nullptr);
    const auto type = [&](const wchar_t* text) {
        SetWindowTextW(sourceEdit, text);
        PostMessageW(sourceEdit, WM_KEYDOWN, VK_RETURN, 0);
    };
    SetWindowTextW(GetDlgItem(viewer, IDC_LOGVIEW_SEARCH), L"");
    type(L" 203.0.113.12 ");
    Sleep(1000);  // past the search box's typing pause
    EXPECT_TRUE(
        WaitUntil([&] { return Settled(viewer) && Rows(list) == kDays * kLinesPerDay / 20 + 20; }, 10000))
        << Rows(list);
    type(L"203.0.113.12:999");
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ControlText(viewer, IDC_LOGVIEW_STATUS).find(Wide("アドレスではありません")) !=
                   std::wstring::npos;
        },
        5000));
    EXPECT_EQ(Rows(list), kDays * kLinesPerDay / 20 + 20);
    SaveScreenshot(ArtifactPath(L"log-view-typed-source.bmp"));
    ClickButton(window, IDC_EXIT);
    EXPECT_TRUE(tool.WaitForExit(20000));
}

}  // namespace
}  // namespace velmo::e2e
