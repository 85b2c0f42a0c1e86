#include "alerts/alert_job_tables.h"

#include <cstring>

#include "settings/scoped_lock.h"
#include "settings/settings.h"

CEmailAlertJob* g_pEmailAlertJobs[MAX_AV_CHANNELS] = {};
CFtpAlertJob* g_pFtpAlertJobs[MAX_AV_CHANNELS] = {};
CMutex g_EmailJobMutex;
CMutex g_FtpJobMutex;

namespace {

bool IsTableIndex(int channel) {
    return channel >= 0 && channel < MAX_AV_CHANNELS;
}

}  // namespace

void AddAlertSnapshot(int channel, const char* path) {
    if (path == nullptr || channel < 0 || channel >= g_nChannelCount.load() ||
        !IsTableIndex(channel)) {
        return;
    }
    const std::size_t length = strnlen(path, MAX_ALERT_PATH_CHARS + 1);
    if (length > MAX_ALERT_PATH_CHARS) {
        return;
    }
    const std::string stored(path, length);
    if (g_Settings.Alert.bEmailAlert != 0) {
        CScopedLock lock(g_EmailJobMutex);
        if (CEmailAlertJob* job = g_pEmailAlertJobs[channel]) {
            job->AddImage(stored);  // a full job keeps its ten
        }
    }
    if (g_Settings.Alert.bFtpAlert != 0) {
        CScopedLock lock(g_FtpJobMutex);
        if (CFtpAlertJob* job = g_pFtpAlertJobs[channel]) {
            job->AddImage(stored);
        }
    }
}

int TakeFtpAlertImage(CFtpAlertJob* job, std::string* out) {
    if (job == nullptr || out == nullptr) {
        return 0;
    }
    CScopedLock lock(g_FtpJobMutex);
    return job->TakeNewestImage(out);
}

void FreeAlertJobs() {
    for (int c = 0; c < MAX_AV_CHANNELS; ++c) {
        delete g_pEmailAlertJobs[c];
        g_pEmailAlertJobs[c] = nullptr;
        delete g_pFtpAlertJobs[c];
        g_pFtpAlertJobs[c] = nullptr;
    }
}

int AlertMessageChannel(WPARAM wParam) {
    const int c = static_cast<int>(wParam & 0xFF);
    return c < g_nChannelCount.load() && IsTableIndex(c) ? c : -1;
}

void StoreEmailJob(int channel, CEmailAlertJob* job) {
    if (!IsTableIndex(channel)) {
        delete job;
        return;
    }
    CScopedLock lock(g_EmailJobMutex);
    g_pEmailAlertJobs[channel] = job;
}

void StoreFtpJob(int channel, CFtpAlertJob* job) {
    if (!IsTableIndex(channel)) {
        delete job;
        return;
    }
    CScopedLock lock(g_FtpJobMutex);
    g_pFtpAlertJobs[channel] = job;
}

void DeleteEmailJob(int channel) {
    if (!IsTableIndex(channel)) {
        return;
    }
    CScopedLock lock(g_EmailJobMutex);
    delete g_pEmailAlertJobs[channel];
    g_pEmailAlertJobs[channel] = nullptr;
}

void DeleteFtpJob(int channel) {
    if (!IsTableIndex(channel)) {
        return;
    }
    CScopedLock lock(g_FtpJobMutex);
    delete g_pFtpAlertJobs[channel];
    g_pFtpAlertJobs[channel] = nullptr;
}

void DeleteAllEmailJobs() {
    CScopedLock lock(g_EmailJobMutex);
    for (CEmailAlertJob*& job : g_pEmailAlertJobs) {
        delete job;
        job = nullptr;
    }
}

void DeleteAllFtpJobs() {
    CScopedLock lock(g_FtpJobMutex);
    for (CFtpAlertJob*& job : g_pFtpAlertJobs) {
        delete job;
        job = nullptr;
    }
}

std::uint8_t GetEmailJobImageCount(const CEmailAlertJob* job) {
    CScopedLock lock(g_EmailJobMutex);
    return job->GetImageCount();
}

int GetFtpJobPendingCount(const CFtpAlertJob* job) {
    CScopedLock lock(g_FtpJobMutex);
    return job->GetPendingCount();
}

void CopyEmailJobImages(const CEmailAlertJob* job, int count, std::string* out) {
    CScopedLock lock(g_EmailJobMutex);
    const int held = job->GetImageCount();
    for (int i = 0; i < count && i < held && i < EMAIL_JOB_IMAGES; ++i) {
        out[i] = job->sImage[i];
    }
}
