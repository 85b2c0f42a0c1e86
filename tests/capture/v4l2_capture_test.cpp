// The V4L2 and ALSA back ends through the capture layer, against scripted
// devices.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include "capture/capture_formats.h"
#include "capture/crossbar_helper.h"
#include "capture/video_proc_amp.h"
#include "capture_test_support.h"
#include "platform/capture/fake_alsa.h"
#include "platform/capture/fake_v4l2.h"
#include "platform/capture/real_backend.h"
#include "platform/capture/v4l2_capture.h"

namespace {

constexpr v4l2_fract k30{1, 30};
constexpr v4l2_fract k15{1, 15};

class V4l2CaptureTest : public CaptureTest {
protected:
    int InitReal() {
        SetCaptureBackend(CreateRealBackend(m_v4l2, m_alsa));
        m_initialised = true;
        return InitCaptureDevices();
    }

    // Waits for n pictures of the device at the size.
    std::vector<Delivery> WaitPictures(int device, int w, int h, size_t n) {
        std::vector<Delivery> got;
        DeliveryLog::Instance().WaitFor([&](const std::vector<Delivery>& items) {
            got.clear();
            for (const Delivery& d : items) {
                if (d.device == device && d.a == w && d.b == h) {
                    got.push_back(d);
                }
            }
            return got.size() >= n;
        });
        return got;
    }

    std::shared_ptr<FakeV4l2> m_v4l2 = std::make_shared<FakeV4l2>();
    std::shared_ptr<FakeAlsa> m_alsa = std::make_shared<FakeAlsa>();
};

FakeV4l2Camera Webcam() {
    FakeV4l2Camera cam;
    cam.card = "Desk webcam";
    cam.formats = {
        {V4L2_PIX_FMT_YUYV, {{640, 480, {k30}}, {352, 288, {k15, k30}}, {176, 144, {}}}},
        {V4L2_PIX_FMT_MJPEG, {{1280, 720, {k30}}, {352, 288, {k30}}, {160, 120, {k30}}}},
        {V4L2_PIX_FMT_RGB24, {{320, 240, {k30}}}},
        {V4L2_PIX_FMT_YUV420, {{320, 240, {k15}}}},
    };
    cam.padding = 8;
    return cam;
}

TEST_F(V4l2CaptureTest, ListsCapturingNodesInNumericOrder) {
    FakeV4l2Camera output = Webcam();
    output.caps = V4L2_CAP_VIDEO_OUTPUT | V4L2_CAP_STREAMING;
    FakeV4l2Camera noStreaming = Webcam();
    noStreaming.caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_READWRITE;
    FakeV4l2Camera second = Webcam();
    second.card = "Second camera";
    m_v4l2->AddDevice(11, second);
    m_v4l2->AddDevice(0, Webcam());
    m_v4l2->AddDevice(2, output);
    m_v4l2->AddDevice(3, noStreaming);
    const auto list = ListV4l2Devices(*m_v4l2);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, "/dev/video0");
    EXPECT_EQ(list[1].path, "/dev/video11");
    EXPECT_EQ(m_v4l2->OpenFds(), 0);

    ASSERT_EQ(InitReal(), 1);
    ASSERT_EQ(GetCaptureDeviceCount(), 2);
    EXPECT_STREQ(g_CaptureDevices[0].szName, "Desk webcam");
    EXPECT_STREQ(g_CaptureDevices[1].szName, "Second camera");
    EXPECT_EQ(m_v4l2->OpenFds(), 2);  // each camera stays open for its controls
    FreeCaptureDevices();
    m_initialised = false;
    EXPECT_EQ(m_v4l2->OpenFds(), 0);
}

