#include "platform/sound/wave_out.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "platform/sound/file_output.h"
#include "support/chdir_temp_dir.h"

namespace {

WAVEFORMATEX Mono22k() {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = 22050;
    f.wBitsPerSample = 16;
    f.nBlockAlign = 2;
    f.nAvgBytesPerSec = 44100;
    return f;
}

// Records the buffers handed back, in order.
struct DoneLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<WAVEHDR*> done;
    int opened = 0;
    int closed = 0;

    static void Proc(HWAVEOUT, unsigned msg, uintptr_t instance, uintptr_t p1, uintptr_t) {
        auto* self = reinterpret_cast<DoneLog*>(instance);
        std::lock_guard<std::mutex> lock(self->mutex);
        if (msg == WOM_DONE) {
            self->done.push_back(reinterpret_cast<WAVEHDR*>(p1));
        } else if (msg == WOM_OPEN) {
            ++self->opened;
        } else if (msg == WOM_CLOSE) {
            ++self->closed;
        }
        self->changed.notify_all();
    }
    bool WaitFor(size_t n) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), [&] { return done.size() >= n; });
    }
};

struct Buffers {
    explicit Buffers(int n, uint32_t bytes = 1764) : data(n, std::vector<uint8_t>(bytes)), hdr(n) {
        for (int i = 0; i < n; ++i) {
            hdr[i] = WAVEHDR{};
            hdr[i].lpData = data[i].data();
            hdr[i].dwBufferLength = bytes;
        }
    }
    std::vector<std::vector<uint8_t>> data;
    std::vector<WAVEHDR> hdr;
};

class WaveOutTest : public ::testing::Test {
protected:
    void TearDown() override { SetPcmOutputService(nullptr); }
};

