// The merge that read the whole log file and walked it from the start, kept
// beside the benchmark only to compare the tail merge against it.
#pragma once

#include <string>
#include <string_view>

#include "routerlog/LogFile.h"

namespace velmo::wholefile {

LogMerge MergeWholeFile(std::string_view fileContent, std::string captureText, DateTime now);
LogFileResult UpdateWholeFile(const std::string& fileName, std::string captureText, DateTime now);

}  // namespace velmo::wholefile
