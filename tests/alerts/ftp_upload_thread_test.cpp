#include "alerts/ftp_upload_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "alerts/alert_thread_fixture.h"
#include "channel/av_channel.h"
#include "settings/log_entry.h"

namespace {

class FtpUploadTest : public AlertThreadTest {
protected:
    void SetUp() override {
        AlertThreadTest::SetUp();
        std::strcpy(g_Settings.Alert.sFtpServer, "ftp.example.org");
        g_Settings.Alert.nFtpPort = 2121;
        std::strcpy(g_Settings.Alert.sFtpUser, "cam");
        std::strcpy(g_Settings.Alert.sFtpPassword, "pw");
        std::strcpy(g_Settings.Alert.sFtpDirectory, "alerts/in");
        g_Settings.Alert.bFtpPassive = 1;
        StartFtp();
    }

    static std::string UploadLine(int channel, const std::string& path) {
        char text[128];
        std::snprintf(text, sizeof text, "Ch%02d ftp upload image:%s OK!", channel + 1,
                      path.c_str());
        return text;
    }
};

TEST_F(FtpUploadTest, UploadsTheNewestSnapshotEveryGapWhileTheAlarmLasts) {
    g_Settings.Alert.byFtpGap = 5;
    channels_.SetAlarm(0, true);
    channels_.SetAnswering(0, true);
    Ftp(WM_ALERT_FTP, 0);
    ASSERT_EQ(transport_.Opens().size(), 1u);
    const FtpOpenCall open = transport_.Opens()[0];
    EXPECT_EQ(open.server, "ftp.example.org");
    EXPECT_EQ(open.port, 2121);
    EXPECT_EQ(open.user, "cam");
    EXPECT_EQ(open.password, "pw");
    EXPECT_EQ(open.directory, "alerts/in");
    EXPECT_TRUE(open.passive);
    EXPECT_EQ(open.proxy, "");
    EXPECT_TRUE(open.abortable);
    EXPECT_EQ(channels_.Requests(0), 1);

    // Ticks 1, 6 and 11 upload, each of the snapshot asked for after the
    // upload before; the alarm ends after tick 12.
    std::vector<int> uploadTicks;
    for (int tick = 1; tick <= 12; ++tick) {
        const std::size_t before = transport_.Puts().size();
        Ftp(WM_SECOND_TICK);
        if (transport_.Puts().size() != before) {
            uploadTicks.push_back(tick);
        }
    }
    EXPECT_EQ(uploadTicks, (std::vector<int>{1, 6, 11}));
    const auto puts = transport_.Puts();
    const auto lines = log_.Lines();
    ASSERT_EQ(puts.size(), 3u);
    ASSERT_EQ(lines.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const std::string path = FakeAlertChannels::SnapshotPath(0, i);
        EXPECT_EQ(puts[i].localPath, path);
        EXPECT_EQ(puts[i].remoteName, path.substr(8));  // the 29-character file name
        EXPECT_EQ(lines[i].type, LOGTYPE_NET);
        EXPECT_EQ(lines[i].channel, 0);
        EXPECT_EQ(lines[i].text, UploadLine(0, path));
    }
    EXPECT_EQ(channels_.Requests(0), 4);

    // The job ends at the first tick after the alarm, the session at the
    // tick after that.
    channels_.SetAlarm(0, false);
    Ftp(WM_SECOND_TICK);
    EXPECT_EQ(g_pFtpAlertJobs[0], nullptr);
    EXPECT_EQ(transport_.Closes(), 0);
    Ftp(WM_SECOND_TICK);
    EXPECT_EQ(transport_.Closes(), 1);
    EXPECT_EQ(transport_.OpenSessions(), 0);
    EXPECT_EQ(transport_.Puts().size(), 3u);

    // The next alarm opens a new session.
    channels_.SetAlarm(0, true);
    Ftp(WM_ALERT_FTP, 0);
    EXPECT_EQ(transport_.Opens().size(), 2u);
}

TEST_F(FtpUploadTest, NoNewRequestWhileSnapshotsWait) {
    g_Settings.Alert.byFtpGap = 2;
    channels_.SetAlarm(1, true);
    Ftp(WM_ALERT_FTP, 1);
    for (int i = 0; i < 4; ++i) {  // the fourth overwrites the first
        AddAlertSnapshot(1, FakeAlertChannels::SnapshotPath(1, i).c_str());
    }
    for (int tick = 1; tick <= 5; ++tick) {
        Ftp(WM_SECOND_TICK);
    }
    const auto puts = transport_.Puts();
    ASSERT_EQ(puts.size(), 3u);
    EXPECT_EQ(puts[0].localPath, FakeAlertChannels::SnapshotPath(1, 3));
    EXPECT_EQ(puts[1].localPath, FakeAlertChannels::SnapshotPath(1, 2));
    EXPECT_EQ(puts[2].localPath, FakeAlertChannels::SnapshotPath(1, 1));
    // Asked at the alarm start and once the ring ran empty.
    EXPECT_EQ(channels_.Requests(1), 2);
}

TEST_F(FtpUploadTest, SecondAlarmDuringAJobChangesNothing) {
    g_Settings.Alert.byFtpGap = 3;
    channels_.SetAlarm(2, true);
    channels_.SetAnswering(2, true);
    Ftp(WM_ALERT_FTP, 2);
    const CFtpAlertJob* job = g_pFtpAlertJobs[2];
    Ftp(WM_SECOND_TICK);  // uploads, the count starts again
    Ftp(WM_ALERT_FTP, 2);
    EXPECT_EQ(g_pFtpAlertJobs[2], job);
    Ftp(WM_SECOND_TICK);
    Ftp(WM_SECOND_TICK);
    EXPECT_EQ(transport_.Puts().size(), 1u);
    Ftp(WM_SECOND_TICK);
    EXPECT_EQ(transport_.Puts().size(), 2u);
    EXPECT_EQ(transport_.Opens().size(), 1u);
    EXPECT_EQ(channels_.Requests(2), 3);
}

TEST_F(FtpUploadTest, FailedLoginIsLoggedAndTriedAgainByTheNextNewJob) {
    transport_.FailOpen("Login ftp.example.org Failed!");
    channels_.SetAlarm(0, true);
    channels_.SetAlarm(1, true);
    channels_.SetAnswering(0, true);
    Ftp(WM_ALERT_FTP, 0);
    EXPECT_EQ(transport_.Closes(), 1);
    EXPECT_EQ(transport_.OpenSessions(), 0);
    ASSERT_EQ(log_.Lines().size(), 1u);
    EXPECT_EQ(log_.Lines()[0].type, LOGTYPE_NET);
    EXPECT_EQ(log_.Lines()[0].channel, 0);
    EXPECT_EQ(log_.Lines()[0].text, "Login ftp failed!!! (Login ftp.example.org Failed!)");

    // The job stays; its snapshot is taken at the gap but goes nowhere.
    Ftp(WM_SECOND_TICK);
    EXPECT_NE(g_pFtpAlertJobs[0], nullptr);
    EXPECT_EQ(channels_.Requests(0), 2);
    EXPECT_TRUE(transport_.Puts().empty());
    EXPECT_EQ(log_.Lines().size(), 1u);

    // A second alarm of the same channel does not try again; a new job does.
    Ftp(WM_ALERT_FTP, 0);
    EXPECT_EQ(transport_.Opens().size(), 1u);
    transport_.SucceedOpen();
    Ftp(WM_ALERT_FTP, 1);
    EXPECT_EQ(transport_.Opens().size(), 2u);
    Ftp(WM_SECOND_TICK);
    EXPECT_EQ(transport_.Puts().size(), 1u);
}

TEST_F(FtpUploadTest, FailedUploadIsLoggedAndNotRetried) {
    transport_.FailPuts();
    channels_.SetAlarm(3, true);
    Ftp(WM_ALERT_FTP, 3);
    AddAlertSnapshot(3, FakeAlertChannels::SnapshotPath(3, 0).c_str());
    Ftp(WM_SECOND_TICK);
    Ftp(WM_SECOND_TICK);
    const auto lines = log_.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].type, LOGTYPE_NET);
    EXPECT_EQ(lines[0].channel, 3);
    EXPECT_EQ(lines[0].text, "Ch04 ftp upload image failed!");
}

