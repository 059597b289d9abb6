#include "settings/StartupShortcut.h"

#include <cstddef>

#include "res/resource.h"

namespace velmo {

namespace {

constexpr std::size_t kFolderNameCharacters = 32;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The last part of the path, without separators at its end; empty for a
// drive root ("C:\"), whose name cannot be part of a file name.
std::string_view FolderName(std::string_view folder) {
    while (!folder.empty() && IsSeparator(folder.back())) {
        folder.remove_suffix(1);
    }
    std::size_t start = folder.size();
    while (start > 0 && !IsSeparator(folder[start - 1])) {
        --start;
    }
    std::string_view name = folder.substr(start);
    return name.find(':') == std::string_view::npos ? name : std::string_view();
}

// The first `count` characters of UTF-8 text (a character never split).
std::string_view FirstCharacters(std::string_view utf8, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t seen = 0; end < utf8.size(); ++end) {
        const bool startsCharacter = (static_cast<unsigned char>(utf8[end]) & 0xC0) != 0x80;
        if (startsCharacter && seen++ == count) {
            break;
        }
    }
    return utf8.substr(0, end);
}

}  // namespace

StartupChange ApplyStartWithWindows(bool shown, bool ticked, StartupShortcut& shortcut) {
    if (shown == ticked) {
        return StartupChange::Unchanged;
    }
    if (ticked) {
        return shortcut.Create() ? StartupChange::Created : StartupChange::CreateFailed;
    }
    return shortcut.Remove() ? StartupChange::Removed : StartupChange::RemoveFailed;
}

bool StartupApprovedTurnedOff(const unsigned char* bytes, std::size_t size) {
    return size > 0 && (bytes[0] & 1u) != 0;
}

int StartupChangeMessage(StartupChange change) {
    switch (change) {
        case StartupChange::CreateFailed:
            return IDS_STARTUP_CREATE_FAILED;
        case StartupChange::RemoveFailed:
            return IDS_STARTUP_REMOVE_FAILED;
        case StartupChange::Unchanged:
        case StartupChange::Created:
        case StartupChange::Removed:
            break;
    }
    return 0;
}

std::string StartupShortcutFileName(std::string_view folderUtf8, std::string_view instanceKey) {
    const std::size_t dash = instanceKey.rfind('-');
    const std::string_view hash = dash == std::string_view::npos ? instanceKey : instanceKey.substr(dash + 1);
    const std::string_view name = FirstCharacters(FolderName(folderUtf8), kFolderNameCharacters);
    std::string file = "Velmo tool ";
    if (!name.empty()) {
        file.append("(").append(name).append(") ");
    }
    return file.append(hash).append(".lnk");
}

}  // namespace velmo
