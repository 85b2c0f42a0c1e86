#include "mainwnd/heartbeat.h"

#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "platform/timer/manual_timer.h"
#include "settings/globals.h"
#include "settings/settings.h"

using namespace engine_test;

namespace {

class HeartbeatTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTimerService(&timer_);
        g_nUptimeSeconds = 0;
        g_nTickCount = 0;
        g_byClockBacklog = 0;
        g_Settings.Alert.bEmailAlert = 0;
        g_Settings.Alert.bFtpAlert = 0;
        id_ = StartHeartbeat(0);
        ASSERT_NE(id_, 0u);
        EXPECT_EQ(timer_.PeriodOf(id_), 40u);
    }
    void TearDown() override {
        StopHeartbeat(id_);
        SetTimerService(nullptr);
        g_hDrawVideoThread = nullptr;
        g_dwDrawVideoThreadId = 0;
        g_dwSendEmailThreadId = 0;
        g_dwFtpUploadThreadId = 0;
    }
    CManualTimer timer_;
    RecordingPoster window_;
    unsigned id_ = 0;
};

TEST_F(HeartbeatTest, UptimeAdvancesOncePer25TicksAndTheClockWithIt) {
    timer_.Fire(id_, 24);
    EXPECT_EQ(GetUptimeSeconds(), 0);
    EXPECT_EQ(window_.Count(WM_CLOCK_UPDATE), 0);
    timer_.Fire(id_, 1);
    EXPECT_EQ(GetUptimeSeconds(), 1);
    EXPECT_EQ(window_.Count(WM_CLOCK_UPDATE), 1);
    timer_.Fire(id_, 25 * 9);
    EXPECT_EQ(GetUptimeSeconds(), 10);
    EXPECT_EQ(g_nTickCount.load(), 0);
}

TEST_F(HeartbeatTest, AtMostTwoClockUpdatesWaitUnanswered) {
    timer_.Fire(id_, 25 * 5);
    EXPECT_EQ(window_.Count(WM_CLOCK_UPDATE), 2);
    g_byClockBacklog = 0;  // the window painted
    timer_.Fire(id_, 25 * 3);
    EXPECT_EQ(window_.Count(WM_CLOCK_UPDATE), 4);
    // The byte wraps to 0 after 256 unanswered seconds and counts up
    // through 0, 1 and 2 again, each of which posts.
    timer_.Fire(id_, 25 * (256 - 3 - 1));
    EXPECT_EQ(window_.Count(WM_CLOCK_UPDATE), 4);
    timer_.Fire(id_, 25);
    EXPECT_EQ(g_byClockBacklog.load(), 0);
    EXPECT_EQ(window_.Count(WM_CLOCK_UPDATE), 5);
    timer_.Fire(id_, 25 * 3);
    EXPECT_EQ(window_.Count(WM_CLOCK_UPDATE), 7);
}

TEST_F(HeartbeatTest, AlertThreadsGetTheirSecondOnlyWhileTheirAlertIsOn) {
    CountingWorker mail;
    CountingWorker ftp;
    g_dwSendEmailThreadId = mail.Id();
    g_dwFtpUploadThreadId = ftp.Id();
    struct Case {
        uint8_t email, ftp;
        int mailTicks, ftpTicks;
    } cases[] = {{0, 0, 0, 0}, {1, 0, 1, 0}, {0, 1, 0, 1}, {1, 1, 1, 1}};
    int mailTotal = 0;
    int ftpTotal = 0;
    for (const Case& c : cases) {
        g_Settings.Alert.bEmailAlert = c.email;
        g_Settings.Alert.bFtpAlert = c.ftp;
        timer_.Fire(id_, 25);
        mailTotal += c.mailTicks;
        ftpTotal += c.ftpTicks;
        EXPECT_EQ(mail.Count(WM_SECOND_TICK), mailTotal) << int(c.email) << int(c.ftp);
        EXPECT_EQ(ftp.Count(WM_SECOND_TICK), ftpTotal) << int(c.email) << int(c.ftp);
    }
}

TEST_F(HeartbeatTest, DrawRequestEveryTickWhileDrawVideoRuns) {
    CountingWorker draw;
    g_dwDrawVideoThreadId = draw.Id();
    timer_.Fire(id_, 10);
    EXPECT_EQ(draw.Count(WM_DRAW_VIDEO), 0);  // no handle: nobody posts
    g_hDrawVideoThread = draw.Handle();
    timer_.Fire(id_, 30);
    EXPECT_EQ(draw.Count(WM_DRAW_VIDEO), 30);
    g_hDrawVideoThread = nullptr;
    timer_.Fire(id_, 5);
    EXPECT_EQ(draw.Count(WM_DRAW_VIDEO), 30);
}

TEST(MainWindowPosterTest, PostsFailQuietlyWithoutAWindow) {
    EXPECT_FALSE(PostToMainWindow(WM_CLOCK_UPDATE, 0, 0));
    {
        RecordingPoster window;
        EXPECT_TRUE(PostToMainWindow(WM_CLOCK_UPDATE, 0, 0));
    }
    EXPECT_FALSE(PostToMainWindow(WM_CLOCK_UPDATE, 0, 0));
}

}  // namespace
