#include "mainwnd/recorder_app.h"

#include "mainwnd/main_dialog.h"
#include "platform/display/display_device.h"
#include "platform/msgbox/message_box.h"
#include "platform/ui/display_checks.h"
#include "platform/ui/single_copy.h"
#include "platform/ui/window_registry.h"
#include "settings/settings.h"

int IsDirectXPresent() {
    // The display card the surfaces draw with is installed at start.
    return IsDisplayPresent() && GetDefaultDisplayDevice() != nullptr ? 1 : 0;
}

int IsScreenLargeEnough() {
    return GetSystemMetrics(SM_CXSCREEN) >= 1024 && GetSystemMetrics(SM_CYSCREEN) >= 768 ? 1 : 0;
}

int CheckSmallFonts() {
    if (GetDesktopLogicalDpiX() != 96) {
        ShowMessageBox("Please Set Small Font !", "Warning", MB_OK);
    }
    return 1;
}

BOOL CRecorderApp::InitInstance() {
    // Held for the life of the process; a second copy ends without a word.
    if (!AcquireSingleCopyLock(SingleCopyLockPath(GetExecutableName()))) {
        return FALSE;
    }
    if (IsDirectXPresent() == 0) {
        ShowMessageBox("Please Setup DirectX 8.1 !", "ERROR", MB_OK);
        return FALSE;
    }
    if (IsScreenLargeEnough() == 0) {
        ShowMessageBox("Please Set 1024*768!", "ERROR", MB_OK);
        return FALSE;
    }
    CheckSmallFonts();
    if (InitSettingsPaths() == 0) {
        return FALSE;
    }
    LoadSettingsFile();
    {
        std::unique_ptr<ISetupDialogRunner> setupDialogs;  // outlives the dialog
        CMainDialog dialog;
        if (m_makeSetupDialogs) {
            setupDialogs = m_makeSetupDialogs(&dialog);
            dialog.State().SetSetupDialogRunner(setupDialogs.get());
        }
        AfxSetMainWnd(&dialog);
        dialog.DoModal();
        AfxSetMainWnd(nullptr);
    }
    return FALSE;
}
