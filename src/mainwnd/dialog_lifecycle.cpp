// The main dialog's start-up and exit sequences, less the window's own
// steps (icons, skin, video wall window, window timers), which run through
// the hooks at their places.

#include <algorithm>
#include <cstdio>
#include <new>

#include "capture/capture_graph.h"
#include "channel/av_channel.h"
#include "mainwnd/audio_monitor.h"
#include "mainwnd/capture_handover.h"
#include "mainwnd/channel_session_host.h"
#include "mainwnd/draw_video_thread.h"
#include "mainwnd/heartbeat.h"
#include "mainwnd/main_dialog_state.h"
#include "media/codec_layer.h"
#include "media/osd_text.h"
#include "netservice/login_server.h"
#include "platform/msgbox/message_box.h"
#include "settings/channel_ini.h"
#include "settings/globals.h"
#include "settings/log_entry.h"
#include "settings/settings.h"
#include "settings/settings_lock.h"

bool CMainDialogState::RunStartup() {
    LoadChannelIni();
    g_nChannelCount = std::min<uint8_t>(g_Settings.nChConfigNum, MAX_AV_CHANNELS);
    SetSnapshotFolder(ReadSettingsText(g_Settings.System.sSnapshotPath));
    m_bOverlay = g_Settings.System.bOverlay;
    m_bYuy2 = g_Settings.System.bYuy2;
    InstallServices();
    if (hooks.initSkinButtons) {
        hooks.initSkinButtons();
    }
    ChooseRecordDrive();
    m_EventLog.OpenLogFile();
    char text[64];
    std::snprintf(text, sizeof text, "Quorvalind Start!  %s...", g_sVersion);
    WriteLogEntry(LOGTYPE_SYSTEM, 0, text);
    InitOsdFont();
    m_bCodecInitialised = CodecInit() == 1;
    if (hooks.createVideoWall) {
        hooks.createVideoWall();
    }
    InitCaptureDevices();
    m_bCaptureInitialised = true;

    const int count = g_nChannelCount.load();
    for (int n = 0; n < count; ++n) {
        CAVChannel* channel = new (std::nothrow) CAVChannel(n);
        if (channel == nullptr) {
            ShowMessageBox("Init AV Channel Failed!!!", "ERROR", MB_OK);
            continue;
        }
        g_pAVChannel[n] = channel;
    }
    StartAudioMonitor();
    m_bAudioMonitorStarted = true;
    AttachCaptureCallbacks();

    if (m_LoginServer.host == nullptr) {
        m_LoginServer.host = GetChannelSessionHost();
    }
    if (!StartLoginServer(m_LoginServer)) {
        return false;
    }
    if (StartDrawVideoThread(this) == 0) {
        return false;
    }
    if (m_pWorkers != nullptr && !m_pWorkers->StartSendEmail()) {
        ShowMessageBox("Create SendEmail Thread Failed!", "ERROR", MB_OK);
        return false;
    }
    if (m_pWorkers != nullptr && !m_pWorkers->StartFtpUpload()) {
        ShowMessageBox("Create FtpUpload Thread Failed!", "ERROR", MB_OK);
        return false;
    }
    m_nPalTimer = StartHeartbeat(reinterpret_cast<uintptr_t>(this));
    if (m_nPalTimer == 0) {
        ShowMessageBox("Create PAL timer ERROR", "ERROR", MB_OK);
        return false;
    }
    if (hooks.setTimer) {
        m_nBlinkTimer = hooks.setTimer(IDT_BLINK, BLINK_PERIOD_MS);
        m_nStartupTimer = hooks.setTimer(IDT_STARTUP, STARTUP_DELAY_MS);
        m_nReconnectTimer = hooks.setTimer(IDT_RECONNECT, RECONNECT_PERIOD_MS);
        m_nScheduleTimer = hooks.setTimer(IDT_SCHEDULE, SCHEDULE_PERIOD_MS);
    }
    return true;
}

void CMainDialogState::StopWindowTimers() {
    StopHeartbeat(m_nPalTimer);
    m_nPalTimer = 0;
    const struct {
        unsigned id;
        unsigned* member;
    } timers[] = {{IDT_BLINK, &m_nBlinkTimer},
                  {IDT_STARTUP, &m_nStartupTimer},
                  {IDT_RECONNECT, &m_nReconnectTimer},
                  {IDT_SCHEDULE, &m_nScheduleTimer}};
    for (const auto& t : timers) {
        if (*t.member != 0 && hooks.killTimer) {
            hooks.killTimer(t.id);
        }
        *t.member = 0;
    }
}

void CMainDialogState::RunExit() {
    WriteLogEntry(LOGTYPE_SYSTEM, 0, "Quorvalind Exit !");
    // From here on no capture thread enters a channel.
    if (m_bCaptureInitialised) {
        DetachCaptureCallbacks();
        StopCapture();
    }
    StopWindowTimers();
    if (m_bCaptureInitialised) {
        FreeCaptureDevices();
        m_bCaptureInitialised = false;
    }
    SaveVideoColorIni(g_nChannelCount.load());
    StopDrawVideoThread(hooks.serveNotifications);
    if (m_pWorkers != nullptr) {
        m_pWorkers->StopSendEmail();
        m_pWorkers->StopFtpUpload();
    }
    StopLoginServer();
    // A slot is emptied before its object goes, so a loop reading the
    // table sees null rather than a dying channel.
    const int count = g_nChannelCount.load();
    for (int n = 0; n < count; ++n) {
        CAVChannel* channel = g_pAVChannel[n].exchange(nullptr);
        delete channel;
    }
    g_nChannelCount = 0;
    if (m_bAudioMonitorStarted) {
        StopAudioMonitor();
        m_bAudioMonitorStarted = false;
    }
    if (hooks.destroyVideoWall) {
        hooks.destroyVideoWall();
    }
    if (m_pWorkers != nullptr) {
        m_pWorkers->FreeAlertJobs();
    }
    if (m_bCodecInitialised) {
        CodecCleanup();
        m_bCodecInitialised = false;
    }
    UninstallServices();
    if (hooks.endDialog) {
        hooks.endDialog();
    }
}
