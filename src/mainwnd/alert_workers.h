#pragma once
// The alert threads as the main dialog starts and stops them. The stop of
// FtpUpload cuts off a transfer that outlasts its wait and waits for the
// thread to its end, so the exit never frees the channels or the alert
// jobs under a running upload.

#include "mainwnd/main_dialog_hooks.h"
#include "settings/event_log.h"

class CAlertWorkers final : public IEngineWorkers {
public:
    // Results go to log (not owned; may be null).
    explicit CAlertWorkers(IEventLog* log) : m_pLog(log) {}

    bool StartSendEmail() override;
    void StopSendEmail() override;
    bool StartFtpUpload() override;
    void StopFtpUpload() override;
    void FreeAlertJobs() override;

private:
    IEventLog* m_pLog;
};
