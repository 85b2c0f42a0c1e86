#include "mainwnd/alert_workers.h"

#include "alerts/alert_job_tables.h"
#include "alerts/ftp_upload_thread.h"
#include "alerts/send_email_thread.h"

bool CAlertWorkers::StartSendEmail() {
    return StartSendEmailThread(m_pLog);
}

void CAlertWorkers::StopSendEmail() {
    StopSendEmailThread();
}

bool CAlertWorkers::StartFtpUpload() {
    return StartFtpUploadThread(m_pLog);
}

void CAlertWorkers::StopFtpUpload() {
    StopFtpUploadThread(FTP_UPLOAD_STOP_WAIT_MS);
}

void CAlertWorkers::FreeAlertJobs() {
    ::FreeAlertJobs();
}