TEST_F(V4l2CaptureTest, EverySizeBecomesOneI420Capability) {
    m_v4l2->AddDevice(0, Webcam());
    FakeV4l2Camera ranged;
    ranged.formats = {{V4L2_PIX_FMT_YUYV, {{160, 120, {}}, {352, 288, {}}}, true, 8}};
    m_v4l2->AddDevice(1, ranged);
    ASSERT_EQ(InitReal(), 1);
    EXPECT_TRUE(BoxTexts().empty());
    VideoModeItem items[32];
    ASSERT_EQ(ListVideoDevModes(0, items, sizeof(items)), 4);
    const std::vector<std::vector<int>> expect = {
        {352, 288, 2, 30}, {176, 144, 2, kUnstatedMaxFps}, {160, 120, 2, 30}, {320, 240, 2, 15}};
    for (size_t i = 0; i < expect.size(); ++i) {
        EXPECT_EQ((std::vector<int>{items[i].wWidth, items[i].wHeight, items[i].wMinFps,
                                    items[i].wMaxFps}),
                  expect[i]);
    }
    for (const VideoDevMode* m = g_CaptureDevices[0].pModeList.get(); m; m = m->pNext.get()) {
        EXPECT_EQ(m->byKind, VMODE_I420);
    }
    // A camera that reports a range offers the usual sizes inside it.
    ASSERT_EQ(ListVideoDevModes(1, items, sizeof(items)), 4);
    EXPECT_EQ(items[0].wWidth, 352);
    EXPECT_EQ(items[1].wWidth, 320);
    EXPECT_EQ(items[2].wWidth, 176);
    EXPECT_EQ(items[3].wWidth, 160);
}

TEST_F(V4l2CaptureTest, SetFormatPicksTheBestLayoutAndStopFreesTheBuffers) {
    m_v4l2->AddDevice(0, Webcam());
    ASSERT_EQ(InitReal(), 1);
    AttachAll();
    ASSERT_EQ(SelectVideoMode(0, 352, 288, 15), 1);
    auto rec = m_v4l2->RecordOf(0);
    ASSERT_FALSE(rec.formatsSet.empty());
    EXPECT_EQ(rec.formatsSet.back().pixelformat, V4L2_PIX_FMT_YUYV);
    EXPECT_EQ(rec.formatsSet.back().width, 352u);
    ASSERT_FALSE(rec.ratesSet.empty());
    EXPECT_EQ(rec.ratesSet.back().numerator, 1u);
    EXPECT_EQ(rec.ratesSet.back().denominator, 15u);

    ASSERT_EQ(RunCapture(), 1);
    const auto pictures = WaitPictures(0, 352, 288, 2);
    ASSERT_GE(pictures.size(), 2u);
    // YUYV arrives as tight I420: luma copied, chroma of row pairs averaged.
    const Delivery& p = pictures[0];
    ASSERT_EQ(p.length, 152064);
    bool lumaOk = false;
    for (uint32_t n = 0; n < 8 && !lumaOk; ++n) {
        lumaOk = p.data[0] == FakeV4l2::LumaAt(0, 0, n) &&
                 p.data[352 * 287 + 351] == FakeV4l2::LumaAt(351, 287, n);
    }
    EXPECT_TRUE(lumaOk);
    const uint8_t* u = p.data.data() + 352 * 288;
    const uint8_t* v = u + 176 * 144;
    for (int y : {0, 71, 143}) {
        for (int x : {0, 100, 175}) {
            EXPECT_EQ(u[y * 176 + x],
                      (FakeV4l2::UAt(x, 2 * y) + FakeV4l2::UAt(x, 2 * y + 1) + 1) / 2);
            EXPECT_EQ(v[y * 176 + x],
                      (FakeV4l2::VAt(x, 2 * y) + FakeV4l2::VAt(x, 2 * y + 1) + 1) / 2);
        }
    }
    ASSERT_EQ(StopCapture(), 1);
    rec = m_v4l2->RecordOf(0);
    EXPECT_EQ(rec.streamOffs, 1);
    EXPECT_EQ(rec.buffersFreed, 1);
    EXPECT_EQ(m_v4l2->MappedBuffers(), 0);

    // With the buffers gone a new format can be set, served by MJPEG or
    // planar layouts as the camera offers them.
    ASSERT_EQ(SelectVideoMode(0, 320, 240, 15), 1);
    EXPECT_EQ(m_v4l2->RecordOf(0).formatsSet.back().pixelformat, V4L2_PIX_FMT_YUV420);
    EXPECT_TRUE(BoxTexts().empty());
    DeliveryLog::Instance().Clear();
    ASSERT_EQ(RunCapture(), 1);
    const auto planar = WaitPictures(0, 320, 240, 1);
    ASSERT_FALSE(planar.empty());
    // The padded rows were repacked.
    const Delivery& q = planar[0];
    ASSERT_EQ(q.length, 320 * 240 * 3 / 2);
    const uint8_t* qu = q.data.data() + 320 * 240;
    EXPECT_EQ(qu[0], FakeV4l2::UAt(0, 0));
    EXPECT_EQ(qu[159], FakeV4l2::UAt(159, 0));
    EXPECT_EQ(qu[160], FakeV4l2::UAt(0, 1));
    EXPECT_EQ(qu[160 * 120 - 1], FakeV4l2::UAt(159, 119));
    EXPECT_EQ(qu[160 * 120], FakeV4l2::VAt(0, 0));
    for (int x = 0; x < 320; ++x) {
        ASSERT_EQ(static_cast<uint8_t>(q.data[x] - q.data[0]), static_cast<uint8_t>(3 * x)) << x;
    }
    EXPECT_EQ(static_cast<uint8_t>(q.data[320] - q.data[0]), 5);
    ASSERT_EQ(StopCapture(), 1);
}

