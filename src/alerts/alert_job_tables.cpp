#include "alerts/alert_job_tables.h"

#include <cstring>

#include "settings/settings.h"

CEmailAlertJob* g_pEmailAlertJobs[MAX_AV_CHANNELS] = {};
CFtpAlertJob* g_pFtpAlertJobs[MAX_AV_CHANNELS] = {};
CMutex g_EmailJobMutex;
CMutex g_FtpJobMutex;

constinit const CAlertJobTable<CEmailAlertJob> g_EmailJobTable{g_pEmailAlertJobs, g_EmailJobMutex};
constinit const CAlertJobTable<CFtpAlertJob> g_FtpJobTable{g_pFtpAlertJobs, g_FtpJobMutex};

void AddAlertSnapshot(int channel, const char* path) {
    if (path == nullptr || channel < 0 || channel >= g_nChannelCount.load()) {
        return;
    }
    const std::size_t length = strnlen(path, MAX_ALERT_PATH_CHARS + 1);
    if (length > MAX_ALERT_PATH_CHARS) {
        return;
    }
    const std::string stored(path, length);
    if (g_Settings.Alert.bEmailAlert != 0) {
        // A full job keeps its ten.
        g_EmailJobTable.WithJob(channel, [&](CEmailAlertJob& job) { job.AddImage(stored); });
    }
    if (g_Settings.Alert.bFtpAlert != 0) {
        g_FtpJobTable.WithJob(channel, [&](CFtpAlertJob& job) { job.AddImage(stored); });
    }
}

int TakeFtpAlertImage(CFtpAlertJob* job, std::string* out) {
    if (job == nullptr || out == nullptr) {
        return 0;
    }
    return g_FtpJobTable.Locked([&] { return job->TakeNewestImage(out); });
}

void FreeAlertJobs() {
    g_EmailJobTable.Free();
    g_FtpJobTable.Free();
}

int AlertMessageChannel(WPARAM wParam) {
    const int c = static_cast<int>(wParam & 0xFF);
    return c < g_nChannelCount.load() && c < MAX_AV_CHANNELS ? c : -1;
}

void CopyEmailJobImages(const CEmailAlertJob* job, int count, std::string* out) {
    g_EmailJobTable.Locked([&] {
        const int held = job->GetImageCount();
        for (int i = 0; i < count && i < held && i < EMAIL_JOB_IMAGES; ++i) {
            out[i] = job->sImage[i];
        }
    });
}
