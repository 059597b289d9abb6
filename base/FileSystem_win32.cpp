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

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    std::wstring target = SjisToWide(path);
    std::wstring temporary = target + L".tmp" + std::to_wstring(GetCurrentProcessId());
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
              written == bytes.size();
    ok = FlushFileBuffers(file) != FALSE && ok;
    ok = CloseHandle(file) != FALSE && ok;
    if (ok &&
        MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileW(temporary.c_str());
    return false;
}

}  // namespace velmo
