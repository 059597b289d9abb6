// The application object: builds the main window, runs it modally and
// destroys it (which saves the settings). The process ends afterwards.
#pragma once

#include <functional>

#include "app/CRouterStatusDlg.h"

namespace velmo {

class CRouterToolApp {
  public:
    using ModalRunner = std::function<void(CRouterStatusDlg&)>;

    // The start-up hook. Returns false: the application runs no message loop
    // of its own once the main window has closed.
    bool InitInstance(WindowHost& host, TrayHost& tray, Clock& clock, const ModalRunner& runModal);

    // After InitInstance: false when a router job could not be ended (a
    // worker stuck in name resolution); the process should then end without
    // running anything more, which would wait for it or race with it.
    bool JobsEnded() const { return jobsEnded_; }

  private:
    bool jobsEnded_ = true;
};

}  // namespace velmo
