// A file no other opener can write while it is open: the log file's tail is
// read, cut and appended to under one such open, so no other program (or
// second capture) can change it in between. Readers are kept out too unless
// the open lets them in (FileSharing::Readers). Windows opens with a share
// mode; POSIX stands the share modes in with open file description locks
// (see ExclusiveFile_posix.cpp), which every opener of this program takes.
// Names are CP932 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmo {

// Who else may open the file while it is held: no one, or readers that
// themselves let a writer in (the log viewer's SharedReadFile).
enum class FileSharing { NoOne, Readers };

class ExclusiveFile {
  public:
    ExclusiveFile() = default;
    ~ExclusiveFile() { Close(); }
    ExclusiveFile(const ExclusiveFile&) = delete;
    ExclusiveFile& operator=(const ExclusiveFile&) = delete;

    // Opens `name` for reading and writing, creating it when absent and
    // keeping its content when present. False when the folder does not exist,
    // the file cannot be written, or another opener holds it in a way
    // `sharing` does not allow.
    bool Open(const std::string& name, FileSharing sharing = FileSharing::NoOne);
    bool IsOpen() const { return handle_ != kClosed; }

    // The file's length in bytes.
    bool Size(std::uint64_t& size);
    // Reads exactly `length` bytes at `position` into `buffer`; false on an
    // error or when the file ends before them.
    bool ReadAt(std::uint64_t position, char* buffer, std::size_t length);
    // Writes every byte of `bytes` at `position` (the end of the file appends).
    bool WriteAt(std::uint64_t position, std::string_view bytes);
    // Cuts the file to `size` bytes.
    bool Truncate(std::uint64_t size);
    // Makes what was written reach the disk before returning.
    bool Flush();
    // Releases the file; safe to call when closed.
    void Close();
    // The system's message (CP932) for the last call that failed; empty
    // while none has.
    const std::string& LastErrorText() const { return lastError_; }

  private:
    // Keeps the system's message for the error the last call left; returns false.
    bool Failed();

    static constexpr std::intptr_t kClosed = -1;
    // A file descriptor on POSIX, a HANDLE on Windows.
    std::intptr_t handle_ = kClosed;
    std::string lastError_;
};

}  // namespace velmo
