// A file opened for reading only, letting every other opener in: a writer
// that lets readers in (the capture's ExclusiveFile with FileSharing::Readers)
// opens the file while it is held, and writes go on under the reader, which
// must take the file as it finds it at each read. Names are CP932 bytes.
#pragma once

#include <cstdint>
#include <string>

namespace velmo {

enum class ReadResult { Read, Missing, Locked, Failed };

class SharedReadFile {
  public:
    SharedReadFile() = default;
    ~SharedReadFile() { Close(); }
    SharedReadFile(const SharedReadFile&) = delete;
    SharedReadFile& operator=(const SharedReadFile&) = delete;

    // Locked when an opener holds the file without letting readers in.
    ReadResult Open(const std::string& name);
    // The file's length now.
    ReadResult Size(std::uint64_t& size);
    // Reads up to `length` bytes at `position` into `buffer`; `got` receives
    // how many were read (fewer at the end of the file).
    ReadResult ReadAt(std::uint64_t position, char* buffer, std::size_t length, std::size_t& got);
    // Releases the file; safe to call when closed.
    void Close();

  private:
    static constexpr std::intptr_t kClosed = -1;
    // A file descriptor on POSIX, a HANDLE on Windows.
    std::intptr_t handle_ = kClosed;
};

// Reads up to `length` bytes at `position` of `name` into `buffer`, opening
// and closing the file; `got` receives how many were read (fewer at the end
// of the file) and `size` the file's length at that moment.
ReadResult ReadFileRange(const std::string& name, std::uint64_t position, char* buffer, std::size_t length,
                         std::size_t& got, std::uint64_t& size);

// The file's length; Missing when there is no such file.
ReadResult FileLength(const std::string& name, std::uint64_t& size);

}  // namespace velmo
