#include "mainwnd/main_dialog_state.h"

#include <cstring>

#include "capture/video_proc_amp.h"
#include "mainwnd/audio_monitor.h"
#include "mainwnd/display_flags.h"
#include "settings/globals.h"
#include "settings/settings.h"
#include "settings/settings_lock.h"

CMainDialogState::CMainDialogState() {
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    for (int n = 0; n < MAX_AV_CHANNELS; ++n) {
        g_pAVChannel[n] = nullptr;
        std::memset(&g_Settings.Channel[n], 0, sizeof g_Settings.Channel[n]);
        std::memset(&g_Settings.Record[n], 0, sizeof g_Settings.Record[n]);
        g_Settings.rcChannel[n] = RECT{0, 0, 0, 0};
        m_byBlinkState[n] = BLINK_NORMAL;
    }
    g_hDrawVideoThread = nullptr;
    g_dwDrawVideoThreadId = 0;
    g_pVideoWall = nullptr;
}

CMainDialogState::~CMainDialogState() {
    UninstallServices();
}

void CMainDialogState::SetEventLog(IEventLog* log) {
    m_pLog = log;
}

void CMainDialogState::InstallServices() {
    SetChannelHost(this);
    SetPictureControls(this);
    SetLiveSound(this);
    SetDisplayFlagsReader([this] { return DisplayFlags{m_bOverlay.load(), m_bYuy2.load()}; });
    m_bInstalled = true;
}

void CMainDialogState::UninstallServices() {
    if (!m_bInstalled) {
        return;
    }
    SetChannelHost(nullptr);
    SetPictureControls(nullptr);
    SetLiveSound(nullptr);
    SetDisplayFlagsReader(nullptr);
    m_bInstalled = false;
}

void CMainDialogState::WriteLogEntry(int type, int channel, const char* text) {
    IEventLog* log = m_pLog.load();
    if (log != nullptr) {
        log->WriteLogEntry(type, channel, text);
    } else {
        m_EventLog.WriteLogEntry(type, channel, text);
    }
}

// Channel threads copy the folders while the user-interface thread
// replaces them: each read hands out a copy made under the lock.
std::string CMainDialogState::GetRecordFolder() {
    std::lock_guard<std::mutex> lock(m_folderLock);
    return m_sRecordFolder;
}

std::string CMainDialogState::GetSnapshotFolder() {
    std::lock_guard<std::mutex> lock(m_folderLock);
    return m_sSnapshotFolder;
}

void CMainDialogState::SetRecordFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(m_folderLock);
    m_sRecordFolder = folder;
}

void CMainDialogState::SetSnapshotFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(m_folderLock);
    m_sSnapshotFolder = folder;
}

uint32_t CMainDialogState::GetVideoProcAmp(uint8_t device) {
    return ::GetVideoProcAmp(device);
}

uint32_t CMainDialogState::SetVideoProcAmp(uint8_t device, uint32_t packed) {
    return ::SetVideoProcAmp(device, packed);
}

void CMainDialogState::WritePcm(const uint8_t* data, int bytes) {
    // The channel already checked that it is the selected one and that
    // sound is not muted.
    AudioMonitorFeed(g_nSelectedChannel.load(), data, bytes);
}
