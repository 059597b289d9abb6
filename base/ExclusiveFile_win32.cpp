#include <windows.h>

#include <algorithm>
#include <utility>

#include "base/ExclusiveFile.h"
#include "base/Wide_win32.h"

namespace velmo {

namespace {

HANDLE FileHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

bool MoveTo(HANDLE file, std::uint64_t position) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(position);
    return SetFilePointerEx(file, distance, nullptr, FILE_BEGIN) != FALSE;
}

}  // namespace

bool ExclusiveFile::Failed() {
    const DWORD error = GetLastError();
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::wstring text =
        length > 0 && message != nullptr ? std::wstring(message, length) : L"error " + std::to_wstring(error);
    LocalFree(message);
    // The system's messages end in a line end.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    lastError_ = WideToSjis(text);
    return false;
}

bool ExclusiveFile::Open(const std::string& name, FileSharing sharing) {
    Close();
    if (name.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return Failed();
    }
    // While this handle is open no other opener gets the file for writing;
    // with FILE_SHARE_READ readers do (an opener already reading without
    // letting writers in makes this open fail).
    const DWORD share = sharing == FileSharing::Readers ? FILE_SHARE_READ : 0;
    HANDLE file = CreateFileW(SjisToWide(name).c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return Failed();
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return true;
}

bool ExclusiveFile::Size(std::uint64_t& size) {
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return Failed();
    }
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(FileHandle(handle_), &length)) {
        return Failed();
    }
    size = static_cast<std::uint64_t>(length.QuadPart);
    return true;
}

bool ExclusiveFile::ReadAt(std::uint64_t position, char* buffer, std::size_t length) {
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return Failed();
    }
    if (!MoveTo(FileHandle(handle_), position)) {
        return Failed();
    }
    std::size_t done = 0;
    while (done < length) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1u << 20));
        DWORD read = 0;
        if (!ReadFile(FileHandle(handle_), buffer + done, chunk, &read, nullptr)) {
            return Failed();
        }
        if (read == 0) {
            // The file ended before the bytes the caller was told it holds.
            SetLastError(ERROR_HANDLE_EOF);
            return Failed();
        }
        done += read;
    }
    return true;
}

bool ExclusiveFile::WriteAt(std::uint64_t position, std::string_view bytes) {
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return Failed();
    }
    if (!MoveTo(FileHandle(handle_), position)) {
        return Failed();
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(FileHandle(handle_), bytes.data() + done, chunk, &written, nullptr)) {
            return Failed();
        }
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return Failed();
        }
        done += written;
    }
    return true;
}

bool ExclusiveFile::Truncate(std::uint64_t size) {
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return Failed();
    }
    return (MoveTo(FileHandle(handle_), size) && SetEndOfFile(FileHandle(handle_)) != FALSE) || Failed();
}

bool ExclusiveFile::Flush() {
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return Failed();
    }
    return FlushFileBuffers(FileHandle(handle_)) != FALSE || Failed();
}

void ExclusiveFile::Close() {
    if (IsOpen()) {
        CloseHandle(FileHandle(handle_));
        handle_ = kClosed;
    }
}

}  // namespace velmo
