// Windows' share modes on POSIX, for the openers of this program: byte 0 of
// a lock range stands for reading the file, byte 1 for writing it. An opener
// that reads or writes holds a shared lock on that byte; one that keeps
// others from reading or writing holds an exclusive lock on it. So a writer
// that lets readers in (shared 0, exclusive 1) and a reader that lets writers
// in (shared 0) both get the file, while a second such writer, or a writer
// that lets no one in (exclusive 0 and 1), is refused as on Windows. The
// locks are open file description locks: two openers in one process keep
// each other out as two programs would, and closing the descriptor releases
// them. They are advisory and never stop a read or a write as such.
#pragma once

#include <fcntl.h>

namespace velmo {

enum class ShareByte { Reading = 0, Writing = 1 };

// Takes the lock at once; false (with errno set) when another opener holds
// one it conflicts with.
inline bool LockShareByte(int fd, ShareByte byte, bool exclusive) {
    struct flock lock {};
    lock.l_type = exclusive ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(byte);
    lock.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

}  // namespace velmo
