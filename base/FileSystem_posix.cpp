#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/FileSystem.h"

namespace velmo {

const char kPathSeparator = '/';

std::string CurrentDirectoryWithSeparator() {
    std::vector<char> buffer(4096);
    if (getcwd(buffer.data(), buffer.size()) == nullptr) {
        return {};
    }
    return std::string(buffer.data()) + kPathSeparator;
}

bool ChangeCurrentDirectory(const std::string& path) {
    return chdir(path.c_str()) == 0;
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::string content;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, n);
    }
    bool ok = std::ferror(file) == 0;
    std::fclose(file);
    if (ok) {
        bytes = std::move(content);
    }
    return ok;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, std::string* reason,
                           bool flush) {
    std::string temporary = path + ".tmp" + std::to_string(getpid());
    const auto fail = [&](int error) {
        if (reason != nullptr) {
            *reason = std::strerror(error);
        }
        std::remove(temporary.c_str());
        return false;
    };
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return fail(errno);
    }
    int error = 0;
    const auto note = [&error](bool ok) {
        if (!ok && error == 0) {
            error = errno != 0 ? errno : EIO;
        }
        return ok;
    };
    bool ok = note(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    ok = note(std::fflush(file) == 0) && ok;
    ok = (!flush || note(fsync(fileno(file)) == 0)) && ok;
    ok = note(std::fclose(file) == 0) && ok;
    if (!ok) {
        return fail(error);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        return fail(errno);
    }
    return true;
}

}  // namespace velmo
