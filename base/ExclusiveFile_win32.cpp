#include <windows.h>

#include <algorithm>

#include <utility>
#include "base/Wide_win32.h"

#include "base/ExclusiveFile.h"

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

bool ExclusiveFile::Open(const std::string& name) {
    Close();
    if (name.empty()) {
        return false;
    }
    // Share mode 0: while this handle is open no other opener gets the file.
    HANDLE file = CreateFileW(SjisToWide(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return true;
}

bool ExclusiveFile::ReadAll(std::string& bytes) {
    if (!IsOpen() || !MoveTo(FileHandle(handle_), 0)) {
        return false;
    }
    std::string content;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(FileHandle(handle_), &size) && size.QuadPart > 0) {
        content.reserve(static_cast<std::size_t>(size.QuadPart));  // one allocation, not a doubling series
    }
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(FileHandle(handle_), buffer, sizeof buffer, &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            break;
        }
        content.append(buffer, read);
    }
    bytes = std::move(content);
    return true;
}

bool ExclusiveFile::WriteAt(std::uint64_t position, std::string_view bytes) {
    if (!IsOpen() || !MoveTo(FileHandle(handle_), position)) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(FileHandle(handle_), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

bool ExclusiveFile::Truncate(std::uint64_t size) {
    return IsOpen() && MoveTo(FileHandle(handle_), size) && SetEndOfFile(FileHandle(handle_)) != FALSE;
}

void ExclusiveFile::Close() {
    if (IsOpen()) {
        CloseHandle(FileHandle(handle_));
        handle_ = kClosed;
    }
}

}  // namespace velmo
