// Choosing the record folder and giving up a drive that fills.

#include "channel/av_channel.h"
#include "mainwnd/main_dialog_state.h"
#include "mainwnd/main_window_poster.h"
#include "mainwnd/record_drive_space.h"
#include "platform/msgbox/message_box.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"
#include "settings/settings.h"
#include "settings/settings_lock.h"

int CMainDialogState::ChooseRecordDrive() {
    const SystemBlock system = ReadSettings(g_Settings.System);
    const std::string folder = FindRecordFolder(system.byRecordDrive);
    SetRecordFolder(folder);
    if (folder.empty()) {
        PostToMainWindow(WM_NO_RECORD_DISK, 0, 0);
    }
    // Every recording channel starts a new file in the new folder.
    const int count = g_nChannelCount.load();
    for (int n = 0; n < count; ++n) {
        CAVChannel* channel = g_pAVChannel[n].load();
        if (channel != nullptr) {
            channel->nRecordAge = RECORD_AGE_NEW_FILE;
        }
    }
    return folder.empty() ? 0 : 1;
}

int CMainDialogState::CheckRecordDriveSpace() {
    const std::string folder = GetRecordFolder();
    if (folder.empty()) {
        return 0;  // an empty folder is chosen again only by the system dialog
    }
    if (RecordFolderIsShortOfSpace(folder)) {
        return ChooseRecordDrive();
    }
    return 1;
}

void CMainDialogState::OnNoRecordDisk() {
    ShowMessageBox("FULL ! No Record Disk Space!", "WARNING", MB_OK);
    if (hooks.messageBeep) {
        hooks.messageBeep(SIMPLE_BEEP);
    }
}
