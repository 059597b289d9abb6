#include <windows.h>

#include <string>

#include "base/FileSystem.h"
#include "base/Wide_win32.h"

namespace velmo {

const char kPathSeparator = '\\';

std::string CurrentDirectoryWithSeparator() {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return WideToSjis(std::wstring_view(buffer, length)) + kPathSeparator;
}

bool ChangeCurrentDirectory(const std::string& path) {
    return SetCurrentDirectoryW(SjisToWide(path).c_str()) != FALSE;
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    HANDLE file = CreateFileW(SjisToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::string content;
    char buffer[65536];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE) && read > 0) {
        content.append(buffer, read);
    }
    CloseHandle(file);
    if (ok) {
        bytes = std::move(content);
    }
    return ok;
}

namespace {

// The system's text for `error` in the user's language, without its line end.
std::string SystemErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : L"error " + std::to_wstring(error);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return WideToSjis(text);
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, std::string* reason,
                           bool flush) {
    std::wstring target = SjisToWide(path);
    std::wstring temporary = target + L".tmp" + std::to_wstring(GetCurrentProcessId());
    const auto fail = [&](DWORD error) {
        if (reason != nullptr) {
            *reason = SystemErrorText(error);
        }
        DeleteFileW(temporary.c_str());
        return false;
    };
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return fail(GetLastError());
    }
    DWORD error = 0;
    const auto note = [&error](bool ok) {
        if (!ok && error == 0) {
            error = GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
        }
        return ok;
    };
    DWORD written = 0;
    bool ok =
        note(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
             written == bytes.size());
    ok = (!flush || note(FlushFileBuffers(file) != FALSE)) && ok;
    ok = note(CloseHandle(file) != FALSE) && ok;
    if (!ok) {
        return fail(error);
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | (flush ? MOVEFILE_WRITE_THROUGH : 0))) {
        return fail(GetLastError());
    }
    return true;
}

}  // namespace velmo
