#include "dialogs/setup_dialog_runner.h"

#include "dialogs/channel_setup_dialog.h"
#include "dialogs/log_file_dialog.h"
#include "dialogs/motion_setup_dialog.h"
#include "dialogs/record_setup_dialog.h"
#include "dialogs/system_setup_dialog.h"
#include "platform/msgbox/message_box.h"

int CSetupDialogRunner::RunChannelSetup() {
    CChannelSetupDialog dialog(m_pMainWnd);
    return static_cast<int>(dialog.DoModal());
}

int CSetupDialogRunner::RunRecordSetup() {
    CRecordSetupDialog dialog(m_pMainWnd);
    return static_cast<int>(dialog.DoModal());
}

int CSetupDialogRunner::RunMotionSetup() {
    CMotionSetupDialog dialog(m_pMainWnd);
    return static_cast<int>(dialog.DoModal());
}

int CSetupDialogRunner::RunSystemSetup() {
    CSystemSetupDialog dialog(m_pMainWnd);
    return static_cast<int>(dialog.DoModal());
}

void CSetupDialogRunner::RunLogFile() {
    CLogFileDialog dialog;
    dialog.DoModal();  // it saves nothing
}
