#include "alerts/send_email_thread.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "alerts/alert_thread_fixture.h"
#include "settings/log_entry.h"

namespace {

class SendEmailTest : public AlertThreadTest {
protected:
    void SetUp() override {
        AlertThreadTest::SetUp();
        std::strcpy(g_Settings.Alert.sSmtpServer, "mail.example.org");
        g_Settings.Alert.nSmtpPort = 2525;
        std::strcpy(g_Settings.Alert.sSmtpUser, "alarm");
        std::strcpy(g_Settings.Alert.sSmtpPassword, "pw");
        std::strcpy(g_Settings.Alert.sMailFrom, "Desk <desk@cam.example>");
        std::strcpy(g_Settings.Alert.sMailTo, "ops@example.org");
        std::strcpy(g_Settings.Alert.sMailSubject, "Gate");
        std::strcpy(g_Settings.Alert.sMailMessage, "motion");
        StartEmail();
    }
};

// The mail goes out at the first tick that finds the configured number of
// snapshots, asked for at the alarm start and once a tick until then; the
// setting is read anew at every message.
TEST_F(SendEmailTest, AttachesTheConfiguredNumberOfSnapshots) {
    const int counts[] = {0, 3, 10};
    for (int channel = 0; channel < 3; ++channel) {
        const int n = counts[channel];
        SCOPED_TRACE(n);
        g_Settings.Alert.byAttachImageNum = static_cast<std::uint8_t>(n);
        channels_.SetAnswering(channel, true);
        const std::size_t mailsBefore = transport_.Mails().size();

        Email(WM_ALERT_EMAIL, channel);
        EXPECT_EQ(channels_.Requests(channel), n > 0 ? 1 : 0);
        for (int tick = 1; tick < std::max(n, 1); ++tick) {
            Email(WM_SECOND_TICK);
            EXPECT_EQ(channels_.Requests(channel), tick + 1);
        }
        EXPECT_EQ(transport_.Mails().size(), mailsBefore);
        Email(WM_SECOND_TICK);

        const auto mails = transport_.Mails();
        ASSERT_EQ(mails.size(), mailsBefore + 1);
        const CMailMessage& m = mails.back();
        ASSERT_EQ(m.byAttachCount, n);
        const auto answered = channels_.Answered(channel);
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(m.sAttachment[i], answered[i]);
        }
        EXPECT_EQ(g_pEmailAlertJobs[channel], nullptr);
        // The tick that sent asked for nothing more.
        EXPECT_EQ(channels_.Requests(channel), n);
    }
}

TEST_F(SendEmailTest, OnlyTheFirstConfiguredSnapshotsGoAlong) {
    struct Case {
        int n;
        int arrived;
    };
    for (const Case& c : {Case{0, 2}, Case{2, 4}, Case{10, 12}}) {
        SCOPED_TRACE(c.n);
        g_Settings.Alert.byAttachImageNum = static_cast<std::uint8_t>(c.n);
        Email(WM_ALERT_EMAIL, 1);
        for (int i = 0; i < c.arrived; ++i) {
            AddAlertSnapshot(1, FakeAlertChannels::SnapshotPath(1, i).c_str());
        }
        Email(WM_SECOND_TICK);
        const CMailMessage m = transport_.Mails().back();
        ASSERT_EQ(m.byAttachCount, c.n);
        for (int i = 0; i < c.n; ++i) {
            EXPECT_EQ(m.sAttachment[i], FakeAlertChannels::SnapshotPath(1, i));
        }
        for (int i = c.n; i < 10; ++i) {
            EXPECT_EQ(m.sAttachment[i], "");
        }
    }
}

TEST_F(SendEmailTest, MailTakesTheAlertSettingsAndTheChannelInItsSubject) {
    struct Case {
        const char* name;
        std::uint8_t login;
        const char* subject;
        const char* expectedSubject;
        const char* user;
        const char* password;
    };
    const Case cases[] = {
        {"login", 1, "Gate", "Gate(Channel 3 Video Motion Alert)", "alarm", "pw"},
        {"no login, empty subject", 0, "", "(Channel 3 Video Motion Alert)", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_Settings.Alert.bSmtpLogin = c.login;
        std::strcpy(g_Settings.Alert.sMailSubject, c.subject);
        Email(WM_ALERT_EMAIL, 2);
        Email(WM_SECOND_TICK);
        const CMailMessage m = transport_.Mails().back();
        EXPECT_EQ(m.sServer, "mail.example.org");
        EXPECT_EQ(m.nPort, 2525);
        EXPECT_EQ(m.sUser, c.user);
        EXPECT_EQ(m.sPassword, c.password);
        EXPECT_EQ(m.sFrom, "Desk <desk@cam.example>");
        EXPECT_EQ(m.sTo, "ops@example.org");
        EXPECT_EQ(m.sSubject, c.expectedSubject);
        EXPECT_EQ(m.sBody, "motion");
        EXPECT_EQ(m.byAttachCount, 0);
    }
    // A subject that fills its whole field (no zero inside it) is read up to
    // the field's end only.
    std::memset(g_Settings.Alert.sMailSubject, 'S', sizeof g_Settings.Alert.sMailSubject);
    Email(WM_ALERT_EMAIL, 0);
    Email(WM_SECOND_TICK);
    EXPECT_EQ(transport_.Mails().back().sSubject,
              std::string(128, 'S') + "(Channel 1 Video Motion Alert)");
}

TEST_F(SendEmailTest, SecondAlarmWhileTheMailWaitsChangesNothing) {
    g_Settings.Alert.byAttachImageNum = 1;
    Email(WM_ALERT_EMAIL, 0);
    const CEmailAlertJob* job = g_pEmailAlertJobs[0];
    ASSERT_NE(job, nullptr);
    AddAlertSnapshot(0, "C:\\snap\\first.jpg");
    Email(WM_ALERT_EMAIL, 0);
    EXPECT_EQ(g_pEmailAlertJobs[0], job);
    EXPECT_EQ(channels_.Requests(0), 1);

    Email(WM_SECOND_TICK);
    const auto mails = transport_.Mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].sAttachment[0], "C:\\snap\\first.jpg");
    EXPECT_EQ(channels_.Requests(0), 1);

    // The next alarm start opens a new mail.
    Email(WM_ALERT_EMAIL, 0);
    EXPECT_NE(g_pEmailAlertJobs[0], nullptr);
    EXPECT_EQ(channels_.Requests(0), 2);
}

