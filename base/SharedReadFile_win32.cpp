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

HANDLE OpenShared(const std::string& name) {
    return CreateFileW(SjisToWide(name).c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

}  // namespace

ReadResult ReadFileRange(const std::string& name, std::uint64_t position, char* buffer, std::size_t length,
                         std::size_t& got, std::uint64_t& size) {
    got = 0;
    HANDLE file = OpenShared(name);
    if (file == INVALID_HANDLE_VALUE) {
        return FromLastError();
    }
    ReadResult result = ReadResult::Read;
    LARGE_INTEGER length64{};
    if (!GetFileSizeEx(file, &length64)) {
        result = FromLastError();
    } else {
        size = static_cast<std::uint64_t>(length64.QuadPart);
        while (got < length && position + got < size) {
            OVERLAPPED at{};
            const std::uint64_t offset = position + got;
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            DWORD n = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(length - got, 1u << 30));
            if (!ReadFile(file, buffer + got, want, &n, &at)) {
                result = FromLastError();
                break;
            }
            if (n == 0) {
                break;
            }
            got += n;
        }
    }
    CloseHandle(file);
    return result;
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
