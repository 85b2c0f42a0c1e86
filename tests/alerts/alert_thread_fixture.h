#pragma once
// A running SendEmail and FtpUpload with fake channels, a fake transport and
// a recording log. Messages are posted to the threads' ids as the heartbeat
// and the channels post them; Email()/Ftp() post one and wait until the
// thread has handled it, so every check sees the thread at rest.

#include <gtest/gtest.h>

#include "alerts/alert_fakes.h"
#include "alerts/alert_job_tables.h"
#include "alerts/ftp_upload_thread.h"
#include "alerts/send_email_thread.h"
#include "platform/threads/thread_messages.h"
#include "settings/settings.h"

// Email()/Ftp() for any fixture that runs the real threads.
class AlertThreadPosting : public ::testing::Test {
protected:
    void Email(unsigned message, WPARAM wParam = 0) {
        ASSERT_TRUE(PostThreadMessage(g_dwSendEmailThreadId.load(), message, wParam, 0));
        ASSERT_TRUE(WaitForCount(&GetSendEmailHandledCount, ++emailPosted_));
    }
    void Ftp(unsigned message, WPARAM wParam = 0) {
        ASSERT_TRUE(PostThreadMessage(g_dwFtpUploadThreadId.load(), message, wParam, 0));
        ASSERT_TRUE(WaitForCount(&GetFtpUploadHandledCount, ++ftpPosted_));
    }

    unsigned emailPosted_ = 0;
    unsigned ftpPosted_ = 0;
};

class AlertThreadTest : public AlertThreadPosting {
protected:
    static constexpr int kChannels = 4;

    void SetUp() override {
        SetDefaultAlertBlock(g_Settings.Alert);
        g_Settings.Alert.bEmailAlert = 1;
        g_Settings.Alert.bFtpAlert = 1;
        g_nChannelCount = kChannels;
        SetAlertChannels(&channels_);
        SetAlertTransport(&transport_);
    }

    void TearDown() override {
        StopSendEmailThread();
        StopFtpUploadThread();
        FreeAlertJobs();
        SetAlertChannels(nullptr);
        SetAlertTransport(nullptr);
        g_nChannelCount = 0;
    }

    void StartEmail() {
        ASSERT_TRUE(StartSendEmailThread(&log_));
        emailPosted_ = 0;
    }
    void StartFtp() {
        ASSERT_TRUE(StartFtpUploadThread(&log_));
        ftpPosted_ = 0;
    }

    FakeAlertChannels channels_;
    FakeAlertTransport transport_;
    RecordingLog log_;
};
