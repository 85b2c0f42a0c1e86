#include "alerts/alert_sink.h"

#include "alerts/alert_job_tables.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"
#include "settings/settings.h"

void RaiseMotionAlert(int channel) {
    if (channel < 0 || channel >= g_nChannelCount.load()) {
        return;
    }
    const auto wParam = static_cast<WPARAM>(channel);
    if (g_Settings.Alert.bEmailAlert != 0) {
        PostThreadMessage(g_dwSendEmailThreadId.load(), WM_ALERT_EMAIL, wParam, 0);
    }
    if (g_Settings.Alert.bFtpAlert != 0) {
        PostThreadMessage(g_dwFtpUploadThreadId.load(), WM_ALERT_FTP, wParam, 0);
    }
}

void CAlertSink::RaiseMotionAlert(int channel) {
    ::RaiseMotionAlert(channel);
}

void CAlertSink::AddAlertSnapshot(int channel, const char* path) {
    ::AddAlertSnapshot(channel, path);
}
