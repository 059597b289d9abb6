#include "app/CRouterToolApp.h"

namespace velmo {

bool CRouterToolApp::InitInstance(WindowHost& host, Clock& clock, const ModalRunner& runModal) {
    CRouterStatusDlg mainWindow(host, clock);
    runModal(mainWindow);  // its result is not looked at
    return false;
}

}  // namespace velmo
