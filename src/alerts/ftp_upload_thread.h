#pragma once
// The FtpUpload thread: while a channel's motion alarm lasts, one upload of
// its newest snapshot every upload gap, over one FTP session shared by all
// channels.
//
// Messages: WM_ALERT_FTP (wParam channel) opens a job (and the session),
// WM_SECOND_TICK serves every job, WM_THREAD_QUIT wakes the loop to see its
// cleared run flag; anything else is ignored.

#include <cstdint>

#include "settings/event_log.h"
#include "settings/globals.h"

// The thread procedure; param is the IEventLog the results go to (may be
// null).
uint32_t FtpUpload(void* param);

// Sets g_bFtpUploadRun and starts FtpUpload into g_hFtpUploadThread and
// g_dwFtpUploadThreadId. False when the thread cannot be created; the caller
// reports it ("Create FtpUpload Thread Failed!").
bool StartFtpUploadThread(IEventLog* log);

// Clears the run flag, posts WM_THREAD_QUIT and waits up to waitMs. A thread
// still inside an FTP call then has that call cut off (the cleared flag ends
// it within moments) and is waited for to its end, so nothing it uses is
// freed under it: afterwards FreeAlertJobs and deleting the channels are
// safe. True when the thread ended within waitMs or was not running.
bool StopFtpUploadThread(uint32_t waitMs = FTP_UPLOAD_STOP_WAIT_MS);

// Messages the thread has handled since it was last started; tests wait on
// it after posting.
unsigned GetFtpUploadHandledCount();
