// A file opened for reading only, sharing it with every other opener, so that
// a reader never keeps a writer out for longer than one read. The log viewer
// opens the archive for each block it reads and closes it again: the capture
// opens the archive exclusively and must find it free. Names are CP932 bytes.
#pragma once

#include <cstdint>
#include <string>

namespace velmo {

enum class ReadResult { Read, Missing, Locked, Failed };

// Reads up to `length` bytes at `position` of `name` into `buffer`, opening
// and closing the file; `got` receives how many were read (fewer at the end
// of the file) and `size` the file's length at that moment.
ReadResult ReadFileRange(const std::string& name, std::uint64_t position, char* buffer, std::size_t length,
                         std::size_t& got, std::uint64_t& size);

// The file's length; Missing when there is no such file.
ReadResult FileLength(const std::string& name, std::uint64_t& size);

}  // namespace velmo
