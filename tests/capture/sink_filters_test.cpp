#include "capture/sink_filters.h"

#include <gtest/gtest.h>

#include "capture_test_support.h"

namespace {

class SinkFiltersTest : public CaptureTest {
protected:
    void SetUp() override {
        CaptureTest::SetUp();
        // The sinks read their device entry's callback only.
        g_CaptureDevices[3].pfnFrameCallback.store(&DeliveryLog::Callback);
    }
    void TearDown() override {
        g_CaptureDevices[3].pfnFrameCallback.store(nullptr);
        CaptureTest::TearDown();
    }
};

TEST_F(SinkFiltersTest, VideoSinkTakesOnlyI420InVideoInfo) {
    CVideoSinkFilter sink(3);
    MediaType videoInfo2 = MakeVideoType(Subtype::I420, 352, 288, 400000);
    videoInfo2.formattype = FormatType::VideoInfo2;
    MediaType audioMajor = MakeVideoType(Subtype::I420, 352, 288, 400000);
    audioMajor.majortype = MajorType::Audio;
    MediaType shortBlock = MakeVideoType(Subtype::I420, 1280, 720, 0);
    shortBlock.cbFormat = 10;  // not looked at
    const std::pair<MediaType, HRESULT> cases[] = {
        {MakeVideoType(Subtype::I420, 352, 288, 400000), S_OK},
        {shortBlock, S_OK},
        {MakeVideoType(Subtype::YUY2, 352, 288, 400000), E_FAIL},
        {MakeVideoType(Subtype::YV12, 352, 288, 400000), E_FAIL},
        {videoInfo2, E_INVALIDARG},
        {audioMajor, E_FAIL},
        {MakePcmType(22050, 1, 16), E_INVALIDARG},
    };
    for (const auto& [mt, hr] : cases) {
        EXPECT_EQ(sink.CheckMediaType(&mt), hr);
    }
    EXPECT_EQ(sink.CheckMediaType(nullptr), E_POINTER);
}

TEST_F(SinkFiltersTest, AudioSinkTakesAnyPcm) {
    CAudioSinkFilter sink(3);
    MediaType notPcm = MakePcmType(22050, 1, 16);
    notPcm.subtype = Subtype::Other;
    MediaType videoMajor = MakePcmType(22050, 1, 16);
    videoMajor.majortype = MajorType::Video;
    const std::pair<MediaType, HRESULT> cases[] = {
        {MakePcmType(22050, 1, 16), S_OK},
        {MakePcmType(44100, 2, 16), S_OK},
        {notPcm, E_FAIL},
        {videoMajor, E_FAIL},
        {MakeVideoType(Subtype::I420, 352, 288, 400000), E_INVALIDARG},
    };
    for (const auto& [mt, hr] : cases) {
        EXPECT_EQ(sink.CheckMediaType(&mt), hr);
    }
    EXPECT_EQ(sink.CheckMediaType(nullptr), E_POINTER);
}

TEST_F(SinkFiltersTest, SinksHandOnTheConnectionFormat) {
    CVideoSinkFilter video(3);
    const MediaType topDown = MakeVideoType(Subtype::I420, 351, -288, 400000);
    ASSERT_EQ(video.SetMediaType(&topDown), S_OK);
    CAudioSinkFilter audio(3);
    const MediaType stereo = MakePcmType(44100, 2, 16);
    ASSERT_EQ(audio.SetMediaType(&stereo), S_OK);
    video.Run();
    audio.Run();

    std::vector<uint8_t> picture(1000, 7);
    MediaSample videoSample(picture.data(), 1000);
    EXPECT_EQ(video.Receive(&videoSample), S_OK);
    std::vector<uint8_t> sound(400, 9);
    MediaSample audioSample(sound.data(), 400);
    EXPECT_EQ(audio.Receive(&audioSample), S_OK);
    EXPECT_EQ(video.DoRenderSample(nullptr), E_POINTER);
    EXPECT_EQ(audio.DoRenderSample(nullptr), E_POINTER);

    const auto items = DeliveryLog::Instance().Items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].device, 3);
    EXPECT_EQ(items[0].length, 1000);
    EXPECT_EQ(items[0].a, 351);
    EXPECT_EQ(items[0].b, 288);   // top-down still gives a positive height
    EXPECT_EQ(items[0].c, 1056);  // 351 * 3 + 3 = 1056, already a multiple of 4
    EXPECT_EQ(items[0].kind, CAPTURE_KIND_VIDEO);
    EXPECT_EQ(items[1].a, 2);
    EXPECT_EQ(items[1].b, 44100);
    EXPECT_EQ(items[1].c, 16);
    EXPECT_EQ(items[1].kind, CAPTURE_KIND_AUDIO);
    EXPECT_EQ(items[1].data, sound);
}

}  // namespace
