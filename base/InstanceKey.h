// The name that stands for one settings folder among the running instances:
// two starts from the same folder get the same name however its path is
// spelled (letter case, "/" or "\", a trailing separator), two folders get
// different names.
#pragma once

#include <string>

namespace velmo {

// `folderUtf8` is the folder's full path in UTF-8, already upper-cased by the
// platform's file-name rules (ASCII letters are upper-cased here as well).
// The result is "VelmoTool-" followed by 16 lower-case hex digits.
std::string InstanceKey(const std::string& folderUtf8);

}  // namespace velmo
