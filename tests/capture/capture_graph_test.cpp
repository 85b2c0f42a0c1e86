#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "capture/capture_formats.h"
#include "capture_test_support.h"

namespace {

using CaptureGraphTest = CaptureTest;

TEST_F(CaptureGraphTest, EnumeratesVideoThenAudioSkippingUnreadableDevices) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("Desk camera"));
    cfg.video.back().friendlyName = "Ignored friendly name";
    cfg.video.push_back(VideoDevice("no bag"));
    cfg.video.back().failures = kFailBag;
    SyntheticVideoDevice friendlyOnly = VideoDevice("");
    friendlyOnly.description.reset();
    friendlyOnly.friendlyName = "USB Camera";
    cfg.video.push_back(friendlyOnly);
    cfg.video.push_back(VideoDevice("no filter"));
    cfg.video.back().failures = kFailBind;
    SyntheticVideoDevice nameless = VideoDevice("");
    nameless.description.reset();
    cfg.video.push_back(nameless);
    cfg.audio.push_back(AudioDevice("Line in"));

    ASSERT_EQ(Init(cfg), 1);
    ASSERT_EQ(GetCaptureDeviceCount(), 4);
    const char* names[] = {"Desk camera", "USB Camera", "", "Line in"};
    for (uint8_t d = 0; d < 4; ++d) {
        char name[CAPTURE_NAME_SIZE];
        char inputs[4096];
        ASSERT_EQ(GetCaptureDeviceInfo(d, name, inputs, sizeof(inputs)), 1) << int(d);
        EXPECT_STREQ(name, names[d]);
        EXPECT_EQ(inputs[0], 0);
        EXPECT_EQ(IsVideoDevice(d), d < 3 ? 1 : 0);
        EXPECT_EQ(IsPictureSource(d), d < 3 ? 1 : 0);
        EXPECT_EQ(g_CaptureDevices[d].byIndex, d);
    }
    EXPECT_EQ(IsVideoDevice(4), 0);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(CaptureGraphTest, SixteenEntriesAtMostWithVideoFirst) {
    SyntheticConfig cfg;
    for (int i = 0; i < 12; ++i) {
        cfg.video.push_back(VideoDevice("cam" + std::to_string(i)));
    }
    for (int i = 0; i < 8; ++i) {
        cfg.audio.push_back(AudioDevice("mic" + std::to_string(i)));
    }
    ASSERT_EQ(Init(cfg), 1);
    ASSERT_EQ(GetCaptureDeviceCount(), 16);
    for (int d = 0; d < 16; ++d) {
        EXPECT_EQ(g_CaptureDevices[d].byType, d < 12 ? CAPDEV_VIDEO : CAPDEV_AUDIO);
    }
    EXPECT_STREQ(g_CaptureDevices[15].szName, "mic3");
}

TEST_F(CaptureGraphTest, NoDeviceMeansNothingToRun) {
    ASSERT_EQ(Init(SyntheticConfig{}), 1);
    EXPECT_EQ(GetCaptureDeviceCount(), 0);
    EXPECT_EQ(RunCapture(), 0);
    char name[CAPTURE_NAME_SIZE];
    char inputs[16];
    EXPECT_EQ(GetCaptureDeviceInfo(0, name, inputs, sizeof(inputs)), 0);
    EXPECT_EQ(SetFrameCallback(0, &DeliveryLog::Callback), 0);
    EXPECT_EQ(m_backend->CoInitBalance(), 1);
}

