#pragma once
// The channels' way into the alert threads: RaiseMotionAlert at the start of
// a motion alarm and AddAlertSnapshot (alert_job_tables.h) for every written
// snapshot. The main window installs one CAlertSink with SetAlertSink
// (channel/channel_services.h) before it starts the channels.

#include "channel/channel_services.h"

// A motion alarm of the channel started (DrawVideo): posts WM_ALERT_EMAIL to
// SendEmail while e-mail alerts are on and WM_ALERT_FTP to FtpUpload while
// FTP alerts are on. Channels outside 0..g_nChannelCount-1 are ignored.
void RaiseMotionAlert(int channel);

class CAlertSink final : public IAlertSink {
public:
    void RaiseMotionAlert(int channel) override;
    void AddAlertSnapshot(int channel, const char* path) override;
};
