// The log file name chosen on the "ログ" page, relative to the current directory
// where possible. Names are CP932: the second byte of a double-byte character
// is never taken for a separator.
#pragma once

#include <string>

namespace velmo {

// The save-file dialog's name buffer holds this many bytes with the terminator.
inline constexpr std::size_t kFileNameBuffer = 260;

// Where the save-file dialog opens: the part of `fileName` before its last
// separator, or `currentDirectory` when the name holds none.
std::string InitialDirectoryFor(const std::string& fileName, const std::string& currentDirectory,
                                char separator);

// `fileName` without the leading `currentDirectory` text (which ends in a
// separator) when it begins with it, exactly; otherwise unchanged. A drive
// root remembered as "C:\\\\" (two separators) leaves chosen names absolute.
std::string RelativeToDirectory(const std::string& fileName, const std::string& currentDirectory);

// The name as it fits the dialog's buffer: cut at a character boundary.
std::string FitFileNameBuffer(const std::string& fileName);

}  // namespace velmo