TEST_F(CaptureGraphTest, GraphFailuresAreReported) {
    struct Case {
        uint32_t failure;
        int result;
        const char* box;
    };
    const Case cases[] = {{kFailCoInit, 0, "CoInitialize Failed!"},
                          {kFailGraph, 0, "InitCaptureGraphBuilder"},
                          {kFailBuilder, 0, "InitCaptureGraphBuilder"},
                          {kFailMediaControl, 1, "Get Media Control Failed!"},
                          // No device enumerator: silently no device.
                          {kFailDevEnum, 1, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failure);
        ClearBoxes();
        SyntheticConfig cfg;
        cfg.video.push_back(VideoDevice("cam"));
        EXPECT_EQ(Init(cfg, c.failure), c.result);
        if (c.box != nullptr) {
            EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.box});
        } else {
            EXPECT_TRUE(BoxTexts().empty());
        }
        if (c.failure == kFailDevEnum) {
            EXPECT_EQ(GetCaptureDeviceCount(), 0);
        } else if (c.result == 1) {
            EXPECT_EQ(GetCaptureDeviceCount(), 1);
            EXPECT_EQ(RunCapture(), 0);
            EXPECT_EQ(StopCapture(), 0);
        }
        FreeCaptureDevices();
        g_nCaptureDeviceCount.store(0);
        m_initialised = false;
    }
}

TEST_F(CaptureGraphTest, DeviceFormatFailuresAreReportedAndTheDeviceKept) {
    struct Case {
        const char* what;
        bool video;
        uint32_t failures;
        std::vector<std::string> boxes;
        int info;  // GetCaptureDeviceInfo afterwards
    };
    const std::vector<Case> cases = {
        {"no usable video format", true, kFailNone, {"FindVideoDevMode Failed!!!"}, 0},
        {"no video stream config", true, kFailStreamConfig, {"FindVideoDevMode Failed!!!"}, 0},
        {"video connect refused", true, kFailConnect, {"FindVideoDevMode Failed!!!"}, 1},
        {"no audio stream config",
         false,
         kFailStreamConfig,
         {"SetAudio 22.05K Failed!!!", "SetAudioCaptureMode Failed!!!"},
         0},
        {"no 22050 Hz audio",
         false,
         kFailNone,
         {"SetAudio 22.05K Failed!!!", "SetAudioCaptureMode Failed!!!"},
         0},
        {"audio connect refused", false, kFailConnect, {"SetAudioCaptureMode Failed!!!"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearBoxes();
        SyntheticConfig cfg;
        if (c.video) {
            auto dev = VideoDevice("bad", {{Subtype::YUY2, 640, 480, 400000}});
            if (c.failures != kFailNone) {
                dev.caps = {{Subtype::I420, 352, 288, 400000}};
            }
            dev.failures = c.failures;
            cfg.video.push_back(dev);
        } else {
            auto dev = AudioDevice("bad", {{44100, 2, 16}});
            if (c.failures != kFailNone) {
                dev.formats = {{22050, 1, 16}};
            }
            dev.failures = c.failures;
            cfg.audio.push_back(dev);
        }
        cfg.video.push_back(VideoDevice("good"));
        ASSERT_EQ(Init(cfg), 1);
        EXPECT_EQ(BoxTexts(), c.boxes);
        ASSERT_EQ(GetCaptureDeviceCount(), 2);
        const uint8_t bad = c.video ? 0 : 1;
        char name[CAPTURE_NAME_SIZE];
        char inputs[64];
        EXPECT_EQ(GetCaptureDeviceInfo(bad, name, inputs, sizeof(inputs)), c.info);
        EXPECT_EQ(IsVideoDevice(bad), c.video ? 1 : 0);
        // A camera that is kept but delivers nothing, its sink there or not.
        EXPECT_EQ(IsPictureSource(bad), 0);
        // The next device is set up all the same.
        EXPECT_EQ(GetCaptureDeviceInfo(c.video ? 1 : 0, name, inputs, sizeof(inputs)), 1);
        EXPECT_EQ(IsPictureSource(c.video ? 1 : 0), 1);
        FreeCaptureDevices();
        m_initialised = false;
    }
}

TEST_F(CaptureGraphTest, RunFailureIsReportedByRunCapture) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam"));
    cfg.video.back().failures = kFailRun;
    ASSERT_EQ(Init(cfg), 1);
    EXPECT_EQ(RunCapture(), 0);
    EXPECT_EQ(StopCapture(), 1);
}

TEST_F(CaptureGraphTest, PicturesAndSoundReachTheCallbackWithTheirDeviceIndex) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam0"));
    cfg.video.push_back(VideoDevice("cam1", {{Subtype::I420, 176, -144, 400000}}));
    cfg.audio.push_back(AudioDevice("mic", {{44100, 2, 16}, {22050, 1, 16}}));
    ASSERT_EQ(Init(cfg), 1);
    AttachAll();
    ASSERT_EQ(RunCapture(), 1);
    EXPECT_EQ(m_backend->PushVideoFrames(0, 2), 2);
    EXPECT_EQ(m_backend->PushVideoFrames(1, 1), 1);
    EXPECT_EQ(m_backend->PushAudioBuffers(0, 1), 1);

    const auto items = DeliveryLog::Instance().Items();
    ASSERT_EQ(items.size(), 4u);
    struct Expect {
        int32_t device, length, a, b, c, kind;
    };
    const Expect expect[] = {{0, 152064, 352, 288, 1056, 2},
                             {0, 152064, 352, 288, 1056, 2},
                             {1, 38016, 176, 144, 528, 2},
                             {2, 2940, 1, 22050, 16, 1}};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].device, expect[i].device);
        EXPECT_EQ(items[i].length, expect[i].length);
        EXPECT_EQ(items[i].a, expect[i].a);
        EXPECT_EQ(items[i].b, expect[i].b);
        EXPECT_EQ(items[i].c, expect[i].c);
        EXPECT_EQ(items[i].kind, expect[i].kind);
    }
    // The block moves between pictures, so motion detection has work.
    EXPECT_NE(items[0].data, items[1].data);
}

