#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "base/ExclusiveFile.h"

namespace velmo {

namespace {

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

bool ExclusiveFile::Open(const std::string& name) {
    Close();
    if (name.empty()) {
        return false;
    }
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    // Another opener that holds the lock makes this open fail at once.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    handle_ = fd;
    return true;
}

bool ExclusiveFile::ReadAll(std::string& bytes) {
    if (!IsOpen()) {
        return false;
    }
    std::string content;
    struct stat status {};
    if (::fstat(Descriptor(handle_), &status) == 0 && status.st_size > 0) {
        content.reserve(static_cast<std::size_t>(status.st_size));  // one allocation, not a doubling series
    }
    char buffer[65536];
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(Descriptor(handle_), buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
    bytes = std::move(content);
    return true;
}

bool ExclusiveFile::WriteAt(std::uint64_t position, std::string_view bytes) {
    if (!IsOpen()) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(Descriptor(handle_), bytes.data() + done, bytes.size() - done,
                                   static_cast<off_t>(position + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ExclusiveFile::Truncate(std::uint64_t size) {
    return IsOpen() && ::ftruncate(Descriptor(handle_), static_cast<off_t>(size)) == 0;
}

void ExclusiveFile::Close() {
    if (IsOpen()) {
        // Closing the descriptor releases the lock.
        ::close(Descriptor(handle_));
        handle_ = kClosed;
    }
}

}  // namespace velmo