TEST_F(FtpUploadTest, MissingChannelObjectCountsAsAnAlarmThatIsOver) {
    channels_.SetPresent(1, false);
    Ftp(WM_ALERT_FTP, 1);
    EXPECT_NE(g_pFtpAlertJobs[1], nullptr);
    Ftp(WM_SECOND_TICK);
    EXPECT_EQ(g_pFtpAlertJobs[1], nullptr);
    Ftp(WM_SECOND_TICK);
    EXPECT_EQ(transport_.Closes(), 1);
    EXPECT_EQ(channels_.Requests(1), 0);
}

TEST_F(FtpUploadTest, ChannelsOutsideTheRunAreIgnored) {
    for (WPARAM bad : {WPARAM{kChannels}, WPARAM{15}, WPARAM{0xFF}}) {
        Ftp(WM_ALERT_FTP, bad);
    }
    Ftp(WM_ALERT_EMAIL, 0);
    for (const CFtpAlertJob* job : g_pFtpAlertJobs) {
        EXPECT_EQ(job, nullptr);
    }
    EXPECT_TRUE(transport_.Opens().empty());
}

TEST_F(FtpUploadTest, TheThreadsEndClosesTheSessionAndDeletesTheJobs) {
    channels_.SetAlarm(0, true);
    Ftp(WM_ALERT_FTP, 0);
    EXPECT_TRUE(StopFtpUploadThread());
    EXPECT_EQ(g_hFtpUploadThread.load(), nullptr);
    EXPECT_EQ(g_pFtpAlertJobs[0], nullptr);
    EXPECT_EQ(transport_.OpenSessions(), 0);
}

