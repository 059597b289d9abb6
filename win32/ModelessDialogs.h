// The tool's dialogs that stay open beside the main window (the
// auto-disconnect question, messages): the main window goes on while they
// are up, and its close takes them with it.
#pragma once

#include <windows.h>

#include <vector>

namespace velmo {

class ModelessDialogs {
  public:
    ModelessDialogs() = default;
    ~ModelessDialogs();
    ModelessDialogs(const ModelessDialogs&) = delete;
    ModelessDialogs& operator=(const ModelessDialogs&) = delete;

    // Keeps `dialog` (made on this thread; nothing when nullptr): its keys
    // work as in a dialog's own loop, and DestroyAll takes it.
    void Add(HWND dialog);
    // Destroys every one still open.
    void DestroyAll();

  private:
    HHOOK hook_ = nullptr;
    std::vector<HWND> dialogs_;
};

}  // namespace velmo
