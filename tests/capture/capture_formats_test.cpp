#include <gtest/gtest.h>

#include "capture/capture_formats.h"
#include "capture_test_support.h"

namespace {

using CaptureFormatsTest = CaptureTest;

std::vector<VideoDevMode> Modes(int device) {
    std::vector<VideoDevMode> out;
    for (const VideoDevMode* m = g_CaptureDevices[device].pModeList.get(); m != nullptr;
         m = m->pNext.get()) {
        VideoDevMode copy;
        copy.byKind = m->byKind;
        copy.nWidth = m->nWidth;
        copy.nHeight = m->nHeight;
        copy.byMinFps = m->byMinFps;
        copy.byMaxFps = m->byMaxFps;
        out.push_back(std::move(copy));
    }
    return out;
}

TEST_F(CaptureFormatsTest, ModeListKeepsOnlyUsableCapabilitiesInDeviceOrder) {
    SyntheticVideoCap videoInfo2{Subtype::I420, 320, 240, 400000};
    videoInfo2.formatType = FormatType::VideoInfo2;
    SyntheticVideoCap shortBlock{Subtype::I420, 176, 144, 400000};
    shortBlock.cbFormat = 40;
    SyntheticVideoCap audioMajor{Subtype::I420, 176, 144, 400000};
    audioMajor.major = MajorType::Audio;
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam", {
                                               {Subtype::I420, 352, 288, 333333},
                                               {Subtype::YUY2, 352, 288, 400000},
                                               {Subtype::I420, 640, 480, 333333},
                                               {Subtype::I420, 352, 289, 333333},
                                               {Subtype::RGB24, 320, 240, 333333},
                                               videoInfo2,
                                               shortBlock,
                                               audioMajor,
                                               {Subtype::I420, 176, -144, 400000},
                                               {Subtype::YV12, 160, 120, 0},
                                               {Subtype::I420, 320, 240, 20000},
                                               {Subtype::I420, 88, 72, 10000000},
                                           }));
    ASSERT_EQ(Init(cfg), 1);
    EXPECT_TRUE(BoxTexts().empty());
    const auto modes = Modes(0);
    struct Expect {
        uint8_t kind;
        int32_t w, h;
        uint8_t maxFps;
    };
    const Expect expect[] = {
        {VMODE_I420, 352, 288, 30},  {VMODE_YUY2, 352, 288, 25},
        {VMODE_I420, 176, -144, 25}, {VMODE_YV12, 160, 120, kUnstatedMaxFps},  // no interval stated
        {VMODE_I420, 320, 240, 255},                                           // 500 fps saturates
        {VMODE_I420, 88, 72, 1},
    };
    ASSERT_EQ(modes.size(), std::size(expect));
    EXPECT_EQ(g_CaptureDevices[0].byModeCount, std::size(expect));
    for (size_t i = 0; i < modes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(modes[i].byKind, expect[i].kind);
        EXPECT_EQ(modes[i].nWidth, expect[i].w);
        EXPECT_EQ(modes[i].nHeight, expect[i].h);
        EXPECT_EQ(modes[i].byMinFps, 2);
        EXPECT_EQ(modes[i].byMaxFps, expect[i].maxFps);
    }
}

TEST_F(CaptureFormatsTest, MaxFpsOfInterval) {
    const std::pair<int64_t, int> cases[] = {{333333, 30}, {400000, 25}, {666666, 15}, {39215, 255},
                                             {20000, 255}, {0, 30},      {-5, 30}};
    for (const auto& [interval, fps] : cases) {
        EXPECT_EQ(MaxFpsOfInterval(interval), fps) << interval;
    }
}

TEST_F(CaptureFormatsTest, CapabilitiesOfAnotherRecordSizeGiveNoList) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam"));
    cfg.video.back().capsRecordSize = 52;
    ASSERT_EQ(Init(cfg), 1);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"FindVideoDevMode Failed!!!"});
    EXPECT_EQ(g_CaptureDevices[0].byModeCount, 0);
    EXPECT_EQ(g_CaptureDevices[0].pSinkFilter, nullptr);
}

TEST_F(CaptureFormatsTest, ListVideoDevModesGivesEachSizeOnce) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam", {{Subtype::YUY2, 352, 288, 666666},
                                            {Subtype::I420, 352, 288, 333333},
                                            {Subtype::I420, 176, 144, 400000}}));
    cfg.audio.push_back(AudioDevice("mic"));
    ASSERT_EQ(Init(cfg), 1);
    VideoModeItem items[256] = {};
    ASSERT_EQ(ListVideoDevModes(0, items, sizeof(items)), 2);
    EXPECT_EQ(items[0].wWidth, 352);
    EXPECT_EQ(items[0].wHeight, 288);
    EXPECT_EQ(items[0].wMinFps, 2);
    EXPECT_EQ(items[0].wMaxFps, 15);  // the first capability of the size decides
    EXPECT_EQ(items[1].wWidth, 176);
    EXPECT_EQ(items[1].wMaxFps, 25);

    VideoModeItem small[1] = {};
    EXPECT_EQ(ListVideoDevModes(0, small, 8), -3);
    EXPECT_EQ(small[0].wWidth, 352);  // written before the buffer ran out
    EXPECT_EQ(ListVideoDevModes(1, items, sizeof(items)), -2);
    EXPECT_EQ(ListVideoDevModes(2, items, sizeof(items)), -1);
}

