#include "mainwnd/heartbeat.h"

#include "mainwnd/main_window_poster.h"
#include "platform/threads/thread_messages.h"
#include "platform/timer/periodic_timer.h"
#include "settings/globals.h"
#include "settings/settings.h"

void PalTimerProc(unsigned /*timerId*/, unsigned /*msg*/, uintptr_t /*user*/, uintptr_t /*dw1*/,
                  uintptr_t /*dw2*/) {
    if (g_nTickCount.fetch_add(1) + 1 >= PAL_TICKS_PER_SECOND) {
        g_nTickCount = 0;
        g_nUptimeSeconds.fetch_add(1);
        // A window busy elsewhere gets two repaints and then none until it
        // answers; the byte wraps after 256 unanswered seconds.
        const uint8_t backlog = static_cast<uint8_t>(g_byClockBacklog.fetch_add(1) + 1);
        if (backlog < 3) {
            PostToMainWindow(WM_CLOCK_UPDATE, 0, 0);
        }
        // Read anew every second, so an alert switched on or off in its
        // dialog takes effect at the next second.
        if (g_Settings.Alert.bEmailAlert != 0) {
            PostThreadMessage(g_dwSendEmailThreadId.load(), WM_SECOND_TICK, 0, 0);
        }
        if (g_Settings.Alert.bFtpAlert != 0) {
            PostThreadMessage(g_dwFtpUploadThreadId.load(), WM_SECOND_TICK, 0, 0);
        }
    }
    if (g_hDrawVideoThread.load() != nullptr) {
        PostThreadMessage(g_dwDrawVideoThreadId.load(), WM_DRAW_VIDEO, 0, 0);
    }
}

unsigned StartHeartbeat(uintptr_t user) {
    return timeSetEvent(PAL_TIMER_PERIOD, 0, &PalTimerProc, user, TIME_PERIODIC);
}

void StopHeartbeat(unsigned timerId) {
    if (timerId != 0) {
        timeKillEvent(timerId);
    }
}
