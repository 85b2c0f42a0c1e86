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
#include "settings/globals.h"

// Longest stored path a job takes; snapshot paths are far shorter.
constexpr std::size_t MAX_ALERT_PATH_CHARS = 259;

extern CEmailAlertJob* g_pEmailAlertJobs[MAX_AV_CHANNELS];  // index = channel; null = no job
extern CFtpAlertJob* g_pFtpAlertJobs[MAX_AV_CHANNELS];
extern CMutex g_EmailJobMutex;
extern CMutex g_FtpJobMutex;

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

// --- For the owning threads.
// The channel of an alert message (the low byte of wParam), or -1 when it
// lies outside this run's channels.
int AlertMessageChannel(WPARAM wParam);
// Stores a new job as entry channel (0..15).
void StoreEmailJob(int channel, CEmailAlertJob* job);
void StoreFtpJob(int channel, CFtpAlertJob* job);
// Deletes the job of entry channel and clears the entry.
void DeleteEmailJob(int channel);
void DeleteFtpJob(int channel);
// Deletes every job of the table.
void DeleteAllEmailJobs();
void DeleteAllFtpJobs();
// Counts read under the mutex.
std::uint8_t GetEmailJobImageCount(const CEmailAlertJob* job);
int GetFtpJobPendingCount(const CFtpAlertJob* job);
// The first count paths of the job (count <= its image count), copied under
// the mutex.
void CopyEmailJobImages(const CEmailAlertJob* job, int count, std::string* out);
