// Files and directories, with names as CP932 bytes (converted to UTF-16 on
// Windows, so names survive on every locale).
#pragma once

#include <string>

namespace velmo {

// The separator this platform puts between directory and file name.
extern const char kPathSeparator;

// The current working directory followed by one separator, appended even when
// the directory already ends in one (a drive root). Empty when it cannot be read.
std::string CurrentDirectoryWithSeparator();

bool ChangeCurrentDirectory(const std::string& path);

// The whole file; false when it is missing or cannot be read.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`,
// so a reader sees the old or the new content, never half of it. False (and
// the old file untouched) when any step fails; `reason` then receives the
// system's text for the failure (CP932), when given. Without `flush` the
// bytes are not forced to the disk first: a process killed at any moment
// still leaves the old or the new content, a power cut may leave neither
// (for a file its reader checks whole).
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, std::string* reason = nullptr,
                           bool flush = true);

}  // namespace velmo
