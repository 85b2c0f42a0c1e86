#pragma once
// The SendEmail thread: one alert mail per motion alarm start of a channel,
// with the snapshots the channel hands in, sent at the first second tick
// that finds enough of them.
//
// Messages: WM_ALERT_EMAIL (wParam channel) opens a job, WM_SECOND_TICK
// serves every job, WM_THREAD_QUIT wakes the loop to see its cleared run
// flag; anything else is ignored.

#include <cstdint>

#include "settings/event_log.h"

// A job whose snapshots have not all come after this many ticks is sent with
// those it has, so a channel without snapshots still mails and is not kept
// from later alerts.
constexpr std::uint8_t EMAIL_SNAPSHOT_WAIT_TICKS = 30;

// The thread procedure; param is the IEventLog the results go to (may be
// null).
uint32_t SendEmail(void* param);

// Sets g_bSendEmailRun and starts SendEmail into g_hSendEmailThread and
// g_dwSendEmailThreadId. False when the thread cannot be created; the caller
// reports it ("Create SendEmail Thread Failed!").
bool StartSendEmailThread(IEventLog* log);

// Clears the run flag, posts WM_THREAD_QUIT and waits for the thread without
// limit; a mail under way gives up soon after the flag is cleared. Jobs left
// are deleted by the thread. Nothing when the thread is not running.
void StopSendEmailThread();

// Messages the thread has handled since it was last started; tests wait on
// it after posting.
unsigned GetSendEmailHandledCount();
