// Makes a file that nobody may write for the length of a test, root included:
// read-only permissions, and where those do not bind (root on Linux) the
// immutable attribute as well. The destructor makes the file writable again so
// that the test's folder can be removed.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace velmo::testing {

class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(std::filesystem::path path) : path_(std::move(path)) {
        std::filesystem::permissions(path_, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                                std::filesystem::perms::others_read);
#ifndef _WIN32
        if (Writable()) {
            immutable_ = std::system(("chattr +i '" + path_.string() + "' 2>/dev/null").c_str()) == 0;
        }
#endif
    }
    ~ReadOnlyFile() {
#ifndef _WIN32
        if (immutable_) {
            [[maybe_unused]] int ignored = std::system(("chattr -i '" + path_.string() + "'").c_str());
        }
#endif
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // True while this process could still open the file for writing: the
    // test cannot show what it means to, and says so instead of passing.
    bool Writable() const { return std::ofstream(path_, std::ios::app).is_open(); }

  private:
    std::filesystem::path path_;
    bool immutable_ = false;
};

}  // namespace velmo::testing