TEST_F(V4l2CaptureTest, ShortFramesAreDropped) {
    FakeV4l2Camera cam = Webcam();
    cam.shortFrames = true;
    m_v4l2->AddDevice(0, cam);
    ASSERT_EQ(InitReal(), 1);
    AttachAll();
    ASSERT_EQ(RunCapture(), 1);
    // Let the camera hand over a good number of frames.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(StopCapture(), 1);
    EXPECT_TRUE(DeliveryLog::Instance().Items().empty());
}

std::vector<uint8_t> FlatJpeg(int w, int h) {
    tjhandle enc = tjInitCompress();
    std::vector<uint8_t> rgb(w * h * 3);
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = 200;
        rgb[i + 1] = 100;
        rgb[i + 2] = 50;
    }
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(enc, rgb.data(), w, 0, h, TJPF_RGB, &jpeg, &size, TJSAMP_422, 90, 0);
    std::vector<uint8_t> out(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(enc);
    return out;
}

TEST_F(V4l2CaptureTest, MjpegCameraDeliversDecodedI420) {
    FakeV4l2Camera cam;
    cam.formats = {{V4L2_PIX_FMT_MJPEG, {{352, 288, {k30}}, {640, 480, {k30}}}}};
    cam.mjpegFrame = FlatJpeg(352, 288);
    m_v4l2->AddDevice(0, cam);
    ASSERT_EQ(InitReal(), 1);
    AttachAll();
    ASSERT_EQ(SelectVideoMode(0, 352, 288, 25), 1);
    ASSERT_EQ(RunCapture(), 1);
    const auto pictures = WaitPictures(0, 352, 288, 1);
    ASSERT_FALSE(pictures.empty());
    const Delivery& p = pictures[0];
    ASSERT_EQ(p.length, 152064);
    // RGB (200, 100, 50) in BT.601 full range: Y 121, U 89, V 180.
    EXPECT_NEAR(p.data[1000], 121, 3);
    EXPECT_NEAR(p.data[352 * 288 + 500], 89, 3);
    EXPECT_NEAR(p.data[352 * 288 + 176 * 144 + 500], 180, 3);
}

TEST_F(V4l2CaptureTest, SeveralInputsFormACrossbar) {
    FakeV4l2Camera card = Webcam();
    card.card = "Capture card";
    card.inputs = {{"Television", V4L2_INPUT_TYPE_TUNER}, {"Composite1"}, {"S-Video"}};
    m_v4l2->AddDevice(0, card);
    m_v4l2->AddDevice(1, Webcam());  // one camera input: no crossbar
    ASSERT_EQ(InitReal(), 1);
    char name[CAPTURE_NAME_SIZE];
    char inputs[4096];
    ASSERT_EQ(GetCaptureDeviceInfo(0, name, inputs, sizeof(inputs)), 1);
    ASSERT_EQ(inputs[0], 3);
    EXPECT_STREQ(inputs + 1, "Video Tuner");
    EXPECT_STREQ(inputs + 13, "Video Composite");
    EXPECT_STREQ(inputs + 29, "Video SVideo");
    EXPECT_EQ(m_v4l2->RecordOf(0).inputsSet, std::vector<int>{2});
    ASSERT_EQ(SelectCaptureInput(0, 0), 1);
    EXPECT_EQ(m_v4l2->RecordOf(0).inputsSet, (std::vector<int>{2, 0}));
    ASSERT_EQ(GetCaptureDeviceInfo(1, name, inputs, sizeof(inputs)), 1);
    EXPECT_EQ(inputs[0], 0);
    // The card with a crossbar delivers pictures like any camera.
    AttachAll();
    ASSERT_EQ(SelectVideoMode(0, 352, 288, 25), 1);
    ASSERT_EQ(RunCapture(), 1);
    EXPECT_FALSE(WaitPictures(0, 352, 288, 1).empty());
}

