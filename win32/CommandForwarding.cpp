#include "win32/CommandForwarding.h"

#include <shellapi.h>

#include <algorithm>

#include "win32/SingleInstance.h"
#include "win32/WideText.h"

namespace velmo {

namespace {

const wchar_t* const kReplyClass = L"VelmoToolReply";

// The user a process runs as, as the bytes of its token's user record.
std::vector<BYTE> ProcessUser(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) {
        return {};
    }
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size)) {
        user.clear();
    }
    CloseHandle(token);
    return user;
}

bool RunsAsThisUser(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) {
        return false;
    }
    const std::vector<BYTE> theirs = ProcessUser(process);
    CloseHandle(process);
    const std::vector<BYTE> ours = ProcessUser(GetCurrentProcess());
    return !theirs.empty() && !ours.empty() &&
           EqualSid(reinterpret_cast<const TOKEN_USER*>(theirs.data())->User.Sid,
                    reinterpret_cast<const TOKEN_USER*>(ours.data())->User.Sid);
}

// The answer as the reply window received it.
struct Reply {
    bool arrived = false;
    CommandResult result;
};

LRESULT CALLBACK ReplyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* reply = reinterpret_cast<Reply*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kCommandReplyMessage && reply != nullptr && !reply->arrived &&
        wParam <= static_cast<WPARAM>(Outcome::NoAnswer)) {
        reply->arrived = true;
        reply->result = {static_cast<Outcome>(wParam), static_cast<std::int64_t>(lParam)};
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeReplyWindow(Reply& reply) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ReplyWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kReplyClass;
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, kReplyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance,
                           &reply);
}

// Pumps messages until `done` holds, `process` has ended or `timeoutMs` has passed.
template <typename Done>
void PumpUntil(Done done, HANDLE process, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs ||
            MsgWaitForMultipleObjects(1, &process, FALSE, timeoutMs - spent, QS_ALLINPUT) == WAIT_OBJECT_0) {
            return;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
}

// Sends the request and waits for the answer; nothing when it was refused.
std::optional<CommandResult> ExchangeWithRunning(HWND running, HANDLE process, ToolCommand command,
                                                 DWORD timeoutMs) {
    Reply reply;
    HWND replyWindow = MakeReplyWindow(reply);
    const auto body = EncodeRequest({command, reinterpret_cast<std::uint64_t>(replyWindow)});
    COPYDATASTRUCT data{kCommandCopyDataTag, static_cast<DWORD>(body.size()),
                        const_cast<unsigned char*>(body.data())};
    const DWORD start = GetTickCount();
    DWORD_PTR accepted = 0;
    const LRESULT sent =
        SendMessageTimeoutW(running, WM_COPYDATA, reinterpret_cast<WPARAM>(replyWindow),
                            reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, timeoutMs, &accepted);
    std::optional<CommandResult> result;
    if (sent != 0 && accepted != TRUE) {
        result = std::nullopt;  // closing: its window has gone
    } else {
        PumpUntil([&] { return reply.arrived; }, process,
                  timeoutMs - std::min(timeoutMs, GetTickCount() - start));
        result = reply.arrived ? reply.result : CommandResult{Outcome::NoAnswer, 0};
        if (!reply.arrived && WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            result = CommandResult{Outcome::Closing, 0};  // it ended without carrying the command out
        }
    }
    if (result && result->outcome == Outcome::Exiting) {
        // /exit is done once the process has gone (an update may replace the .exe then).
        PumpUntil([] { return false; }, process, timeoutMs - std::min(timeoutMs, GetTickCount() - start));
        result->outcome =
            WaitForSingleObject(process, 0) == WAIT_OBJECT_0 ? Outcome::Exiting : Outcome::NoAnswer;
    }
    DestroyWindow(replyWindow);
    return result;
}

}  // namespace

std::vector<std::string> CommandArguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        result.push_back(WideToUtf8(arguments[i]));
    }
    LocalFree(arguments);
    return result;
}

void PrintText(const std::string& text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE || GetFileType(out) == FILE_TYPE_UNKNOWN) {
        // A windowed program has no output of its own: it borrows the
        // console of the command prompt that started it, when there is one.
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
            return;
        }
        out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
    }
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::optional<CommandResult> ForwardCommand(const std::string& key, ToolCommand command, DWORD timeoutMs) {
    HWND running = FindRunningInstance(key);
    DWORD processId = 0;
    if (running == nullptr || GetWindowThreadProcessId(running, &processId) == 0) {
        return std::nullopt;
    }
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (process == nullptr) {
        return std::nullopt;
    }
    std::optional<CommandResult> result = ExchangeWithRunning(running, process, command, timeoutMs);
    CloseHandle(process);
    return result;
}

bool AcceptForwardedCommand(WPARAM sender, const COPYDATASTRUCT* data, CRouterStatusDlg& dialog) {
    if (data == nullptr || data->dwData != kCommandCopyDataTag) {
        return false;
    }
    const std::optional<CommandRequest> request = DecodeRequest(data->lpData, data->cbData);
    // The answer goes to the window that sent the request, of a process of this user.
    HWND replyWindow = reinterpret_cast<HWND>(sender);
    DWORD processId = 0;
    if (!request || request->replyWindow != reinterpret_cast<std::uint64_t>(replyWindow) ||
        GetWindowThreadProcessId(replyWindow, &processId) == 0 || !RunsAsThisUser(processId)) {
        return false;
    }
    dialog.OnForwardedCommand(request->command, [replyWindow](const CommandResult& result) {
        PostMessageW(replyWindow, kCommandReplyMessage, static_cast<WPARAM>(result.outcome),
                     static_cast<LPARAM>(result.value));
    });
    return true;
}

}  // namespace velmo
