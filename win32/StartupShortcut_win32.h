// The shortcut of "Windows の起動時に開始する" on Win32: a .lnk in the user's
// Startup folder (shell link object, IShellLinkW + IPersistFile) whose target
// is the running .exe and whose working folder is the current directory.
#pragma once

#include <windows.h>

#include <string>

#include "settings/StartupShortcut.h"

namespace velmo {

class Win32StartupShortcut final : public StartupShortcut {
  public:
    // Initialises COM on the calling thread (the user-interface thread) for
    // the object's life, and works out where the shortcut goes.
    Win32StartupShortcut();
    ~Win32StartupShortcut() override;
    Win32StartupShortcut(const Win32StartupShortcut&) = delete;
    Win32StartupShortcut& operator=(const Win32StartupShortcut&) = delete;

    bool Exists() override;
    bool Create() override;
    bool Remove() override;
    bool TurnedOff() override;

    // The shortcut's full name; empty when the Startup folder is unknown.
    const std::wstring& LinkPath() const { return link_; }

  private:
    bool uninitialize_ = false;
    std::wstring program_;
    std::wstring folder_;
    std::wstring link_;
    std::wstring linkName_;  // its file name: the name Task Manager's mark goes by
};

}  // namespace velmo
