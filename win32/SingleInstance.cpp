#include "win32/SingleInstance.h"

#include "base/InstanceKey.h"
#include "res/resource.h"
#include "win32/CommandForwarding.h"
#include "win32/Messages.h"
#include "win32/WideText.h"

namespace velmo {

namespace {

const wchar_t* const kWindowClass = L"VelmoToolInstance";
constexpr int kFindAttempts = 40;  // 50 ms apart

LRESULT CALLBACK InstanceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    if (message != kActivateMessage && message != WM_COPYDATA) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto* context = reinterpret_cast<InstanceWindow::Context*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (context == nullptr || context->phase == InstanceWindow::Phase::Starting) {
        // The start under way shows the window as the settings say: a second
        // start at the same moment has nothing to bring up, and is done. A
        // command waits until there is a window to carry it out.
        return static_cast<LRESULT>(message == WM_COPYDATA ? InstanceAnswer::Starting : InstanceAnswer::Done);
    }
    // Closing from the first step of the close sequence on, though the
    // window's thread may still read messages (a modal window of the tool is
    // up, or the shell is told the icon goes): a command given now would be
    // cut short, so the second start waits for the process to end instead.
    HWND main = context->host->window();
    if (context->phase == InstanceWindow::Phase::Closed || main == nullptr || !IsWindow(main) ||
        context->dialog->Closed()) {
        return static_cast<LRESULT>(InstanceAnswer::Refused);
    }
    if (message == WM_COPYDATA) {
        return static_cast<LRESULT>(AcceptForwardedCommand(
            wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam), *context->dialog));
    }
    // A start launched before the window was up came at the same moment as
    // this one, which shows the window as the settings say.
    if (message == kActivateMessage && static_cast<ULONGLONG>(wParam) <= context->servingSince) {
        return static_cast<LRESULT>(InstanceAnswer::Done);
    }
    if (context->host->IsMinimized()) {
        PostMessageW(main, kTrayMessage, 0, WM_LBUTTONDOWN);
    } else {
        SetForegroundWindow(GetLastActivePopup(main));
    }
    return static_cast<LRESULT>(InstanceAnswer::Done);
}

}  // namespace

std::string CurrentFolderInstanceKey() {
    std::wstring folder =
        GrowingBuffer([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
    // One spelling of the folder: its full, long form, upper-cased as the
    // file system compares names.
    std::wstring full = GrowingBuffer(
        [&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(folder.c_str(), size, buffer, nullptr); });
    if (!full.empty()) {
        folder = full;
    }
    std::wstring longForm = GrowingBuffer(
        [&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(folder.c_str(), buffer, size); });
    if (!longForm.empty()) {
        folder = longForm;
    }
    if (!folder.empty()) {
        CharUpperBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    }
    return InstanceKey(WideToUtf8(folder));
}

InstanceClaim::InstanceClaim(const std::string& key) {
    const std::wstring name = L"Local\\" + Utf8ToWide(key);
    mutex_ = CreateMutexW(nullptr, TRUE, name.c_str());
    owned_ = mutex_ != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
}

InstanceClaim::~InstanceClaim() {
    if (mutex_ == nullptr) {
        return;
    }
    if (owned_) {
        ReleaseMutex(mutex_);
    }
    CloseHandle(mutex_);
}

bool InstanceClaim::WaitForOwnership(DWORD timeoutMs) {
    if (!owned_ && mutex_ != nullptr) {
        // An instance that ended without releasing leaves the mutex abandoned: ours all the same.
        const DWORD result = WaitForSingleObject(mutex_, timeoutMs);
        owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
    return owned_;
}

InstanceWindow::InstanceWindow(HINSTANCE instance, const std::string& key, Win32WindowHost& host) {
    context_.host = &host;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = InstanceWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, kWindowClass, Utf8ToWide(key).c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              instance, &context_);
}

InstanceWindow::~InstanceWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

HWND FindRunningInstance(const std::string& key) {
    const std::wstring name = Utf8ToWide(key);
    // The running instance makes its window just after its claim: a start at
    // the same moment may have to wait a little for it.
    for (int attempt = 0; attempt < kFindAttempts; ++attempt) {
        if (HWND running = FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, name.c_str())) {
            return running;
        }
        Sleep(50);
    }
    return nullptr;
}

ULONGLONG ProcessStartTick() {
    // The process's age by the wall clock, which can only be stepped in the
    // moments it has lived, taken back from the tick.
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    const auto value = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    const ULONGLONG tick = GetTickCount64();
    const ULONGLONG ageMs = value(now) > value(created) ? (value(now) - value(created)) / 10000 : 0;
    return ageMs < tick ? tick - ageMs : 0;
}

bool ActivateRunningInstance(const std::string& key, ULONGLONG startedAt, DWORD timeoutMs) {
    HWND running = FindRunningInstance(key);
    if (running == nullptr) {
        return false;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(running, &processId);
    // This start is the foreground process; it lends the right to come to the front.
    AllowSetForegroundWindow(processId);
    // The running instance answers once its window's thread reads messages
    // again (a refresh holds it for up to a few seconds).
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(running, kActivateMessage, static_cast<WPARAM>(startedAt), 0, SMTO_NORMAL,
                               timeoutMs, &answer) != 0 &&
           static_cast<InstanceAnswer>(answer) == InstanceAnswer::Done;
}

}  // namespace velmo
