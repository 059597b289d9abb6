#include "tests/e2e/Driver.h"

#include <winsock2.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/CodePage.h"
#include "base/Wide_win32.h"
#include "res/resource.h"

namespace velmo::e2e {

ToolProcess::~ToolProcess() {
    Kill();
    if (info_.hProcess != nullptr) {
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

bool ToolProcess::Start(const std::wstring& exe, const std::wstring& workDir) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workDir.c_str(), &startup, &info_) != FALSE;
}

namespace {

// Appends what the pipe holds now, without waiting for more. Waiting for the
// pipe's end would hang: a process the tool starts (Wine's desktop and its
// services) inherits the write end and keeps it open after the tool exits.
void DrainPipe(HANDLE readEnd, std::string& output) {
    DWORD available = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        char buffer[4096];
        DWORD got = 0;
        if (!ReadFile(readEnd, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr) ||
            got == 0) {
            return;
        }
        output.append(buffer, got);
    }
}

}  // namespace

HWND ToolProcess::StartMainWindow(const std::wstring& workDir) {
    return Start(ToolExe(), workDir) ? WaitForWindow(kMainCaption, 30000) : nullptr;
}

bool ToolProcess::ExitWithButton(HWND window) const {
    ClickButton(window, IDC_EXIT);
    return WaitForExit(20000);
}

std::wstring ShownBalloon(std::initializer_list<std::wstring> parts) {
    for (const std::wstring& text : ShownTooltipTexts()) {
        bool all = true;
        for (const std::wstring& part : parts) {
            all = all && text.find(part) != std::wstring::npos;
        }
        if (all) {
            return text;
        }
    }
    return {};
}

ToolRun RunTool(const std::wstring& exe, const std::wstring& workDir, const std::wstring& arguments,
                DWORD timeoutMs) {
    ToolRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 16)) {
        return run;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    PROCESS_INFORMATION info{};
    const DWORD start = GetTickCount();
    const bool started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        workDir.c_str(), &startup, &info) != FALSE;
    CloseHandle(writeEnd);
    if (started) {
        // Read while the tool runs, so a long output never fills the pipe and
        // stalls it; the exit, not the pipe's end, closes the run.
        bool exited = false;
        while (!exited && GetTickCount() - start < timeoutMs) {
            exited = WaitForSingleObject(info.hProcess, 50) == WAIT_OBJECT_0;
            DrainPipe(readEnd, run.output);
        }
        if (exited) {
            GetExitCodeProcess(info.hProcess, &run.exitCode);
        } else {
            TerminateProcess(info.hProcess, 1);
            WaitForSingleObject(info.hProcess, 5000);
        }
        DrainPipe(readEnd, run.output);
        run.milliseconds = GetTickCount() - start;
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(readEnd);
    return run;
}

