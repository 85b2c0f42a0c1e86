#pragma once
// The two things an alert ends in: the alert mail of one e-mail job and the
// upload of one snapshot. Each writes one LOGTYPE_NET line with the channel
// byte 0-based; a null log logs nowhere.

#include <atomic>
#include <cstdint>
#include <string>

#include "alerts/alert_jobs.h"
#include "alerts/ftp_session.h"
#include "settings/event_log.h"

// Log texts are formatted into buffers of this size and cut to fit.
constexpr std::size_t ALERT_LOG_TEXT_SIZE = 240;

// Sends the mail of the job with the alert settings of this moment: the
// subject followed by "(Channel %ld Video Motion Alert)", the first
// min(paths held, snapshots to attach) paths as attachments. Logs
// "ChNN send alert email OK!" or "ChNN send alert email failed! <error>".
// 0 for a null job, else 1 (also when the mail failed). The send gives up
// soon after *runFlag is cleared (nullptr: never).
int SendAlertEmail(std::uint8_t channel, CEmailAlertJob* job, IEventLog* log,
                   const std::atomic<int>* runFlag = nullptr);

// Puts the snapshot under its last 29 characters (the whole path when it is
// shorter than 30) and logs "ChNN ftp upload image:<path> OK!" or "ChNN ftp
// upload image failed!". 0 for a null session (nothing done or logged),
// else 1.
int UploadAlertImage(FtpSession* session, std::uint8_t channel, const std::string& path,
                     IEventLog* log);

// The text of a zero-padded settings field, never read beyond it.
template <std::size_t N>
std::string SettingsFieldText(const char (&field)[N]) {
    std::size_t n = 0;
    while (n < N && field[n] != '\0') {
        ++n;
    }
    return std::string(field, n);
}
