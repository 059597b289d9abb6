// "Windows の起動時に開始する": a shortcut in the user's Startup folder that
// starts the tool in the folder it runs from now, so that it finds the same
// settings file and log file when Windows starts it. (A Run registry entry
// would start it in the system folder instead.) The shortcut itself is the
// platform's, reached through the StartupShortcut port; the rules of when it
// is made or removed are here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmo {

// The shortcut of this tool in this folder.
class StartupShortcut {
  public:
    virtual ~StartupShortcut() = default;
    // True when the shortcut is there and starts this program in this folder.
    virtual bool Exists() = 0;
    // Creates or overwrites it; false when it could not be written.
    virtual bool Create() = 0;
    // Deletes it; true when it is gone (or was never there).
    virtual bool Remove() = 0;
    // True when the user turned it off in Task Manager's start-up list: the
    // shortcut is there, but Windows does not start it.
    virtual bool TurnedOff() = 0;
};

// Task Manager's mark for one start-up item (its value under
// Explorer\StartupApproved, `size` bytes): the first byte's lowest bit set
// means turned off (03 or 07, with the moment it was turned off; 02 and 06
// are on). A value too short to say is on.
bool StartupApprovedTurnedOff(const unsigned char* bytes, std::size_t size);

enum class StartupChange { Unchanged, Created, Removed, CreateFailed, RemoveFailed };

// After the sheet was confirmed with OK: the shortcut follows the box when
// the user changed it (`shown` is what the box showed when the sheet opened,
// `ticked` what it shows now); an unchanged box leaves the shortcut alone.
StartupChange ApplyStartWithWindows(bool shown, bool ticked, StartupShortcut& shortcut);

// The string-table message that tells the user about a failed change, or 0.
int StartupChangeMessage(StartupChange change);

// The shortcut's file name for the folder `folderUtf8` (a full path, UTF-8)
// whose instance key (base/InstanceKey.h) is `instanceKey`: the tool's name,
// the folder's own name (cut to 32 characters, for the user's eyes) and the
// key's hash (so that copies in two folders, e.g. for two routers, each keep
// their own shortcut), e.g. "Velmo tool (router1) 0123456789abcdef.lnk".
std::string StartupShortcutFileName(std::string_view folderUtf8, std::string_view instanceKey);

}  // namespace velmo
