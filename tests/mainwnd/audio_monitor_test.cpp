#include "mainwnd/audio_monitor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "platform/sound/file_output.h"
#include "settings/globals.h"
#include "support/chdir_temp_dir.h"

namespace {

constexpr int kBuf = AUDIO_MONITOR_BUFFER_BYTES;

std::vector<uint8_t> Block(uint8_t value, int bytes = kBuf) {
    return std::vector<uint8_t>(static_cast<size_t>(bytes), value);
}

// The fill function on its own, with a ring of its own.
class MonitorFillTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_pAudioMonitorRing = new CPcmRingBuffer;
        g_bAudioMonitorOpen = 1;
        g_bAudioMonitorHaveLast = 0;
    }
    void TearDown() override {
        g_bAudioMonitorOpen = 0;
        delete g_pAudioMonitorRing.exchange(nullptr);
    }
    std::vector<uint8_t> Fill(int bytes, int expectResult = 1) {
        std::vector<uint8_t> out(static_cast<size_t>(bytes), 0xEE);
        EXPECT_EQ(AudioMonitorFill(out.data(), bytes), expectResult);
        return out;
    }
};

TEST_F(MonitorFillTest, AShortRingRepeatsTheLastBlockOnceThenPlaysSilence) {
    auto a = Block(0x11);
    g_pAudioMonitorRing.load()->Write(a.data(), kBuf);
    EXPECT_EQ(Fill(kBuf), a);
    auto b = Block(0x22, kBuf - 1);  // one byte short of a buffer
    g_pAudioMonitorRing.load()->Write(b.data(), kBuf - 1);
    EXPECT_EQ(Fill(kBuf), a);         // the last block once more
    EXPECT_EQ(Fill(kBuf), Block(0));  // then silence
    EXPECT_EQ(Fill(kBuf), Block(0));
    g_pAudioMonitorRing.load()->Write(b.data(), 1);
    EXPECT_EQ(Fill(kBuf), Block(0x22));  // a whole buffer again
}

TEST_F(MonitorFillTest, SilenceBeforeTheMonitorIsOpenAndForOversizedRequests) {
    auto a = Block(0x33, 4000);
    g_pAudioMonitorRing.load()->Write(a.data(), 4000);
    EXPECT_EQ(Fill(3201, 0), Block(0, 3201));
    EXPECT_EQ(Fill(3200), Block(0x33, 3200));
    g_bAudioMonitorOpen = 0;
    EXPECT_EQ(Fill(kBuf, 0), Block(0));
    EXPECT_EQ(g_pAudioMonitorRing.load()->Readable(), 800);  // nothing taken
}

TEST_F(MonitorFillTest, OnlyTheSelectedChannelFeedsTheRingAndMuteStopsIt) {
    g_nSelectedChannel = 2;
    auto pcm = Block(0x44, 100);
    EXPECT_TRUE(AudioMonitorFeed(2, pcm.data(), 100));
    EXPECT_FALSE(AudioMonitorFeed(1, pcm.data(), 100));
    g_bAudioMute = 1;
    EXPECT_FALSE(AudioMonitorFeed(2, pcm.data(), 100));
    g_bAudioMute = 0;
    EXPECT_EQ(g_pAudioMonitorRing.load()->Readable(), 100);
    delete g_pAudioMonitorRing.exchange(nullptr);
    EXPECT_FALSE(AudioMonitorFeed(2, pcm.data(), 100));  // no ring: nothing to feed
    g_pAudioMonitorRing = new CPcmRingBuffer;
}

std::vector<uint8_t> WavData(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> wav((std::istreambuf_iterator<char>(in)), {});
    EXPECT_GE(wav.size(), 44u);
    if (wav.size() < 44) {
        return {};
    }
    const uint32_t rate = wav[24] | wav[25] << 8 | wav[26] << 16 | wav[27] << 24;
    EXPECT_EQ(rate, 22050u);
    EXPECT_EQ(wav[22], 1);   // mono
    EXPECT_EQ(wav[34], 16);  // 16 bits
    return std::vector<uint8_t>(wav.begin() + 44, wav.end());
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

class MonitorPlaybackTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetPcmOutputService(nullptr);
        g_bAudioMute = 0;
        g_nSelectedChannel = 0;
    }
    ChdirTempDir dir_;
};

