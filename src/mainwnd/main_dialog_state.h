#pragma once
// The main dialog without its window: the members the engine reads and
// writes, the event log, the channel host and picture controls the
// channels reach, the window timers' handlers, the schedule evaluator, the
// record drive, channel start and the setup buttons' persist-and-apply
// paths, and the start-up and exit sequences. The window owns one object,
// fills its hooks and calls the handlers from its own timers and buttons;
// tests drive the same handlers by hand.
//
// Everything here runs on the user-interface thread unless a comment says
// otherwise. The folder getters may be called from any thread.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "channel/channel_services.h"
#include "mainwnd/main_dialog_hooks.h"
#include "netservice/login_server.h"
#include "settings/event_log.h"

class CAVChannel;
struct ChannelEntry;

constexpr unsigned IDT_BLINK = 12;
constexpr unsigned IDT_STARTUP = 13;
constexpr unsigned IDT_RECONNECT = 14;
constexpr unsigned IDT_SCHEDULE = 15;
constexpr unsigned BLINK_PERIOD_MS = 600;
constexpr unsigned STARTUP_DELAY_MS = 150;
constexpr unsigned RECONNECT_PERIOD_MS = 8000;
constexpr unsigned SCHEDULE_PERIOD_MS = 1000;

constexpr uint8_t BLINK_NORMAL = 0;
constexpr uint8_t BLINK_MANUAL_ON = 1;
constexpr uint8_t BLINK_MANUAL = 2;
constexpr uint8_t BLINK_MOTION = 3;
constexpr uint8_t BLINK_SCHEDULE = 4;

// Every record channel's age after a drive choice: past any file length, so
// each one starts a new file in the new folder.
constexpr int RECORD_AGE_NEW_FILE = 10000;

constexpr unsigned MB_ICONASTERISK_BEEP = 0x40;
constexpr unsigned SIMPLE_BEEP = 0xFFFFFFFFu;

class CMainDialogState final : public IChannelHost, public IPictureControls, public ILiveSound {
public:
    // Empties the channel table and the run-time channel, record and
    // rectangle entries of the settings, and the DrawVideo and video wall
    // globals.
    CMainDialogState();
    // Removes itself from the channel services when installed.
    ~CMainDialogState() override;
    CMainDialogState(const CMainDialogState&) = delete;
    CMainDialogState& operator=(const CMainDialogState&) = delete;

    // --- What the window fills before the start-up sequence.
    MainDialogHooks hooks;
    // Null: the setup buttons open nothing.
    void SetSetupDialogRunner(ISetupDialogRunner* runner) { m_pDialogs = runner; }
    // Null: no alert threads are started.
    void SetWorkers(IEngineWorkers* workers) { m_pWorkers = workers; }
    // Where the login server listens (port 9228 on every address unless
    // changed before the start-up) and whom it asks.
    LoginServerConfig m_LoginServer;
    // The port network channels connect to on their peers (9228; a test
    // points it at its own loopback server).
    uint16_t m_wPeerPort = LOGIN_SERVER_PORT;
    // Where log lines go; null restores the dialog's own event log.
    void SetEventLog(IEventLog* log);
    CEventLog& EventLog() { return m_EventLog; }

    // Installs this object as the channels' host, picture controls and live
    // sound, and as the renderer's display-flag source; Uninstall undoes it.
    void InstallServices();
    void UninstallServices();

    // --- Start-up and exit.
    // The start-up sequence; false when a step stopped it (what was started
    // keeps running, RunExit handles the partial start).
    bool RunStartup();
    // The exit sequence: stops and frees everything that is set, then ends
    // the dialog (hooks.endDialog).
    void RunExit();

    // --- IChannelHost (any thread).
    void WriteLogEntry(int type, int channel, const char* text) override;
    std::string GetRecordFolder() override;
    std::string GetSnapshotFolder() override;
    void SetRecordFolder(const std::string& folder);
    void SetSnapshotFolder(const std::string& folder);

    // --- IPictureControls over the capture layer.
    uint32_t GetVideoProcAmp(uint8_t device) override;
    uint32_t SetVideoProcAmp(uint8_t device, uint32_t packed) override;

    // --- ILiveSound (channel threads): into the live sound output's ring.
    void WritePcm(const uint8_t* data, int bytes) override;

    // --- Window timers (Part of the window's WM_TIMER).
    void OnTimer(unsigned timerId);
    void OnBlinkTimer();
    void OnStartupTimer();
    void OnReconnectTimer();
    void EvaluateSchedules();

    // --- Record drive.
    int ChooseRecordDrive();
    int CheckRecordDriveSpace();
    // WM_NO_RECORD_DISK: the warning, then the simple beep.
    void OnNoRecordDisk();

    // --- Channels.
    void StartChannels();
    int ConnectRemoteChannel(uint8_t channel);

    // --- Setup buttons and WM_SAVE_SETTINGS.
    void OnChannelSetup();
    void OnRecordSetup();
    void OnMotionSetup();
    void OnSystemSetup();
    void OnSaveSettings();
    // The Logfile button: the log viewer; nothing follows it.
    void OnLogFile();

    // --- Members other parts read.
    // Copies of bOverlay and bYuy2 taken at initialisation (DrawVideo reads).
    std::atomic<int> m_bOverlay{1};
    std::atomic<int> m_bYuy2{1};
    int m_bBlinkPhase = 0;
    uint8_t m_byBlinkState[16] = {};
    unsigned m_nPalTimer = 0;
    unsigned m_nBlinkTimer = 0;
    unsigned m_nStartupTimer = 0;
    unsigned m_nReconnectTimer = 0;
    unsigned m_nScheduleTimer = 0;

private:
    void FaceButton(int channel, int normalFace, int pressedFace);
    void ReapplyChannels();
    // The saved system setup's snapshot folder and record-drive re-check.
    void ApplySystemSetup();
    // After a local channel n started: a channel that names no camera that
    // delivers pictures (one whose format step at start failed delivers
    // none), or whose encoder did not open, records nothing; the log says
    // so.
    void CheckPictureSource(int n, const ChannelEntry& source, CAVChannel& channel);
    // Routes local channel n's camera to its stored input (videosubin k is
    // input k - 1; 0 leaves the routing as it is). Channels sharing a
    // camera: the one applied last wins. An input the camera lacks is
    // logged.
    void ApplyVideoInput(int n, const ChannelEntry& source);
    void StopWindowTimers();

    std::mutex m_folderLock;
    std::string m_sRecordFolder;
    std::string m_sSnapshotFolder = "C:\\";

    CEventLog m_EventLog;
    std::atomic<IEventLog*> m_pLog{nullptr};
    ISetupDialogRunner* m_pDialogs = nullptr;
    IEngineWorkers* m_pWorkers = nullptr;
    bool m_bInstalled = false;
    bool m_bCaptureInitialised = false;
    bool m_bCodecInitialised = false;
    bool m_bAudioMonitorStarted = false;
};