TEST_F(CaptureGraphTest, NullCallbackSilencesTheDevice) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam"));
    cfg.audio.push_back(AudioDevice("mic"));
    ASSERT_EQ(Init(cfg), 1);
    ASSERT_EQ(RunCapture(), 1);
    EXPECT_EQ(m_backend->PushVideoFrames(0, 2), 2);  // rendered and dropped
    EXPECT_EQ(m_backend->PushAudioBuffers(0, 2), 2);
    EXPECT_TRUE(DeliveryLog::Instance().Items().empty());

    EXPECT_EQ(SetFrameCallback(2, &DeliveryLog::Callback), 0);
    EXPECT_EQ(SetFrameCallback(0, &DeliveryLog::Callback), 1);
    EXPECT_EQ(m_backend->PushVideoFrames(0, 1), 1);
    EXPECT_EQ(DeliveryLog::Instance().Items().size(), 1u);
    EXPECT_EQ(SetFrameCallback(0, nullptr), 1);
    EXPECT_EQ(m_backend->PushVideoFrames(0, 1), 1);
    EXPECT_EQ(DeliveryLog::Instance().Items().size(), 1u);
}

// A receiver that, once entered, waits a while for the replacing call to
// return: a replace that does not wait for the delivery under way returns
// at once, so the receiver sees it while it still runs.
class SlowReceiver {
public:
    static SlowReceiver& Instance() {
        static SlowReceiver r;
        return r;
    }
    static int32_t Callback(int32_t, uint8_t*, int32_t, int32_t, int32_t, int32_t, int32_t) {
        auto& self = Instance();
        std::unique_lock<std::mutex> lock(self.m_mutex);
        self.m_entered = true;
        self.m_cv.notify_all();
        self.m_cv.wait_for(lock, std::chrono::milliseconds(300), [&] { return self.m_replaced; });
        self.m_replacedWhileInside = self.m_replaced;
        ++self.m_left;
        return 0;
    }
    void Reset() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entered = m_replaced = m_replacedWhileInside = false;
        m_left = 0;
    }
    bool WaitEntered() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::seconds(10), [&] { return m_entered; });
    }
    // Called right after the replacing call returned; the count of
    // deliveries that had left the receiver by then.
    int Replaced() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_replaced = true;
        m_cv.notify_all();
        return m_left;
    }
    bool ReplacedWhileInside() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_replacedWhileInside;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_entered = false;
    bool m_replaced = false;
    bool m_replacedWhileInside = false;
    int m_left = 0;
};

