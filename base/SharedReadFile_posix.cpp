#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/ShareLocks_posix.h"
#include "base/SharedReadFile.h"

namespace velmo {

namespace {

ReadResult FromErrno() {
    if (errno == ENOENT || errno == ENOTDIR) {
        return ReadResult::Missing;
    }
    return errno == EACCES || errno == EWOULDBLOCK ? ReadResult::Locked : ReadResult::Failed;
}

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

ReadResult SharedReadFile::Open(const std::string& name) {
    Close();
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return FromErrno();
    }
    // This opener reads and keeps no one out.
    if (!LockShareByte(fd, ShareByte::Reading, false)) {
        const ReadResult result = FromErrno();
        ::close(fd);
        return result;
    }
    handle_ = fd;
    return ReadResult::Read;
}

ReadResult SharedReadFile::Size(std::uint64_t& size) {
    struct stat status {};
    if (handle_ == kClosed || ::fstat(Descriptor(handle_), &status) != 0) {
        return ReadResult::Failed;
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return ReadResult::Read;
}

ReadResult SharedReadFile::ReadAt(std::uint64_t position, char* buffer, std::size_t length,
                                  std::size_t& got) {
    got = 0;
    if (handle_ == kClosed) {
        return ReadResult::Failed;
    }
    while (got < length) {
        const ssize_t n =
            ::pread(Descriptor(handle_), buffer + got, length - got, static_cast<off_t>(position + got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? ReadResult::Failed : ReadResult::Read;
        }
        got += static_cast<std::size_t>(n);
    }
    return ReadResult::Read;
}

void SharedReadFile::Close() {
    if (handle_ != kClosed) {
        ::close(Descriptor(handle_));
        handle_ = kClosed;
    }
}

ReadResult FileLength(const std::string& name, std::uint64_t& size) {
    struct stat status {};
    if (::stat(name.c_str(), &status) != 0) {
        return FromErrno();
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return ReadResult::Read;
}

}  // namespace velmo
