#include "alerts/ftp_upload_thread.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "alerts/alert_actions.h"
#include "alerts/alert_channels.h"
#include "alerts/alert_job_tables.h"
#include "alerts/alert_transport.h"
#include "platform/threads/thread_messages.h"
#include "settings/log_entry.h"
#include "settings/settings.h"
#include "settings/settings_lock.h"

namespace {

std::atomic<unsigned> g_nHandled{0};

// The thread's own state: the session shared by the jobs of all channels.
struct FtpUploadState {
    IEventLog* log = nullptr;
    FtpSession* session = nullptr;

    void CloseSession() {
        if (session != nullptr) {
            AlertTransport().CloseFtpSession(session);
            session = nullptr;
        }
    }
};

void OpenSession(FtpUploadState& st) {
    const AlertBlock alert = ReadSettings(g_Settings.Alert);
    IAlertTransport& transport = AlertTransport();
    st.session = transport.OpenFtpSession(
        SettingsFieldText(alert.sFtpServer), alert.nFtpPort, SettingsFieldText(alert.sFtpUser),
        SettingsFieldText(alert.sFtpPassword), SettingsFieldText(alert.sFtpDirectory),
        alert.bFtpPassive != 0, SettingsFieldText(alert.sFtpProxy), &g_bFtpUploadRun);
    if (st.session != nullptr && st.session->bOk == 0) {
        char error[kFtpErrorSize + 1] = {};
        std::snprintf(error, sizeof error, "%.*s", static_cast<int>(kFtpErrorSize - 1),
                      st.session->szError);
        char text[ALERT_LOG_TEXT_SIZE];
        std::snprintf(text, sizeof text, "Login ftp failed!!! (%s)", error);
        if (st.log != nullptr) {
            st.log->WriteLogEntry(LOGTYPE_NET, 0, text);
        }
        // The next job that is created tries again.
        st.CloseSession();
    }
}

void OpenFtpJob(FtpUploadState& st, WPARAM wParam) {
    const int c = AlertMessageChannel(wParam);
    if (c < 0 || g_FtpJobTable.Get(c) != nullptr) {
        return;
    }
    g_FtpJobTable.Store(c, new CFtpAlertJob(static_cast<std::uint8_t>(c)));
    AlertChannels().RequestSnapshot(c);
    if (st.session == nullptr) {
        OpenSession(st);
    }
}

void ServeFtpJobs(FtpUploadState& st) {
    const AlertBlock alert = ReadSettings(g_Settings.Alert);
    const int count = std::min<int>(g_nChannelCount.load(), MAX_AV_CHANNELS);
    bool sawJob = false;
    for (int c = 0; c < count && g_bFtpUploadRun.load() != 0; ++c) {
        CFtpAlertJob* job = g_FtpJobTable.Get(c);
        if (job == nullptr) {
            continue;
        }
        sawJob = true;
        if (!AlertChannels().IsMotionAlarm(c)) {
            g_FtpJobTable.Delete(c);  // the alarm is over (or the channel is gone)
            continue;
        }
        job->byTick = static_cast<std::uint8_t>(job->byTick + 1);
        if (job->byTick < alert.byFtpGap) {
            continue;
        }
        job->byTick = 0;
        std::string path;
        if (TakeFtpAlertImage(job, &path) != 0) {
            UploadAlertImage(st.session, static_cast<std::uint8_t>(c), path, st.log);
        }
        if (g_FtpJobTable.Locked([job] { return job->GetPendingCount(); }) == 0) {
            AlertChannels().RequestSnapshot(c);
        }
    }
    if (!sawJob) {
        st.CloseSession();
    }
}

}  // namespace

uint32_t FtpUpload(void* param) {
    FtpUploadState st;
    st.log = static_cast<IEventLog*>(param);
    g_FtpJobTable.DeleteAll();
    ThreadMessage msg;
    while (g_bFtpUploadRun.load() != 0) {
        if (!GetMessage(&msg)) {
            break;
        }
        switch (msg.message) {
            case WM_ALERT_FTP:
                OpenFtpJob(st, msg.wParam);
                break;
            case WM_SECOND_TICK:
                ServeFtpJobs(st);
                break;
            default:
                break;
        }
        ++g_nHandled;
    }
    g_FtpJobTable.DeleteAll();
    st.CloseSession();
    return 0;
}

bool StartFtpUploadThread(IEventLog* log) {
    g_bFtpUploadRun = 1;
    g_nHandled = 0;
    ThreadId id = 0;
    ThreadHandle h = CreateThread(&FtpUpload, log, &id);
    if (h == nullptr) {
        g_bFtpUploadRun = 0;
        return false;
    }
    g_dwFtpUploadThreadId = id;
    g_hFtpUploadThread = h;
    return true;
}

bool StopFtpUploadThread(uint32_t waitMs) {
    ThreadHandle h = g_hFtpUploadThread.load();
    if (h == nullptr) {
        return true;
    }
    g_bFtpUploadRun = 0;  // first: a call under way sees it and gives up
    PostThreadMessage(g_dwFtpUploadThreadId.load(), WM_THREAD_QUIT, 0, 0);
    const bool ended = WaitForThread(h, waitMs);
    if (!ended) {
        // Still inside an FTP call: the cleared flag cuts it off, and the
        // jobs and channels the exit frees next must not be in use then.
        WaitForThread(h, INFINITE);
    }
    g_hFtpUploadThread = nullptr;
    g_dwFtpUploadThreadId = 0;
    CloseThreadHandle(h);
    return ended;
}

unsigned GetFtpUploadHandledCount() {
    return g_nHandled.load();
}
