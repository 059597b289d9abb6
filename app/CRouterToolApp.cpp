#include "app/CRouterToolApp.h"

namespace velmo {

bool CRouterToolApp::InitInstance(WindowHost& host, TrayHost& tray, Clock& clock,
                                  const ModalRunner& runModal) {
    CRouterStatusDlg mainWindow(host, tray, clock);
    runModal(mainWindow);  // its result is not looked at
    jobsEnded_ = mainWindow.EndJobs();
    return false;
}

}  // namespace velmo
