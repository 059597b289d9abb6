#include <windows.h>

#include <algorithm>

#include "base/SharedReadFile.h"
#include "base/Wide_win32.h"

namespace velmo {

namespace {

ReadResult FromLastError() {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        return ReadResult::Missing;
    }
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? ReadResult::Locked
                                                                             : ReadResult::Failed;
}

HANDLE FileHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

ReadResult SharedReadFile::Open(const std::string& name) {
    Close();
    // Reading only, and every other opener let in, writers and deleters too.
    HANDLE file = CreateFileW(SjisToWide(name).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return FromLastError();
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return ReadResult::Read;
}

ReadResult SharedReadFile::Size(std::uint64_t& size) {
    LARGE_INTEGER length{};
    if (handle_ == kClosed || !GetFileSizeEx(FileHandle(handle_), &length)) {
        return ReadResult::Failed;
    }
    size = static_cast<std::uint64_t>(length.QuadPart);
    return ReadResult::Read;
}

ReadResult SharedReadFile::ReadAt(std::uint64_t position, char* buffer, std::size_t length,
                                  std::size_t& got) {
    got = 0;
    if (handle_ == kClosed) {
        return ReadResult::Failed;
    }
    while (got < length) {
        OVERLAPPED at{};
        const std::uint64_t offset = position + got;
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(length - got, 1u << 30));
        if (!ReadFile(FileHandle(handle_), buffer + got, want, &n, &at)) {
            // Reading at or past the end of the file is not an error here.
            return GetLastError() == ERROR_HANDLE_EOF ? ReadResult::Read : FromLastError();
        }
        if (n == 0) {
            break;
        }
        got += n;
    }
    return ReadResult::Read;
}

void SharedReadFile::Close() {
    if (handle_ != kClosed) {
        CloseHandle(FileHandle(handle_));
        handle_ = kClosed;
    }
}

ReadResult FileLength(const std::string& name, std::uint64_t& size) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(SjisToWide(name).c_str(), GetFileExInfoStandard, &data)) {
        return FromLastError();
    }
    size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return ReadResult::Read;
}

}  // namespace velmo