TEST_F(CaptureGraphTest, ReplacingACallbackWaitsForTheDeliveryInsideTheOldOne) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam"));
    cfg.audio.push_back(AudioDevice("mic"));
    ASSERT_EQ(Init(cfg), 1);
    ASSERT_EQ(RunCapture(), 1);
    struct Case {
        const char* name;
        uint8_t device;
        bool video;
        FrameCallback replacement;
    } cases[] = {{"video, new receiver", 0, true, &DeliveryLog::Callback},
                 {"video, none", 0, true, nullptr},
                 {"audio, new receiver", 1, false, &DeliveryLog::Callback},
                 {"audio, none", 1, false, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SlowReceiver& receiver = SlowReceiver::Instance();
        receiver.Reset();
        ASSERT_EQ(SetFrameCallback(c.device, &SlowReceiver::Callback), 1);
        std::thread streaming([&] {
            c.video ? m_backend->PushVideoFrames(0, 1) : m_backend->PushAudioBuffers(0, 1);
        });
        ASSERT_TRUE(receiver.WaitEntered());
        EXPECT_EQ(SetFrameCallback(c.device, c.replacement), 1);
        EXPECT_EQ(receiver.Replaced(), 1);
        streaming.join();
        EXPECT_FALSE(receiver.ReplacedWhileInside());
    }
}

TEST_F(CaptureGraphTest, LargerI420DefaultIsDeliveredAtItsSize) {
    SyntheticConfig cfg;
    cfg.video.push_back(
        VideoDevice("hd", {{Subtype::I420, 640, 480, 400000}, {Subtype::I420, 352, 288, 400000}}));
    ASSERT_EQ(Init(cfg), 1);
    AttachAll();
    ASSERT_EQ(RunCapture(), 1);
    ASSERT_EQ(m_backend->PushVideoFrames(0, 1), 1);
    const auto items = DeliveryLog::Instance().Items();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].a, 640);
    EXPECT_EQ(items[0].b, 480);
    EXPECT_EQ(items[0].length, 640 * 480 * 3 / 2);
}

TEST_F(CaptureGraphTest, NothingIsDeliveredWhileStopped) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam"));
    ASSERT_EQ(Init(cfg), 1);
    AttachAll();
    EXPECT_EQ(m_backend->PushVideoFrames(0, 1), 0);
    ASSERT_EQ(RunCapture(), 1);
    ASSERT_EQ(StopCapture(), 1);
    EXPECT_EQ(m_backend->PushVideoFrames(0, 1), 0);
    EXPECT_TRUE(DeliveryLog::Instance().Items().empty());
}

TEST_F(CaptureGraphTest, FreeReleasesTheRuntimeAndTheFilters) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam"));
    cfg.audio.push_back(AudioDevice("mic"));
    ASSERT_EQ(Init(cfg), 1);
    ASSERT_EQ(RunCapture(), 1);
    EXPECT_EQ(FreeCaptureDevices(), 1);
    m_initialised = false;
    EXPECT_EQ(m_backend->CoInitBalance(), 0);
    // No filter of the back end outlives the graph.
    EXPECT_EQ(m_backend->PushVideoFrames(0, 1), 0);
    char name[CAPTURE_NAME_SIZE];
    char inputs[16];
    EXPECT_EQ(GetCaptureDeviceInfo(0, name, inputs, sizeof(inputs)), 0);
}

}  // namespace
