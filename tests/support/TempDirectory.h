// A scratch directory made the current directory for one test, removed after.
#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "base/FileSystem.h"

namespace velmo::testing {

class ScopedCurrentDirectory {
  public:
    ScopedCurrentDirectory() : previous_(std::filesystem::current_path()) {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() / ("velmo-test-" + std::to_string(random()));
        std::filesystem::create_directories(path_);
        std::filesystem::current_path(path_);
    }
    ~ScopedCurrentDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
    ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

    // A file name in this directory, as the core names files (CP932 bytes).
    std::string File(const std::string& name) const { return CurrentDirectoryWithSeparator() + name; }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace velmo::testing
