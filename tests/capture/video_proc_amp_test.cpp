#include "capture/video_proc_amp.h"

#include <gtest/gtest.h>

#include "capture_test_support.h"

namespace {

using VideoProcAmpTest = CaptureTest;

uint32_t Pack(uint32_t b, uint32_t c, uint32_t s, uint32_t h) {
    return b | (c << 8) | (s << 16) | (h << 24);
}

TEST(FitToProcAmpRange, ClampsAndRaisesToTheStepGrid) {
    struct Case {
        int32_t value, min, max, step, expect;
    };
    const Case cases[] = {
        {128, 0, 255, 1, 128},
        {200, 0, 100, 1, 100},
        {37, 0, 255, 2, 38},
        {11, 10, 90, 4, 14},
        {5, 10, 90, 4, 10},
        {14, 10, 90, 4, 14},
        {0, -64, 64, 1, 0},
        // The grid point above 255 lies past the maximum: the maximum wins.
        {255, 0, 255, 2, 255},
        {89, 10, 90, 4, 90},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitToProcAmpRange(c.value, c.min, c.max, c.step), c.expect)
            << c.value << " in " << c.min << ".." << c.max << " step " << c.step;
    }
}

SyntheticConfig OneCamera() {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam"));
    auto& amp = cfg.video.back().procAmp;
    amp[VideoProcAmp_Brightness] = {true, 0, 100, 1, 50};
    amp[VideoProcAmp_Contrast] = {true, 0, 255, 2, 128};
    amp[VideoProcAmp_Saturation] = {true, 10, 90, 4, 30};
    amp[VideoProcAmp_Hue] = {true, 0, 255, 1, 0};
    cfg.audio.push_back(AudioDevice("mic"));
    return cfg;
}

TEST_F(VideoProcAmpTest, SetClampsEachByteAndReportsWhatWasSet) {
    ASSERT_EQ(Init(OneCamera()), 1);
    EXPECT_EQ(GetVideoProcAmp(0), Pack(50, 128, 30, 0));
    const uint32_t set = SetVideoProcAmp(0, Pack(200, 37, 11, 128));
    EXPECT_EQ(set, Pack(100, 38, 14, 128));
    EXPECT_EQ(GetVideoProcAmp(0), set);
    const auto sets = m_backend->VideoLog(0).procAmpSets;
    ASSERT_EQ(sets.size(), 4u);
    const int32_t order[] = {VideoProcAmp_Brightness, VideoProcAmp_Contrast,
                             VideoProcAmp_Saturation, VideoProcAmp_Hue};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(sets[i].property, order[i]);
        EXPECT_EQ(sets[i].flags, VideoProcAmp_Flags_Manual);
    }
    EXPECT_EQ(ResetVideoProcAmp(0), Pack(50, 128, 30, 0));
    EXPECT_EQ(GetVideoProcAmp(0), Pack(50, 128, 30, 0));
}

TEST_F(VideoProcAmpTest, NotAVideoDeviceTouchesNothing) {
    ASSERT_EQ(Init(OneCamera()), 1);
    for (uint8_t device : {uint8_t{1}, uint8_t{2}, uint8_t{255}}) {
        EXPECT_EQ(GetVideoProcAmp(device), 0u);
        EXPECT_EQ(SetVideoProcAmp(device, Pack(1, 2, 3, 4)), 0u);
        EXPECT_EQ(ResetVideoProcAmp(device), 0u);
    }
    EXPECT_TRUE(m_backend->VideoLog(0).procAmpSets.empty());
}

TEST_F(VideoProcAmpTest, DeviceWithoutControlsReportsZero) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("cam"));
    ASSERT_EQ(Init(cfg), 1);
    EXPECT_EQ(GetVideoProcAmp(0), 0u);
    EXPECT_EQ(SetVideoProcAmp(0, Pack(1, 2, 3, 4)), 0u);
    EXPECT_EQ(ResetVideoProcAmp(0), 0u);
}

TEST_F(VideoProcAmpTest, MissingHueLeavesTheOtherControlsWorking) {
    SyntheticConfig cfg = OneCamera();
    cfg.video[0].procAmp[VideoProcAmp_Hue].present = false;
    ASSERT_EQ(Init(cfg), 1);
    EXPECT_EQ(SetVideoProcAmp(0, Pack(60, 100, 50, 77)), Pack(60, 100, 50, 0));
    EXPECT_EQ(GetVideoProcAmp(0), Pack(60, 100, 50, 0));
    EXPECT_EQ(ResetVideoProcAmp(0), Pack(50, 128, 30, 0));
}

TEST_F(VideoProcAmpTest, PictureLumaFollowsBrightness) {
    SyntheticConfig cfg = OneCamera();
    cfg.video[0].still = true;
    ASSERT_EQ(Init(cfg), 1);
    AttachAll();
    ASSERT_EQ(RunCapture(), 1);
    ASSERT_EQ(m_backend->PushVideoFrames(0, 1), 1);
    SetVideoProcAmp(0, Pack(70, 128, 30, 0));
    ASSERT_EQ(m_backend->PushVideoFrames(0, 1), 1);
    const auto items = DeliveryLog::Instance().Items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].data[0] - items[0].data[0], 20);
}

}  // namespace
