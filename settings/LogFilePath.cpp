#include "settings/LogFilePath.h"

#include "base/SjisText.h"

namespace velmo {

std::string InitialDirectoryFor(const std::string& fileName, const std::string& currentDirectory,
                                char separator) {
    std::size_t last = SjisFindLastChar(fileName, separator);
    if (last == npos) {
        return currentDirectory;
    }
    return fileName.substr(0, last);
}

std::string RelativeToDirectory(const std::string& fileName, const std::string& currentDirectory) {
    if (currentDirectory.empty() || fileName.compare(0, currentDirectory.size(), currentDirectory) != 0 ||
        !IsSjisCharBoundary(fileName, currentDirectory.size())) {
        return fileName;
    }
    return fileName.substr(currentDirectory.size());
}

std::string FitFileNameBuffer(const std::string& fileName) {
    return std::string(SjisTruncate(fileName, kFileNameBuffer - 1));
}

}  // namespace velmo