TEST_F(SendEmailTest, LogsEachMailAndNeverRetriesAFailedOne) {
    Email(WM_ALERT_EMAIL, 1);
    Email(WM_SECOND_TICK);
    transport_.FailMail("Error info: refused\r\n details: 535 bad login");
    Email(WM_ALERT_EMAIL, 3);
    Email(WM_SECOND_TICK);
    Email(WM_SECOND_TICK);
    EXPECT_EQ(transport_.Mails().size(), 2u);

    const std::string longError(300, 'e');
    transport_.FailMail(longError);
    Email(WM_ALERT_EMAIL, 0);
    Email(WM_SECOND_TICK);

    const auto lines = log_.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].type, LOGTYPE_NET);
    EXPECT_EQ(lines[0].channel, 1);
    EXPECT_EQ(lines[0].text, "Ch02 send alert email OK!");
    EXPECT_EQ(lines[1].type, LOGTYPE_NET);
    EXPECT_EQ(lines[1].channel, 3);
    EXPECT_EQ(lines[1].text,
              "Ch04 send alert email failed! Error info: refused\r\n details: 535 bad login");
    // A long error text is cut to the 240-byte line.
    const std::string prefix = "Ch01 send alert email failed! ";
    EXPECT_EQ(lines[2].text, prefix + longError.substr(0, 239 - prefix.size()));
}

// Without this, a channel whose snapshots never come (no snapshot folder)
// would keep its job for ever and no later alarm of it would mail.
TEST_F(SendEmailTest, MailWhoseSnapshotsNeverComeGoesOutAfterThirtySeconds) {
    g_Settings.Alert.byAttachImageNum = 3;
    Email(WM_ALERT_EMAIL, 2);
    AddAlertSnapshot(2, "C:\\snap\\only.jpg");
    for (int tick = 1; tick < EMAIL_SNAPSHOT_WAIT_TICKS; ++tick) {
        Email(WM_SECOND_TICK);
    }
    EXPECT_TRUE(transport_.Mails().empty());
    EXPECT_EQ(channels_.Requests(2), EMAIL_SNAPSHOT_WAIT_TICKS);

    Email(WM_SECOND_TICK);
    const auto mails = transport_.Mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].byAttachCount, 1);
    EXPECT_EQ(mails[0].sAttachment[0], "C:\\snap\\only.jpg");
    ASSERT_EQ(log_.Lines().size(), 1u);
    EXPECT_EQ(log_.Lines()[0].text, "Ch03 send alert email OK!");
    EXPECT_EQ(g_pEmailAlertJobs[2], nullptr);
}

TEST_F(SendEmailTest, ChannelsOutsideTheRunAndMissingObjectsGetNoRequest) {
    g_Settings.Alert.byAttachImageNum = 1;
    for (WPARAM bad : {WPARAM{kChannels}, WPARAM{15}, WPARAM{0xFF}}) {
        Email(WM_ALERT_EMAIL, bad);
    }
    for (const CEmailAlertJob* job : g_pEmailAlertJobs) {
        EXPECT_EQ(job, nullptr);
    }
    channels_.SetPresent(1, false);
    Email(WM_ALERT_EMAIL, 1);
    EXPECT_NE(g_pEmailAlertJobs[1], nullptr);
    Email(WM_SECOND_TICK);
    EXPECT_EQ(channels_.Requests(1), 0);
    // Other messages are ignored.
    Email(WM_ALERT_FTP, 0);
    Email(WM_USER + 1, 0);
    EXPECT_EQ(g_pEmailAlertJobs[0], nullptr);
    EXPECT_TRUE(transport_.Mails().empty());
}

TEST_F(SendEmailTest, JobsLeftAtTheEndAreDeletedByTheThread) {
    g_Settings.Alert.byAttachImageNum = 2;
    Email(WM_ALERT_EMAIL, 0);
    Email(WM_ALERT_EMAIL, 3);
    StopSendEmailThread();
    EXPECT_EQ(g_hSendEmailThread.load(), nullptr);
    for (const CEmailAlertJob* job : g_pEmailAlertJobs) {
        EXPECT_EQ(job, nullptr);
    }
    EXPECT_TRUE(transport_.Mails().empty());
}

}  // namespace
