#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/SharedReadFile.h"

namespace velmo {

namespace {

ReadResult FromErrno() {
    if (errno == ENOENT || errno == ENOTDIR) {
        return ReadResult::Missing;
    }
    return errno == EACCES || errno == EWOULDBLOCK ? ReadResult::Locked : ReadResult::Failed;
}

}  // namespace

ReadResult ReadFileRange(const std::string& name, std::uint64_t position, char* buffer, std::size_t length,
                         std::size_t& got, std::uint64_t& size) {
    got = 0;
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return FromErrno();
    }
    struct stat status {};
    ReadResult result = ReadResult::Read;
    if (::fstat(fd, &status) != 0) {
        result = ReadResult::Failed;
    } else {
        size = static_cast<std::uint64_t>(status.st_size);
        while (got < length && position + got < size) {
            const ssize_t n = ::pread(fd, buffer + got, length - got, static_cast<off_t>(position + got));
            if (n <= 0) {
                result = n < 0 ? ReadResult::Failed : result;
                break;
            }
            got += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    return result;
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
