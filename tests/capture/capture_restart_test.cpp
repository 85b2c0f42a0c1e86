#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "capture/capture_formats.h"
#include "capture_test_support.h"

namespace {

using CaptureRestartTest = CaptureTest;

int CountEntries(const char* dir) {
    DIR* d = opendir(dir);
    if (d == nullptr) {
        return -1;
    }
    int n = 0;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] != '.') {
            ++n;
        }
    }
    closedir(d);
    return n;
}

int Threads() {
    return CountEntries("/proc/self/task");
}
int Fds() {
    return CountEntries("/proc/self/fd");
}

// Polls until done() holds; false after a generous hang guard.
template <typename Done>
bool Eventually(Done done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The kernel wakes a joining thread before it takes the ended thread off
// /proc/self/task, so for a moment after a join the count can still include
// it. Returns the count once it came to `expected`, else the last one seen.
int ThreadsSettledAt(int expected) {
    Eventually([expected] { return Threads() == expected; });
    return Threads();
}

TEST_F(CaptureRestartTest, StopAndRunAgainWithChangedFormatsLeavesNothingBehind) {
    // Some runtimes (thread sanitizer) start a helper thread with the first
    // thread of the process; start one before taking the baseline.
    pid_t helper = 0;
    std::thread([&helper] { helper = gettid(); }).join();
    const std::string helperEntry = "/proc/self/task/" + std::to_string(helper);
    ASSERT_TRUE(Eventually([&] { return access(helperEntry.c_str(), F_OK) != 0; }));
    const int threadsBefore = Threads();
    const int fdsBefore = Fds();

    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice(
        "cam0", {{Subtype::I420, 352, 288, 100000}, {Subtype::I420, 176, 144, 100000}}));
    cfg.video.push_back(VideoDevice("cam1", {{Subtype::I420, 320, 240, 100000}}));
    cfg.audio.push_back(AudioDevice("mic"));
    for (auto& v : cfg.video) {
        v.realtime = true;
    }
    cfg.audio[0].realtime = true;
    ASSERT_EQ(Init(cfg), 1);
    AttachAll();
    const int threadsIdle = Threads();

    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        const int32_t w = round % 2 == 0 ? 352 : 176;
        const int32_t h = round % 2 == 0 ? 288 : 144;
        ASSERT_EQ(SelectVideoMode(0, w, h, 50), 1);
        DeliveryLog::Instance().Clear();
        ASSERT_EQ(RunCapture(), 1);
        // One streaming thread per device while running.
        EXPECT_EQ(Threads(), threadsIdle + 3);
        const bool seen = DeliveryLog::Instance().WaitFor([&](const std::vector<Delivery>& items) {
            int video0 = 0, video1 = 0, audio = 0;
            for (const Delivery& d : items) {
                video0 += d.device == 0 && d.a == w && d.b == h;
                video1 += d.device == 1 && d.a == 320;
                audio += d.device == 2 && d.kind == CAPTURE_KIND_AUDIO && d.length == 2940;
            }
            return video0 >= 2 && video1 >= 1 && audio >= 1;
        });
        EXPECT_TRUE(seen);
        ASSERT_EQ(StopCapture(), 1);
        EXPECT_EQ(ThreadsSettledAt(threadsIdle), threadsIdle);
        // Nothing arrives after the stop returned.
        const size_t count = DeliveryLog::Instance().Items().size();
        for (const Delivery& d : DeliveryLog::Instance().Items()) {
            if (d.device == 0) {
                EXPECT_EQ(d.a, w);
                EXPECT_EQ(d.length, w * h * 3 / 2);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(DeliveryLog::Instance().Items().size(), count);
    }
    for (int d = 0; d < GetCaptureDeviceCount(); ++d) {
        SetFrameCallback(static_cast<uint8_t>(d), nullptr);
    }
    ASSERT_EQ(FreeCaptureDevices(), 1);
    m_initialised = false;
    EXPECT_EQ(ThreadsSettledAt(threadsBefore), threadsBefore);
    EXPECT_EQ(Fds(), fdsBefore);
    EXPECT_TRUE(BoxTexts().empty());
}

}  // namespace