TEST_F(CaptureFormatsTest, SelectVideoModeTriesI420FirstAndSetsTheFrameInterval) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam", {{Subtype::YUY2, 352, 288, 333333},
                                            {Subtype::I420, 352, 288, 333333},
                                            {Subtype::I420, 176, 144, 400000}}));
    cfg.video.back().defaultCap = 2;
    ASSERT_EQ(Init(cfg), 1);
    const size_t before = m_backend->VideoLog(0).formatsSet.size();

    struct Case {
        int32_t w, h;
        uint8_t fps;
        int32_t result;
        int64_t interval;
    };
    const Case cases[] = {
        {352, 288, 25, 1, 400000},  {352, 288, 30, 1, 333333},
        {176, 144, 10, 1, 1000000}, {176, 144, 1, 0, 0},  // below every node's minimum
        {176, 144, 26, 0, 0},                             // above the node's maximum
        {320, 240, 25, 0, 0},                             // size not offered
    };
    size_t applied = before;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << "@" << int(c.fps));
        EXPECT_EQ(SelectVideoMode(0, c.w, c.h, c.fps), c.result);
        const auto log = m_backend->VideoLog(0).formatsSet;
        if (c.result == 1) {
            ASSERT_EQ(log.size(), ++applied);
            EXPECT_EQ(log.back().subtype, Subtype::I420);
            EXPECT_EQ(log.back().video.bmiHeader.biWidth, c.w);
            EXPECT_EQ(log.back().video.AvgTimePerFrame, c.interval);
        } else {
            EXPECT_EQ(log.size(), applied);
        }
    }
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(SelectVideoMode(255, 352, 288, 25), 0);
    EXPECT_EQ(SelectVideoMode(1, 352, 288, 25), 0);
}

TEST_F(CaptureFormatsTest, SizeOfferedOnlyAsYuy2IsRefusedByTheSinkAndTheFormatStays) {
    SyntheticConfig cfg;
    cfg.video.push_back(
        VideoDevice("cam", {{Subtype::I420, 176, 144, 400000}, {Subtype::YUY2, 352, 288, 400000}}));
    ASSERT_EQ(Init(cfg), 1);
    AttachAll();
    EXPECT_EQ(SelectVideoMode(0, 352, 288, 25), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Set Video Mode Failed!!!"});
    ASSERT_EQ(RunCapture(), 1);
    ASSERT_EQ(m_backend->PushVideoFrames(0, 1), 1);
    const auto items = DeliveryLog::Instance().Items();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].a, 176);
    EXPECT_EQ(items[0].b, 144);
}

TEST_F(CaptureFormatsTest, DeviceRefusingTheFormatShowsTheMessageForEachMatch) {
    SyntheticConfig cfg;
    cfg.video.push_back(
        VideoDevice("cam", {{Subtype::I420, 352, 288, 400000}, {Subtype::YV12, 352, 288, 400000}}));
    cfg.video.back().failures = kFailSetFormat;
    ASSERT_EQ(Init(cfg), 1);
    EXPECT_EQ(SelectVideoMode(0, 352, 288, 25), 0);
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{"Set Video Mode Failed!!!", "Set Video Mode Failed!!!"}));
}

TEST_F(CaptureFormatsTest, ApplyVideoModeRefusesAnUnknownKindSilently) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam"));
    ASSERT_EQ(Init(cfg), 1);
    VideoDevMode mode;
    mode.byKind = 7;
    mode.byFps = 25;
    mode.nWidth = 352;
    mode.nHeight = 288;
    EXPECT_EQ(ApplyVideoMode(0, &mode), E_FAIL);
    EXPECT_TRUE(BoxTexts().empty());
    mode.byKind = VMODE_I420;
    mode.byFps = 0;  // would divide by zero
    EXPECT_EQ(ApplyVideoMode(0, &mode), E_FAIL);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Set Video Mode Failed!!!"});
}

TEST_F(CaptureFormatsTest, AudioIsSetToEveryMatchingFormatWithSmallBuffers) {
    SyntheticAudioFormat shortBlock{22050, 1, 16};
    shortBlock.cbFormat = 14;
    SyntheticAudioFormat notPcm{22050, 1, 16};
    notPcm.subtype = Subtype::Other;
    SyntheticConfig cfg;
    cfg.audio.push_back(AudioDevice("mic", {{44100, 2, 16},
                                            {22050, 1, 16},
                                            shortBlock,
                                            notPcm,
                                            {22050, 2, 16},
                                            {22050, 1, 8},
                                            {22050, 1, 16}}));
    ASSERT_EQ(Init(cfg), 1);
    EXPECT_TRUE(BoxTexts().empty());
    const SyntheticDeviceLog log = m_backend->AudioLog(0);
    // Both matching records are set (the second again when connecting).
    ASSERT_EQ(log.formatsSet.size(), 3u);
    for (const MediaType& mt : log.formatsSet) {
        EXPECT_EQ(mt.wave.nSamplesPerSec, 22050u);
        EXPECT_EQ(mt.wave.nChannels, 1);
        EXPECT_EQ(mt.wave.wBitsPerSample, 16);
    }
    ASSERT_EQ(log.bufferSuggestions.size(), 1u);
    EXPECT_EQ(log.bufferSuggestions[0].cBuffers, 3);
    EXPECT_EQ(log.bufferSuggestions[0].cbBuffer, 2940);
    EXPECT_EQ(log.bufferSuggestions[0].cbAlign, 2);
    EXPECT_EQ(log.bufferSuggestions[0].cbPrefix, 0);
}

TEST_F(CaptureFormatsTest, AudioWithoutBufferNegotiationStillConnects) {
    SyntheticConfig cfg;
    cfg.audio.push_back(AudioDevice("mic"));
    cfg.audio.back().failures = kFailBuffers;
    ASSERT_EQ(Init(cfg), 1);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_TRUE(m_backend->AudioLog(0).bufferSuggestions.empty());
    AttachAll();
    ASSERT_EQ(RunCapture(), 1);
    EXPECT_EQ(m_backend->PushAudioBuffers(0, 1), 1);
}

}  // namespace
