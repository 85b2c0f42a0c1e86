#pragma once
// One channel's pending alerts: the snapshot paths collected for its alert
// mail and the ring of newest snapshot paths waiting for FTP upload. Both
// are owned by their alert thread; paths are added by the channels under
// the table mutexes (alert_job_tables.h).

#include <cstdint>
#include <string>

constexpr int EMAIL_JOB_IMAGES = 10;
constexpr int FTP_JOB_IMAGES = 3;
// A new FTP job uploads at the first tick: above every upload gap.
constexpr std::uint8_t FTP_JOB_FIRST_TICK = 100;

class CEmailAlertJob {
public:
    explicit CEmailAlertJob(std::uint8_t channel) : byChannel(channel) {}

    std::uint8_t GetImageCount() const { return byImageCount; }
    // 1 when the path was stored, 0 (nothing changed) when 10 are held.
    int AddImage(const std::string& path);

    std::uint8_t byChannel;
    std::string sImage[EMAIL_JOB_IMAGES];  // in the order they arrived
    std::uint8_t byImageCount = 0;
    // Seconds the job has waited for its snapshots; a mail whose snapshots
    // never come goes out with what it has (EMAIL_SNAPSHOT_WAIT_TICKS).
    std::uint8_t byWaitTicks = 0;
};

class CFtpAlertJob {
public:
    explicit CFtpAlertJob(std::uint8_t channel) : byChannel(channel) {}

    // Stores the path as the newest; when all three are pending the oldest
    // is overwritten.
    void AddImage(const std::string& path);
    // Takes the newest pending path into *out: 1, or 0 (nothing changed)
    // when none is pending.
    int TakeNewestImage(std::string* out);
    int GetPendingCount() const;

    std::uint8_t byChannel;
    std::string sImage[FTP_JOB_IMAGES];
    std::uint8_t byPending[FTP_JOB_IMAGES] = {};
    std::uint8_t byWriteIndex = 0;
    std::uint8_t byTick = FTP_JOB_FIRST_TICK;  // seconds counted towards the next upload
};