TEST_F(V4l2CaptureTest, ControlsMapOntoThePackedBytes) {
    FakeV4l2Camera cam = Webcam();
    cam.controls = {{V4L2_CID_BRIGHTNESS, 0, 255, 1, 128},
                    {V4L2_CID_CONTRAST, 0, 100, 1, 50},
                    {V4L2_CID_SATURATION, -100, 100, 1, 0}};
    m_v4l2->AddDevice(0, cam);
    ASSERT_EQ(InitReal(), 1);
    // Saturation's default 0 lies in the middle of -100..100.
    EXPECT_EQ(GetVideoProcAmp(0), 128u | 50u << 8 | 128u << 16);
    const uint32_t set = SetVideoProcAmp(0, 200u | 150u << 8 | 255u << 16 | 9u << 24);
    EXPECT_EQ(set, 200u | 100u << 8 | 255u << 16);  // no hue control: 0
    const auto ctrls = m_v4l2->RecordOf(0).controlsSet;
    ASSERT_EQ(ctrls.size(), 3u);
    EXPECT_EQ(ctrls[0], (std::pair<uint32_t, int32_t>{V4L2_CID_BRIGHTNESS, 200}));
    EXPECT_EQ(ctrls[1], (std::pair<uint32_t, int32_t>{V4L2_CID_CONTRAST, 100}));
    EXPECT_EQ(ctrls[2], (std::pair<uint32_t, int32_t>{V4L2_CID_SATURATION, 100}));
    EXPECT_EQ(GetVideoProcAmp(0), set);
    EXPECT_EQ(ResetVideoProcAmp(0), 128u | 50u << 8 | 128u << 16);
    EXPECT_EQ(m_v4l2->RecordOf(0).controlsSet.back(),
              (std::pair<uint32_t, int32_t>{V4L2_CID_SATURATION, 0}));
}

TEST_F(V4l2CaptureTest, AlsaDeliversNegotiatedBuffersAndRecoversFromOverruns) {
    m_alsa = std::make_shared<FakeAlsa>(
        std::vector<AlsaCaptureDevice>{{"plughw:1,0", "USB microphone"}});
    m_alsa->overrunEvery = 4;
    m_alsa->failOpens = 1;  // busy at the first try: retried while running
    m_v4l2->AddDevice(0, Webcam());
    ASSERT_EQ(InitReal(), 1);
    ASSERT_EQ(GetCaptureDeviceCount(), 2);
    EXPECT_STREQ(g_CaptureDevices[1].szName, "USB microphone");
    EXPECT_TRUE(BoxTexts().empty());
    AttachAll();
    ASSERT_EQ(RunCapture(), 1);
    std::vector<Delivery> sound;
    DeliveryLog::Instance().WaitFor([&](const std::vector<Delivery>& items) {
        sound.clear();
        for (const Delivery& d : items) {
            if (d.kind == CAPTURE_KIND_AUDIO) {
                sound.push_back(d);
            }
        }
        return sound.size() >= 3;
    });
    ASSERT_GE(sound.size(), 3u);
    for (const Delivery& d : sound) {
        EXPECT_EQ(d.device, 1);
        EXPECT_EQ(d.length, 2940);
        EXPECT_EQ(d.a, 1);
        EXPECT_EQ(d.b, 22050);
        EXPECT_EQ(d.c, 16);
    }
    EXPECT_GE(m_alsa->recovers.load(), 1);
    const auto opens = m_alsa->Opens();
    ASSERT_GE(opens.size(), 2u);
    EXPECT_EQ(opens[1].id, "plughw:1,0");
    EXPECT_EQ(opens[1].rate, 22050u);
    EXPECT_EQ(opens[1].channels, 1u);
    EXPECT_EQ(opens[1].periodFrames, 1470u);
    ASSERT_EQ(StopCapture(), 1);
    EXPECT_EQ(m_alsa->openStreams.load(), 0);
}

}  // namespace