// At exit an FTP call may outlast the limited wait; the stop still returns
// only once the thread has ended, so the jobs and channels freed next are
// not in use.
TEST_F(FtpUploadTest, StopOutlastingItsWaitStillEndsTheThreadFirst) {
    transport_.BlockOpenUntilStopped(300);
    channels_.SetAlarm(0, true);
    ASSERT_TRUE(PostThreadMessage(g_dwFtpUploadThreadId.load(), WM_ALERT_FTP, 0, 0));
    while (transport_.Opens().empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(StopFtpUploadThread(50));
    EXPECT_TRUE(transport_.BlockedOpenReturned());
    EXPECT_EQ(transport_.OpenSessions(), 0);
    EXPECT_EQ(g_pFtpAlertJobs[0], nullptr);
    FreeAlertJobs();
}

}  // namespace

namespace {

// The view over the real channel table: a channel's alarm flag keeps its
// job, an empty slot ends it.
TEST_F(FtpUploadTest, RealChannelTableDecidesWhetherTheAlarmLasts) {
    SetAlertChannels(nullptr);
    auto* channel = new CAVChannel(0);
    channel->bMotionAlarm = 1;
    g_pAVChannel[0] = channel;
    Ftp(WM_ALERT_FTP, 0);
    Ftp(WM_ALERT_FTP, 1);
    Ftp(WM_SECOND_TICK);
    EXPECT_NE(g_pFtpAlertJobs[0], nullptr);
    EXPECT_EQ(g_pFtpAlertJobs[1], nullptr);
    channel->bMotionAlarm = 0;
    Ftp(WM_SECOND_TICK);
    EXPECT_EQ(g_pFtpAlertJobs[0], nullptr);
    StopFtpUploadThread();
    g_pAVChannel[0] = nullptr;
    delete channel;
}

}  // namespace
