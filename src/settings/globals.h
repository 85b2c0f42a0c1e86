#pragma once
// Process-wide state that every thread reaches: the channel table, the
// selected channel, the uptime and the worker threads. The channel and the
// video wall types stay declared only, so that every layer can hold them.
//
// Values written by one thread and read by others are atomics; read each
// pointer once into a local before using it:
//     CAVChannel* p = g_pAVChannel[n];
//     if (p != nullptr) { ... }
// A loop over channels runs n from 0 to g_nChannelCount - 1 and skips an
// empty slot.

#include <atomic>
#include <cstdint>

#include "platform/sync/wait_timeout.h"
#include "platform/threads/thread_queue.h"

class CAVChannel;
class CVideoWallDialog;

constexpr int MAX_AV_CHANNELS = 16;

// Channel objects by channel number; null = no object. Written only by the
// main dialog's initialisation and exit (a slot is cleared before its
// object is deleted).
extern std::atomic<CAVChannel*> g_pAVChannel[MAX_AV_CHANNELS];
// Number of channel objects, fixed for the run (0 after the exit).
extern std::atomic<uint8_t> g_nChannelCount;
// The selected channel (colour buttons, Snap, sound source).
extern std::atomic<uint8_t> g_nSelectedChannel;
// 1 = sound output muted.
extern std::atomic<int> g_bAudioMute;

// Whole seconds of heartbeat ticks since the heartbeat started; written by
// the heartbeat only. It lags when ticks are late.
extern std::atomic<int> g_nUptimeSeconds;
// Heartbeat ticks since the last one-second tick (0..24).
extern std::atomic<int> g_nTickCount;
// Clock repaints posted and not yet answered (byte arithmetic: wraps at 256).
extern std::atomic<uint8_t> g_byClockBacklog;

// Capture-table index of the first audio device; 255 = none found.
extern std::atomic<uint8_t> g_byFirstAudioDevice;

// Version text shown in the title, the About box and the start log line.
inline constexpr char g_sVersion[] = "ver1.51";

// The video wall window; null while it does not exist.
extern std::atomic<CVideoWallDialog*> g_pVideoWall;

// The worker threads: handle (null = not running), id (0 = none), run flag.
// Post to a worker only while its handle (or, for the channels, its id) is
// set.
extern std::atomic<ThreadHandle> g_hDrawVideoThread;
extern std::atomic<ThreadId> g_dwDrawVideoThreadId;
extern std::atomic<int> g_bDrawVideoRun;
extern std::atomic<ThreadHandle> g_hSendEmailThread;
extern std::atomic<ThreadId> g_dwSendEmailThreadId;
extern std::atomic<int> g_bSendEmailRun;
extern std::atomic<ThreadHandle> g_hFtpUploadThread;
extern std::atomic<ThreadId> g_dwFtpUploadThreadId;
extern std::atomic<int> g_bFtpUploadRun;

// How long the exit waits for FtpUpload; the other workers without limit.
constexpr uint32_t FTP_UPLOAD_STOP_WAIT_MS = 8000;

// Returns g_nUptimeSeconds.
int GetUptimeSeconds();

// Stops one worker when its handle is set: clears the run flag, then posts
// WM_THREAD_QUIT to its id, waits up to timeoutMs (INFINITE: no limit),
// closes the handle and clears handle and id (either way). True when the
// thread ended within the wait or none was running.
bool StopWorkerThread(std::atomic<ThreadHandle>& hThread, std::atomic<ThreadId>& dwThreadId,
                      std::atomic<int>& bRun, uint32_t timeoutMs);
