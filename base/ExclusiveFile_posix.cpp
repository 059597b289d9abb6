#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>
#include <utility>

#include "base/ExclusiveFile.h"
#include "base/ShareLocks_posix.h"

namespace velmo {

namespace {

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

bool ExclusiveFile::Failed() {
    lastError_ = std::error_code(errno, std::generic_category()).message();
    return false;
}

bool ExclusiveFile::Open(const std::string& name, FileSharing sharing) {
    Close();
    if (name.empty()) {
        errno = ENOENT;
        return Failed();
    }
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return Failed();
    }
    // This opener reads and writes, and keeps other writers out (readers
    // too unless `sharing` lets them in); an opener it conflicts with makes
    // the open fail at once.
    if (!LockShareByte(fd, ShareByte::Reading, sharing == FileSharing::NoOne) ||
        !LockShareByte(fd, ShareByte::Writing, true)) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return Failed();
    }
    handle_ = fd;
    return true;
}

bool ExclusiveFile::Size(std::uint64_t& size) {
    struct stat status {};
    if (!IsOpen()) {
        errno = EBADF;
        return Failed();
    }
    if (::fstat(Descriptor(handle_), &status) != 0) {
        return Failed();
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

bool ExclusiveFile::ReadAt(std::uint64_t position, char* buffer, std::size_t length) {
    if (!IsOpen()) {
        errno = EBADF;
        return Failed();
    }
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n =
            ::pread(Descriptor(handle_), buffer + done, length - done, static_cast<off_t>(position + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Failed();
        }
        if (n == 0) {
            // The file is shorter than the caller was told: another writer
            // cannot be at work under the locks, so the file changed under it.
            errno = EIO;
            return Failed();
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ExclusiveFile::WriteAt(std::uint64_t position, std::string_view bytes) {
    if (!IsOpen()) {
        errno = EBADF;
        return Failed();
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(Descriptor(handle_), bytes.data() + done, bytes.size() - done,
                                   static_cast<off_t>(position + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Failed();
        }
        if (n == 0) {
            errno = ENOSPC;
            return Failed();
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ExclusiveFile::Truncate(std::uint64_t size) {
    if (!IsOpen()) {
        errno = EBADF;
        return Failed();
    }
    return ::ftruncate(Descriptor(handle_), static_cast<off_t>(size)) == 0 || Failed();
}

bool ExclusiveFile::Flush() {
    if (!IsOpen()) {
        errno = EBADF;
        return Failed();
    }
    return ::fsync(Descriptor(handle_)) == 0 || Failed();
}

void ExclusiveFile::Close() {
    if (IsOpen()) {
        // Closing the descriptor releases the locks.
        ::close(Descriptor(handle_));
        handle_ = kClosed;
    }
}

}  // namespace velmo
