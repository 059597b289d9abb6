#include "base/SharedReadFile.h"

namespace velmo {

ReadResult ReadFileRange(const std::string& name, std::uint64_t position, char* buffer, std::size_t length,
                         std::size_t& got, std::uint64_t& size) {
    got = 0;
    SharedReadFile file;
    ReadResult result = file.Open(name);
    if (result == ReadResult::Read) {
        result = file.Size(size);
    }
    if (result == ReadResult::Read && position < size) {
        result = file.ReadAt(position, buffer, length, got);
    }
    return result;
}

}  // namespace velmo