TEST_F(MonitorPlaybackTest, TheSelectedChannelReachesTheDeviceAndMuteSilencesIt) {
    auto out = std::make_shared<FileOutput>("monitor.wav");
    SetPcmOutputService(out);
    g_nSelectedChannel = 0;
    ASSERT_EQ(StartAudioMonitor(), 1);
    ASSERT_EQ(g_bAudioMonitorOpen.load(), 1);
    ASSERT_NE(g_pAudioMonitorRing.load(), nullptr);

    // The capture hands over two and a half buffers of the selected
    // channel, and some of another channel.
    const auto a = Block(0x10);
    const auto b = Block(0x20);
    const auto c = Block(0x30, kBuf / 2);
    EXPECT_TRUE(AudioMonitorFeed(0, a.data(), kBuf));
    EXPECT_FALSE(AudioMonitorFeed(3, Block(0x77).data(), kBuf));
    EXPECT_TRUE(AudioMonitorFeed(0, b.data(), kBuf));
    EXPECT_TRUE(AudioMonitorFeed(0, c.data(), kBuf / 2));
    // Played: the two first fills (silence: the monitor was not open yet),
    // then a and b as the first buffers come back.
    out->Allow(4);
    ASSERT_TRUE(out->WaitForBuffers(4, 5000));
    // Muted: the rest of c never comes, so b repeats once, then silence.
    g_bAudioMute = 1;
    EXPECT_FALSE(AudioMonitorFeed(0, c.data(), kBuf / 2));
    out->Allow(3);
    ASSERT_TRUE(out->WaitForBuffers(7, 5000));
    ASSERT_EQ(StopAudioMonitor(), 1);
    EXPECT_EQ(g_pAudioMonitorRing.load(), nullptr);
    EXPECT_EQ(g_bAudioMonitorOpen.load(), 0);

    const std::vector<uint8_t> played = WavData("monitor.wav");
    EXPECT_EQ(played, Concat({Block(0), Block(0), a, b, b, Block(0), Block(0)}));
}

TEST_F(MonitorPlaybackTest, WithoutASoundDeviceTheRestRunsOn) {
    SetPcmOutputService(MakeNullOutput(0));
    ASSERT_EQ(StartAudioMonitor(), 1);
    EXPECT_EQ(g_bAudioMonitorOpen.load(), 0);
    EXPECT_TRUE(AudioMonitorFeed(0, Block(1).data(), kBuf));  // the ring still takes it
    ASSERT_EQ(StopAudioMonitor(), 1);
}

TEST_F(MonitorPlaybackTest, UnderrunsAndAStalledDeviceDoNotCrash) {
    // The device plays as fast as it is fed, while a channel feeds at
    // random: most fills find the ring short.
    auto out = std::make_shared<FileOutput>("monitor.wav");
    out->AllowAll();
    SetPcmOutputService(out);
    ASSERT_EQ(StartAudioMonitor(), 1);
    std::atomic<bool> feeding{true};
    std::thread channel([&] {
        const auto pcm = Block(0x55, 2940);
        while (feeding) {
            AudioMonitorFeed(0, pcm.data(), 2940);
            std::this_thread::yield();
        }
    });
    ASSERT_TRUE(out->WaitForBuffers(200, 10000));
    feeding = false;
    channel.join();
    ASSERT_EQ(StopAudioMonitor(), 1);

    // A device that stopped taking buffers still lets the monitor close.
    auto stalled = std::make_shared<FileOutput>("stalled.wav");
    SetPcmOutputService(stalled);
    CAudioMonitor monitor;
    ASSERT_TRUE(monitor.Open(1, 22050, 16, AudioMonitorFill));
    monitor.Stop();
    monitor.Close();
    EXPECT_FALSE(monitor.IsOpen());
    EXPECT_EQ(stalled->BuffersWritten(), 0);
}

TEST_F(MonitorPlaybackTest, AMonitorStoppedAndOpenedAgainPlaysAgain) {
    auto first = std::make_shared<FileOutput>("first.wav");
    SetPcmOutputService(first);
    CAudioMonitor monitor;
    ASSERT_TRUE(monitor.Open(1, 22050, 16, AudioMonitorFill));
    monitor.Stop();
    monitor.Close();

    auto second = std::make_shared<FileOutput>("second.wav");
    second->AllowAll();
    SetPcmOutputService(second);
    ASSERT_TRUE(monitor.Open(1, 22050, 16, AudioMonitorFill));
    EXPECT_FALSE(monitor.IsStopping());
    // A monitor still marked as stopping would hand back its two first
    // buffers and never refill them.
    EXPECT_TRUE(second->WaitForBuffers(6, 5000));
    monitor.Stop();
    monitor.Close();
}

TEST_F(MonitorPlaybackTest, StoppingTakesAtLeastTheDrainTime) {
    SetPcmOutputService(MakeNullOutput());
    ASSERT_EQ(StartAudioMonitor(), 1);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(StopAudioMonitor(), 1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
}

}  // namespace
