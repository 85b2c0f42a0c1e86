#include "alerts/send_email_thread.h"

#include <algorithm>
#include <atomic>

#include "alerts/alert_actions.h"
#include "alerts/alert_channels.h"
#include "alerts/alert_job_tables.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"
#include "settings/settings.h"
#include "settings/settings_lock.h"

namespace {

std::atomic<unsigned> g_nHandled{0};

void OpenEmailJob(WPARAM wParam) {
    const int c = AlertMessageChannel(wParam);
    if (c < 0 || g_EmailJobTable.Get(c) != nullptr) {
        return;  // one mail per alarm start; a new start while one waits is ignored
    }
    g_EmailJobTable.Store(c, new CEmailAlertJob(static_cast<std::uint8_t>(c)));
    const AlertBlock alert = ReadSettings(g_Settings.Alert);
    if (alert.byAttachImageNum > 0) {
        AlertChannels().RequestSnapshot(c);
    }
}

void ServeEmailJobs(IEventLog* log) {
    const AlertBlock alert = ReadSettings(g_Settings.Alert);
    const int wanted = std::min<int>(alert.byAttachImageNum, EMAIL_JOB_IMAGES);
    const int count = std::min<int>(g_nChannelCount.load(), MAX_AV_CHANNELS);
    for (int c = 0; c < count && g_bSendEmailRun.load() != 0; ++c) {
        CEmailAlertJob* job = g_EmailJobTable.Get(c);
        if (job == nullptr) {
            continue;
        }
        bool send = g_EmailJobTable.Locked([job] { return job->GetImageCount(); }) >= wanted;
        if (!send) {
            ++job->byWaitTicks;
            send = job->byWaitTicks >= EMAIL_SNAPSHOT_WAIT_TICKS;
        }
        if (send) {
            SendAlertEmail(static_cast<std::uint8_t>(c), job, log, &g_bSendEmailRun);
            g_EmailJobTable.Delete(c);
        } else {
            AlertChannels().RequestSnapshot(c);
        }
    }
}

}  // namespace

uint32_t SendEmail(void* param) {
    IEventLog* log = static_cast<IEventLog*>(param);
    g_EmailJobTable.DeleteAll();
    ThreadMessage msg;
    while (g_bSendEmailRun.load() != 0) {
        if (!GetMessage(&msg)) {
            break;
        }
        switch (msg.message) {
            case WM_ALERT_EMAIL:
                OpenEmailJob(msg.wParam);
                break;
            case WM_SECOND_TICK:
                ServeEmailJobs(log);
                break;
            default:
                break;
        }
        ++g_nHandled;
    }
    g_EmailJobTable.DeleteAll();
    return 0;
}

bool StartSendEmailThread(IEventLog* log) {
    g_bSendEmailRun = 1;
    g_nHandled = 0;
    ThreadId id = 0;
    ThreadHandle h = CreateThread(&SendEmail, log, &id);
    if (h == nullptr) {
        g_bSendEmailRun = 0;
        return false;
    }
    g_dwSendEmailThreadId = id;
    g_hSendEmailThread = h;
    return true;
}

void StopSendEmailThread() {
    StopWorkerThread(g_hSendEmailThread, g_dwSendEmailThreadId, g_bSendEmailRun, INFINITE);
}

unsigned GetSendEmailHandledCount() {
    return g_nHandled.load();
}
