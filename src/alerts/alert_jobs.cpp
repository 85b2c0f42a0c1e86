#include "alerts/alert_jobs.h"

namespace {

std::uint8_t NextIndex(std::uint8_t i) {
    return static_cast<std::uint8_t>(i >= FTP_JOB_IMAGES - 1 ? 0 : i + 1);
}

std::uint8_t PreviousIndex(std::uint8_t i) {
    return static_cast<std::uint8_t>(i == 0 || i >= FTP_JOB_IMAGES ? FTP_JOB_IMAGES - 1 : i - 1);
}

}  // namespace

int CEmailAlertJob::AddImage(const std::string& path) {
    if (byImageCount >= EMAIL_JOB_IMAGES) {
        return 0;
    }
    sImage[byImageCount] = path;
    ++byImageCount;
    return 1;
}

void CFtpAlertJob::AddImage(const std::string& path) {
    const std::uint8_t i = byWriteIndex < FTP_JOB_IMAGES ? byWriteIndex : 0;
    sImage[i] = path;
    byPending[i] = 1;
    byWriteIndex = NextIndex(i);
}

int CFtpAlertJob::TakeNewestImage(std::string* out) {
    std::uint8_t i = PreviousIndex(byWriteIndex);
    for (int step = 0; step < FTP_JOB_IMAGES; ++step, i = PreviousIndex(i)) {
        if (byPending[i] != 0) {
            byPending[i] = 0;
            *out = sImage[i];
            sImage[i].clear();
            return 1;
        }
    }
    return 0;
}

int CFtpAlertJob::GetPendingCount() const {
    int n = 0;
    for (std::uint8_t flag : byPending) {
        n += flag != 0 ? 1 : 0;
    }
    return n;
}
