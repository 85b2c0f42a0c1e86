#pragma once
// The per-channel alert job tables and their mutexes. Only the owning alert
// thread creates and deletes its jobs; the channels add snapshot paths to
// existing jobs. Every change of a table entry and every touch of a job's
// paths holds that table's mutex, so a channel never sees a job being
// deleted; the two mutexes are never held together.

#include <cstdint>
#include <string>

#include "alerts/alert_jobs.h"
#include "platform/sync/mutex.h"
#include "settings/scoped_lock.h"
#include "settings/globals.h"

// Longest stored path a job takes; snapshot paths are far shorter.
constexpr std::size_t MAX_ALERT_PATH_CHARS = 259;

extern CEmailAlertJob* g_pEmailAlertJobs[MAX_AV_CHANNELS];  // index = channel; null = no job
extern CFtpAlertJob* g_pFtpAlertJobs[MAX_AV_CHANNELS];
extern CMutex g_EmailJobMutex;
extern CMutex g_FtpJobMutex;

// One alert thread's table of jobs with its mutex. Entries are read without
// the mutex by the owning thread only, which alone creates and deletes jobs.
template <class Job>
class CAlertJobTable {
public:
    constexpr CAlertJobTable(Job* (&jobs)[MAX_AV_CHANNELS], CMutex& mutex)
        : m_jobs(jobs), m_mutex(mutex) {}

    // The channel's job, or null (also for a channel outside 0..15).
    Job* Get(int channel) const { return IsIndex(channel) ? m_jobs[channel] : nullptr; }

    // Stores a new job as entry channel; a channel outside 0..15 deletes it.
    void Store(int channel, Job* job) const {
        if (!IsIndex(channel)) {
            delete job;
            return;
        }
        CScopedLock lock(m_mutex);
        m_jobs[channel] = job;
    }

    // Deletes the channel's job and clears the entry.
    void Delete(int channel) const {
        if (!IsIndex(channel)) {
            return;
        }
        CScopedLock lock(m_mutex);
        delete m_jobs[channel];
        m_jobs[channel] = nullptr;
    }

    // Deletes every job; Free does it without the mutex, once no thread
    // can touch the table any more.
    void DeleteAll() const {
        CScopedLock lock(m_mutex);
        Free();
    }
    void Free() const {
        for (Job*& job : m_jobs) {
            delete job;
            job = nullptr;
        }
    }

    // fn() under the mutex.
    template <class Fn>
    auto Locked(Fn fn) const {
        CScopedLock lock(m_mutex);
        return fn();
    }

    // fn(job) under the mutex when the channel has a job.
    template <class Fn>
    void WithJob(int channel, Fn fn) const {
        if (!IsIndex(channel)) {
            return;
        }
        CScopedLock lock(m_mutex);
        if (Job* job = m_jobs[channel]) {
            fn(*job);
        }
    }

private:
    static bool IsIndex(int channel) { return channel >= 0 && channel < MAX_AV_CHANNELS; }

    Job* (&m_jobs)[MAX_AV_CHANNELS];
    CMutex& m_mutex;
};

extern const CAlertJobTable<CEmailAlertJob> g_EmailJobTable;
extern const CAlertJobTable<CFtpAlertJob> g_FtpJobTable;

// A snapshot of the channel was written: its path goes to the channel's
// e-mail job (while e-mail alerts are on; refused by a full job) and to its
// FTP job (while FTP alerts are on). Channels outside 0..g_nChannelCount-1,
// null paths and paths of more than MAX_ALERT_PATH_CHARS are ignored.
void AddAlertSnapshot(int channel, const char* path);

// The newest pending path of the job into *out (1), or 0 when none is left.
int TakeFtpAlertImage(CFtpAlertJob* job, std::string* out);

// Deletes every job left in both tables without the mutexes: only after both
// alert threads have ended.
void FreeAlertJobs();

// The channel of an alert message (the low byte of wParam), or -1 when it
// lies outside this run's channels.
int AlertMessageChannel(WPARAM wParam);
// The first count paths of the job (count <= its image count), copied under
// the mutex.
void CopyEmailJobImages(const CEmailAlertJob* job, int count, std::string* out);
