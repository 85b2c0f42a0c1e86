#include "settings/globals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/threads/thread_messages.h"

namespace {

TEST(GlobalsTest, StartValues) {
    for (int n = 0; n < MAX_AV_CHANNELS; ++n) {
        EXPECT_EQ(g_pAVChannel[n].load(), nullptr) << n;
    }
    EXPECT_EQ(g_nChannelCount.load(), 0);
    EXPECT_EQ(g_nSelectedChannel.load(), 0);
    EXPECT_EQ(g_bAudioMute.load(), 0);
    EXPECT_EQ(g_nTickCount.load(), 0);
    EXPECT_EQ(g_byClockBacklog.load(), 0);
    EXPECT_EQ(g_byFirstAudioDevice.load(), 255);
    EXPECT_STREQ(g_sVersion, "ver1.51");
    EXPECT_EQ(g_pVideoWall.load(), nullptr);
    EXPECT_EQ(g_hDrawVideoThread.load(), nullptr);
    EXPECT_EQ(g_dwDrawVideoThreadId.load(), 0u);
    EXPECT_EQ(g_hSendEmailThread.load(), nullptr);
    EXPECT_EQ(g_dwSendEmailThreadId.load(), 0u);
    EXPECT_EQ(g_hFtpUploadThread.load(), nullptr);
    EXPECT_EQ(g_dwFtpUploadThreadId.load(), 0u);
    EXPECT_EQ(g_bDrawVideoRun.load() | g_bSendEmailRun.load() | g_bFtpUploadRun.load(), 0);
}

TEST(GlobalsTest, UptimeIsZeroUntilTheHeartbeatCountsASecond) {
    EXPECT_EQ(GetUptimeSeconds(), 0);
    g_nUptimeSeconds = 1;
    EXPECT_EQ(GetUptimeSeconds(), 1);
    g_nUptimeSeconds = 0;
}

TEST(GlobalsTest, ClockBacklogWrapsAsAByte) {
    g_byClockBacklog = 255;
    EXPECT_EQ(++g_byClockBacklog, 0);
    g_byClockBacklog = 0;
}

// What a worker loop of the usual shape saw with its quit message.
struct Worker {
    std::atomic<int> flagAtQuit{-1};
};

TEST(GlobalsTest, StopWorkerClearsTheFlagBeforeTheQuitAndWaits) {
    Worker worker;
    g_bDrawVideoRun = 1;
    ThreadId id = 0;
    ThreadHandle h = CreateThread(
        [&worker]() -> uint32_t {
            ThreadMessage msg;
            while (g_bDrawVideoRun && GetMessage(&msg)) {
                if (msg.message == WM_THREAD_QUIT) {
                    worker.flagAtQuit = g_bDrawVideoRun.load();
                    break;
                }
            }
            return 0;
        },
        &id);
    ASSERT_NE(h, nullptr);
    g_hDrawVideoThread = h;
    g_dwDrawVideoThreadId = id;

    EXPECT_TRUE(
        StopWorkerThread(g_hDrawVideoThread, g_dwDrawVideoThreadId, g_bDrawVideoRun, INFINITE));
    EXPECT_EQ(g_bDrawVideoRun.load(), 0);
    EXPECT_EQ(g_hDrawVideoThread.load(), nullptr);
    EXPECT_EQ(g_dwDrawVideoThreadId.load(), 0u);
    EXPECT_FALSE(PostThreadMessage(id, WM_DRAW_VIDEO, 0, 0)) << "the thread has ended";
    // The loop may have left on the flag before taking the message; when it
    // took the message, the flag was already clear.
    EXPECT_NE(worker.flagAtQuit.load(), 1);

    EXPECT_TRUE(
        StopWorkerThread(g_hDrawVideoThread, g_dwDrawVideoThreadId, g_bDrawVideoRun, INFINITE))
        << "nothing running: nothing to do";
}

TEST(GlobalsTest, StopWorkerGivesUpAfterTheLimitAndStillClearsTheHandle) {
    std::atomic<bool> release{false};
    g_bFtpUploadRun = 1;
    ThreadId id = 0;
    ThreadHandle h = CreateThread(
        [&release]() -> uint32_t {
            while (!release) {  // stuck in a long upload
                std::this_thread::yield();
            }
            return 0;
        },
        &id);
    ASSERT_NE(h, nullptr);
    g_hFtpUploadThread = h;
    g_dwFtpUploadThreadId = id;

    EXPECT_FALSE(StopWorkerThread(g_hFtpUploadThread, g_dwFtpUploadThreadId, g_bFtpUploadRun, 20));
    EXPECT_EQ(g_hFtpUploadThread.load(), nullptr);
    EXPECT_EQ(g_dwFtpUploadThreadId.load(), 0u);
    EXPECT_EQ(g_bFtpUploadRun.load(), 0);

    release = true;
    while (PostThreadMessage(id, WM_USER, 0, 0)) {  // until it has ended
        std::this_thread::yield();
    }
}

}  // namespace
