// Scratch folders for tests: a fresh, empty folder removed with everything in
// it afterwards, and the same made the current directory for one test.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "base/FileSystem.h"

namespace velmo::testing {

class TempDirectory {
  public:
    TempDirectory() {
        static std::atomic<int> counter{0};
        const auto name =
            "velmo-test-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter++);
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(path_);
    }
    ~TempDirectory() {
        std::error_code ignored;  // a leftover temporary folder is harmless
        std::filesystem::remove_all(path_, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

  private:
    std::filesystem::path path_;
};

// A TempDirectory that is the current directory while the object lives.
class ScopedCurrentDirectory {
  public:
    ScopedCurrentDirectory() : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(directory_.Path());
    }
    ~ScopedCurrentDirectory() {
        std::error_code ignored;  // the folder goes all the same
        std::filesystem::current_path(previous_, ignored);
    }
    ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
    ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

    // A file name in this directory, as the core names files (CP932 bytes).
    std::string File(const std::string& name) const { return CurrentDirectoryWithSeparator() + name; }

  private:
    // Declared first, so the folder exists before it is made current.
    TempDirectory directory_;
    std::filesystem::path previous_;
};

}  // namespace velmo::testing
