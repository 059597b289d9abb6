// Makes a file that no program may write or replace for the length of a test,
// root included: read-only permissions, and where those do not bind (root on
// Linux, Wine run as root) the immutable attribute on Linux, or on Windows the
// file held open for this process alone, as another program would hold it.
// The destructor makes the file writable again so the test's folder can go.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/ExclusiveFile.h"

namespace velmo::testing {

class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const std::string& path) : path_(path) {
        std::filesystem::permissions(path_, std::filesystem::perms::owner_read |
                                                std::filesystem::perms::group_read |
                                                std::filesystem::perms::others_read);
        if (!Writable()) {
            return;
        }
#ifdef _WIN32
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
        holder_.Open(path);
#else
        immutable_ = std::system(("chattr +i '" + path + "' 2>/dev/null").c_str()) == 0;
#endif
    }
    ~ReadOnlyFile() {
        holder_.Close();
#ifndef _WIN32
        if (immutable_) {
            [[maybe_unused]] const int ignored = std::system(("chattr -i '" + path_.string() + "'").c_str());
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
    ExclusiveFile holder_;
    bool immutable_ = false;
};

}  // namespace velmo::testing
