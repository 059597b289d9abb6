// UTF-8 <-> UTF-16 for the names the front end builds itself (folder paths,
// instance keys), and the usual dance with Win32 calls that fill a buffer and
// say how long the text would be.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace velmo {

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

// Calls `get(buffer, size)` with a buffer that grows until the text fits;
// empty when the call fails.
template <typename Get>
std::wstring GrowingBuffer(Get get) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = get(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(static_cast<std::size_t>(length) + 1);
    }
}

}  // namespace velmo