namespace {

struct WindowSearch {
    DWORD processId;
    const std::wstring* caption;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    // Visible: a dialog shows only once its initialisation (the first
    // refresh included) is done.
    if (owner == search->processId && (!search->visibleOnly || IsWindowVisible(window)) &&
        WindowText(window) == *search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND ToolProcess::WaitForWindow(const std::wstring& caption, DWORD timeoutMs, bool visibleOnly) const {
    DWORD start = GetTickCount();
    do {
        WindowSearch search{info_.dwProcessId, &caption, visibleOnly, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        if (WaitForSingleObject(info_.hProcess, 100) == WAIT_OBJECT_0) {
            return nullptr;  // the tool ended before showing the window
        }
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

bool ToolProcess::WaitForExit(DWORD timeoutMs) const {
    return WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ToolProcess::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void ToolProcess::Kill() {
    if (info_.hProcess != nullptr && !WaitForExit(0)) {
        TerminateProcess(info_.hProcess, 1);
        WaitForExit(5000);
    }
}

std::wstring WindowText(HWND window) {
    wchar_t buffer[512] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                        &length);
    return std::wstring(buffer);
}

std::wstring ControlText(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    return control == nullptr ? L"<no control>" : WindowText(control);
}

void ClickButton(HWND dialog, int controlId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageW(window, message, wParam, lParam);
}

namespace {

BOOL CALLBACK CollectTooltip(HWND window, LPARAM lParam) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (IsWindowVisible(window) && lstrcmpiW(className, TOOLTIPS_CLASSW) == 0) {
        reinterpret_cast<std::vector<std::wstring>*>(lParam)->push_back(WindowText(window));
    }
    return TRUE;
}

}  // namespace

std::vector<std::wstring> ShownTooltipTexts() {
    std::vector<std::wstring> texts;
    EnumWindows(CollectTooltip, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

namespace {

// The screen as 24-bit bottom-up rows, each padded to 4 bytes.
struct ScreenImage {
    int width = 0;
    int height = 0;
    BITMAPINFOHEADER header{};
    std::string rows;

    DWORD RowBytes() const { return ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4; }
    // Blue, green, red of the pixel at (x, y), counted from the top left.
    const unsigned char* Pixel(int x, int y) const {
        return reinterpret_cast<const unsigned char*>(rows.data()) + RowBytes() * (height - 1 - y) + 3 * x;
    }
};

ScreenImage CaptureScreen() {
    ScreenImage image;
    image.width = GetSystemMetrics(SM_CXSCREEN);
    image.height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    image.header = info.bmiHeader;
    image.rows.assign(static_cast<const char*>(bits), image.RowBytes() * image.height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

}  // namespace

bool SaveScreenshot(const std::wstring& path) {
    const ScreenImage image = CaptureScreen();
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof image.header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(image.rows.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&image.header), sizeof image.header);
    bytes += image.rows;
    return WriteBytes(path, bytes);
}

int CountOccurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

int CountScreenPixels(const RECT& area, COLORREF color, int tolerance) {
    const ScreenImage image = CaptureScreen();
    int count = 0;
    for (int y = std::max(0L, area.top); y < std::min<LONG>(image.height, area.bottom); ++y) {
        for (int x = std::max(0L, area.left); x < std::min<LONG>(image.width, area.right); ++x) {
            const unsigned char* bgr = image.Pixel(x, y);
            if (std::abs(bgr[2] - GetRValue(color)) <= tolerance &&
                std::abs(bgr[1] - GetGValue(color)) <= tolerance &&
                std::abs(bgr[0] - GetBValue(color)) <= tolerance) {
                ++count;
            }
        }
    }
    return count;
}

std::wstring MakeTempDirectory(const std::wstring& prefix) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (unsigned attempt = 0;; ++attempt) {
        std::wstring dir = std::wstring(temp) + prefix + std::to_wstring(GetCurrentProcessId()) + L"-" +
                           std::to_wstring(GetTickCount() + attempt);
        if (CreateDirectoryW(dir.c_str(), nullptr)) {
            return dir;
        }
    }
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

bool ReadBytes(const std::wstring& path, std::string& bytes) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        return false;
    }
    bytes.clear();
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, n);
    }
    std::fclose(file);
    return true;
}

std::wstring FromHostPath(const std::string& hostPath) {
    std::wstring path = L"Z:";
    for (char c : hostPath) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return path;
}

int ClosedLoopbackPort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(s);  // nothing listens there any more
    return ntohs(address.sin_port);
}

std::wstring StartupFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        return std::wstring();
    }
    return folder;
}

std::vector<std::wstring> StartupShortcutFiles() {
    std::vector<std::wstring> files;
    const std::wstring folder = StartupFolder();
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*.lnk").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return files;
    }
    do {
        files.push_back(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

bool ReadShortcut(const std::wstring& path, ShortcutInfo& info) {
    const bool uninitialize = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    bool read = false;
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t target[MAX_PATH] = {};
        wchar_t folder[MAX_PATH] = {};
        read = SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
               SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH));
        info.target = target;
        info.workingFolder = folder;
    }
    if (file != nullptr) {
        file->Release();
    }
    if (link != nullptr) {
        link->Release();
    }
    if (uninitialize) {
        CoUninitialize();
    }
    return read;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    const auto comparable = [](const std::wstring& path) {
        wchar_t full[MAX_PATH] = {};
        wchar_t longForm[MAX_PATH] = {};
        std::wstring result = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr) != 0 ? full : path;
        if (GetLongPathNameW(result.c_str(), longForm, MAX_PATH) != 0) {
            result = longForm;
        }
        while (result.size() > 3 && result.back() == L'\\') {
            result.pop_back();
        }
        CharUpperBuffW(result.data(), static_cast<DWORD>(result.size()));
        return result;
    };
    return comparable(a) == comparable(b);
}

std::wstring ToolExe() {
    const char* path = std::getenv("VELMO_TOOL_EXE");
    return path == nullptr ? L"VelmoTool.exe" : FromHostPath(path);
}

std::wstring ArtifactPath(const std::wstring& name) {
    const char* dir = std::getenv("VELMO_E2E_ARTIFACTS");
    return dir == nullptr ? name : FromHostPath(dir) + L"\\" + name;
}

std::wstring Wide(const char* utf8) {
    return SjisToWide(Utf8ToSjis(utf8));
}

std::string SimAddress(const char* variable) {
    const char* address = std::getenv(variable);
    return address == nullptr ? std::string() : address;
}

std::string LocalTimeText(int secondsAhead) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    FILETIME file{};
    SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER value{};
    value.LowPart = file.dwLowDateTime;
    value.HighPart = file.dwHighDateTime;
    value.QuadPart += static_cast<ULONGLONG>(secondsAhead) * 10000000ULL;
    file.dwLowDateTime = value.LowPart;
    file.dwHighDateTime = value.HighPart;
    SYSTEMTIME later{};
    FileTimeToSystemTime(&file, &later);
    char text[32];
    std::snprintf(text, sizeof text, "%04u/%02u/%02u %02u:%02u:%02u", later.wYear, later.wMonth, later.wDay,
                  later.wHour, later.wMinute, later.wSecond);
    return text;
}

}  // namespace velmo::e2e
