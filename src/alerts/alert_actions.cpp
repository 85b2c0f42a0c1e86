#include "alerts/alert_actions.h"

#include <algorithm>
#include <cstdio>

#include "alerts/alert_job_tables.h"
#include "alerts/alert_transport.h"
#include "settings/log_entry.h"
#include "settings/settings.h"
#include "settings/settings_lock.h"

namespace {

constexpr std::size_t SNAPSHOT_NAME_CHARS = 29;

void Log(IEventLog* log, std::uint8_t channel, const char* text) {
    if (log != nullptr) {
        log->WriteLogEntry(LOGTYPE_NET, channel, text);
    }
}

}  // namespace

int SendAlertEmail(std::uint8_t channel, CEmailAlertJob* job, IEventLog* log,
                   const std::atomic<int>* runFlag) {
    if (job == nullptr) {
        return 0;
    }
    const AlertBlock alert = ReadSettings(g_Settings.Alert);

    CMailMessage m;
    m.sServer = SettingsFieldText(alert.sSmtpServer);
    m.nPort = alert.nSmtpPort;
    if (alert.bSmtpLogin != 0) {
        m.sUser = SettingsFieldText(alert.sSmtpUser);
        m.sPassword = SettingsFieldText(alert.sSmtpPassword);
    }
    m.sFrom = SettingsFieldText(alert.sMailFrom);
    m.sTo = SettingsFieldText(alert.sMailTo);
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "(Channel %ld Video Motion Alert)",
                  static_cast<long>(channel) + 1);
    m.sSubject = SettingsFieldText(alert.sMailSubject) + suffix;
    m.sBody = SettingsFieldText(alert.sMailMessage);
    const int count = std::min<int>({g_EmailJobTable.Locked([job] { return job->GetImageCount(); }),
                                     alert.byAttachImageNum, kMaxMailAttachments});
    CopyEmailJobImages(job, count, m.sAttachment);
    m.byAttachCount = static_cast<std::uint8_t>(count);

    IAlertTransport& transport = AlertTransport();
    char text[ALERT_LOG_TEXT_SIZE];
    if (transport.SendMail(std::move(m), runFlag) != 0) {
        std::snprintf(text, sizeof text, "Ch%02d send alert email OK!", channel + 1);
    } else {
        const std::string error = transport.GetLastMailError();
        std::snprintf(text, sizeof text, "Ch%02d send alert email failed! %s", channel + 1,
                      error.c_str());
    }
    Log(log, channel, text);
    return 1;
}

int UploadAlertImage(FtpSession* session, std::uint8_t channel, const std::string& path,
                     IEventLog* log) {
    if (session == nullptr) {
        return 0;
    }
    const std::string remote =
        path.size() > SNAPSHOT_NAME_CHARS ? path.substr(path.size() - SNAPSHOT_NAME_CHARS) : path;
    char text[ALERT_LOG_TEXT_SIZE];
    if (AlertTransport().PutFtpFile(session, path, remote) != 0) {
        std::snprintf(text, sizeof text, "Ch%02d ftp upload image:%s OK!", channel + 1,
                      path.c_str());
    } else {
        std::snprintf(text, sizeof text, "Ch%02d ftp upload image failed!", channel + 1);
    }
    Log(log, channel, text);
    return 1;
}