TEST_F(WaveOutTest, TheNullOutputPlaysAtTheDeviceRate) {
    SetPcmOutputService(MakeNullOutput());
    DoneLog log;
    HWAVEOUT hwo = nullptr;
    const WAVEFORMATEX f = Mono22k();
    ASSERT_EQ(waveOutOpen(&hwo, WAVE_MAPPER, &f, DoneLog::Proc, reinterpret_cast<uintptr_t>(&log),
                          CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    Buffers b(5);
    const auto start = std::chrono::steady_clock::now();
    for (WAVEHDR& h : b.hdr) {
        ASSERT_EQ(waveOutPrepareHeader(hwo, &h, sizeof h), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(hwo, &h, sizeof h), MMSYSERR_NOERROR);
    }
    ASSERT_TRUE(log.WaitFor(5));
    // Five buffers of 40 ms take at least 200 ms to play.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(199));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(log.done[i], &b.hdr[i]);
        EXPECT_NE(b.hdr[i].dwFlags & WHDR_DONE, 0u);
        EXPECT_EQ(waveOutUnprepareHeader(hwo, &b.hdr[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(waveOutClose(hwo), MMSYSERR_NOERROR);
    EXPECT_EQ(log.opened, 1);
    EXPECT_EQ(log.closed, 1);
}

TEST_F(WaveOutTest, MisuseIsRefused) {
    ChdirTempDir dir;
    auto out = std::make_shared<FileOutput>("out.wav");  // plays only what the test allows
    SetPcmOutputService(out);
    DoneLog log;
    HWAVEOUT hwo = nullptr;
    WAVEFORMATEX f = Mono22k();
    f.wBitsPerSample = 8;
    EXPECT_EQ(waveOutOpen(&hwo, WAVE_MAPPER, &f, DoneLog::Proc, 0, CALLBACK_FUNCTION),
              WAVERR_BADFORMAT);
    f = Mono22k();
    EXPECT_EQ(waveOutOpen(&hwo, 1, &f, DoneLog::Proc, 0, CALLBACK_FUNCTION), MMSYSERR_BADDEVICEID);
    ASSERT_EQ(waveOutOpen(&hwo, WAVE_MAPPER, &f, DoneLog::Proc, reinterpret_cast<uintptr_t>(&log),
                          CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    Buffers b(2);
    EXPECT_EQ(waveOutWrite(hwo, &b.hdr[0], sizeof(WAVEHDR)), WAVERR_UNPREPARED);
    ASSERT_EQ(waveOutPrepareHeader(hwo, &b.hdr[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutPrepareHeader(hwo, &b.hdr[1], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(hwo, &b.hdr[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(hwo, &b.hdr[1], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutWrite(hwo, &b.hdr[1], sizeof(WAVEHDR)), MMSYSERR_INVALPARAM);  // queued
    EXPECT_EQ(waveOutUnprepareHeader(hwo, &b.hdr[0], sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(hwo), WAVERR_STILLPLAYING);

    // The reset ends the blocked play and hands both buffers back.
    EXPECT_EQ(waveOutReset(hwo), MMSYSERR_NOERROR);
    ASSERT_TRUE(log.WaitFor(2));
    EXPECT_EQ(out->BuffersWritten(), 0);
    EXPECT_EQ(waveOutUnprepareHeader(hwo, &b.hdr[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutUnprepareHeader(hwo, &b.hdr[1], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(hwo), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutWrite(hwo, &b.hdr[0], sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveOutTest, NoSoundCardMeansNoDevice) {
    SetPcmOutputService(MakeNullOutput(0));
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    HWAVEOUT hwo = nullptr;
    const WAVEFORMATEX f = Mono22k();
    EXPECT_EQ(waveOutOpen(&hwo, WAVE_MAPPER, &f, DoneLog::Proc, 0, CALLBACK_FUNCTION),
              MMSYSERR_NODRIVER);
    EXPECT_EQ(hwo, nullptr);
}

TEST_F(WaveOutTest, TheFileOutputWritesAWavFileOfWhatWasPlayed) {
    ChdirTempDir dir;
    auto out = std::make_shared<FileOutput>("out.wav");
    out->AllowAll();
    SetPcmOutputService(out);
    DoneLog log;
    HWAVEOUT hwo = nullptr;
    const WAVEFORMATEX f = Mono22k();
    ASSERT_EQ(waveOutOpen(&hwo, WAVE_MAPPER, &f, DoneLog::Proc, reinterpret_cast<uintptr_t>(&log),
                          CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    Buffers b(2);
    for (int i = 0; i < 2; ++i) {
        std::fill(b.data[i].begin(), b.data[i].end(), static_cast<uint8_t>(i + 1));
        waveOutPrepareHeader(hwo, &b.hdr[i], sizeof(WAVEHDR));
        waveOutWrite(hwo, &b.hdr[i], sizeof(WAVEHDR));
    }
    ASSERT_TRUE(log.WaitFor(2));
    for (WAVEHDR& h : b.hdr) {
        waveOutUnprepareHeader(hwo, &h, sizeof h);
    }
    ASSERT_EQ(waveOutClose(hwo), MMSYSERR_NOERROR);

    std::ifstream in("out.wav", std::ios::binary);
    std::vector<uint8_t> wav((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(wav.size(), 44u + 2 * 1764);
    auto u32 = [&](size_t at) {
        return wav[at] | wav[at + 1] << 8 | wav[at + 2] << 16 |
               static_cast<uint32_t>(wav[at + 3]) << 24;
    };
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(u32(24), 22050u);
    EXPECT_EQ(wav[22], 1);   // mono
    EXPECT_EQ(wav[34], 16);  // bits
    EXPECT_EQ(u32(40), 2u * 1764);
    EXPECT_EQ(wav[44], 1);
    EXPECT_EQ(wav[44 + 1764], 2);
}

TEST_F(WaveOutTest, AlsaPlaysThroughItsNullDevice) {
    auto alsa = MakeAlsaOutput("null");
    std::unique_ptr<PcmSink> sink = alsa->Open(Mono22k());
    if (sink == nullptr) {
        GTEST_SKIP() << "ALSA has no null device here";
    }
    std::vector<uint8_t> pcm(1764 * 4, 0);
    // Several buffers whatever the device's period; none is cut short.
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(sink->Write(pcm.data(), 1764));
    }
    sink->Interrupt();
    EXPECT_FALSE(sink->Write(pcm.data(), 1764));
}

}  // namespace
