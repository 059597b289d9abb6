#include "win32/CommandForwarding.h"

#include <shellapi.h>

#include <algorithm>
#include <random>

#include "win32/SingleInstance.h"
#include "win32/WideText.h"

namespace velmo {

namespace {

const wchar_t* const kReplyClass = L"VelmoToolReply";

// The answer as the reply window received it.
struct Reply {
    std::uint64_t token = 0;
    bool arrived = false;
    CommandResult result;
};

// A value no other program can guess: only the running tool, which was handed
// it, can answer this start.
std::uint64_t RandomToken() {
    std::random_device random;
    return (static_cast<std::uint64_t>(random()) << 32) ^ random();
}

LRESULT CALLBACK ReplyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* reply = reinterpret_cast<Reply*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kCommandReplyMessage && reply != nullptr && !reply->arrived) {
        const std::optional<CommandResult> result = DecodeReply(
            reply->token, {static_cast<std::uint64_t>(wParam), static_cast<std::uint64_t>(lParam)});
        if (result) {
            reply->arrived = true;
            reply->result = *result;
        }
        return 0;  // anything else is ignored
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

// Sends the request and waits for the answer. A tool that is still starting
// takes no command yet: the request is sent again until it does, within the
// time-out. Nothing when the request was not taken and the time is not up (the
// tool is closing, or has gone): this start goes on as if none ran.
std::optional<CommandResult> ExchangeWithRunning(HWND running, HANDLE process, ToolCommand command,
                                                 DWORD timeoutMs) {
    Reply reply;
    reply.token = RandomToken();
    HWND replyWindow = MakeReplyWindow(reply);
    const auto body = EncodeRequest({command, reinterpret_cast<std::uint64_t>(replyWindow), reply.token});
    COPYDATASTRUCT data{kCommandCopyDataTag, static_cast<DWORD>(body.size()),
                        const_cast<unsigned char*>(body.data())};
    const DWORD start = GetTickCount();
    auto left = [&] { return timeoutMs - std::min(timeoutMs, GetTickCount() - start); };
    DWORD_PTR answer = 0;
    LRESULT sent = 0;
    for (;;) {
        sent = SendMessageTimeoutW(running, WM_COPYDATA, reinterpret_cast<WPARAM>(replyWindow),
                                   reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, left(), &answer);
        if (sent == 0 || static_cast<InstanceAnswer>(answer) != InstanceAnswer::Starting || left() == 0) {
            break;
        }
        PumpUntil([] { return false; }, process, std::min(kStartingRetryMs, left()));
    }
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    std::optional<CommandResult> result;
    if (sent == 0 || static_cast<InstanceAnswer>(answer) != InstanceAnswer::Done) {
        // Refused while it closes, or its thread stopped reading messages for
        // the close: the caller waits for the claim. Still no answer when the
        // time is up from a tool that runs on: it hangs.
        if (left() == 0 && !ended) {
            result = CommandResult{Outcome::NoAnswer, 0};
        }
    } else {
        PumpUntil([&] { return reply.arrived; }, process, left());
        result = reply.arrived ? reply.result : CommandResult{Outcome::NoAnswer, 0};
        if (!reply.arrived && WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            result =
                CommandResult{Outcome::Closing, 0};  // it took the command, then closed before its result
        }
    }
    if (result && result->outcome == Outcome::Exiting) {
        // /exit is done once the process has gone (an update may replace the .exe then).
        PumpUntil([] { return false; }, process, left());
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

InstanceAnswer AcceptForwardedCommand(WPARAM sender, const COPYDATASTRUCT* data, CRouterStatusDlg& dialog) {
    if (data == nullptr || data->dwData != kCommandCopyDataTag) {
        return InstanceAnswer::Refused;
    }
    const std::optional<CommandRequest> request = DecodeRequest(data->lpData, data->cbData);
    // The answer goes to the window that sent the request, with its token.
    HWND replyWindow = reinterpret_cast<HWND>(sender);
    if (!request || request->replyWindow != reinterpret_cast<std::uint64_t>(replyWindow)) {
        return InstanceAnswer::Refused;
    }
    const std::uint64_t token = request->token;
    dialog.OnForwardedCommand(request->command, [replyWindow, token](const CommandResult& result) {
        const CommandReply reply = EncodeReply(token, result);
        PostMessageW(replyWindow, kCommandReplyMessage, static_cast<WPARAM>(reply.token),
                     static_cast<LPARAM>(reply.result));
    });
    return InstanceAnswer::Done;
}

}  // namespace velmo
