#include "platform/capture/synthetic_config.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/capture/backend_factory.h"
#include "platform/capture/device_enum.h"
#include "platform/capture/synthetic_backend.h"

namespace {

const char* kConfig = R"(; two cameras and a microphone
[Video1]
Description=Front door
Caps=I420 352x288 @333333, YUY2 640x480 @400000 videoinfo2, I420 176x-144 @0 short
Default=2
Fail=connect, run
Crossbar0=Tuner, Xbar1, SVideo+AudioLine
Crossbar1=Composite, SVideo
Brightness=0,255,1,128
Hue=-180,180,1,0
Pacing=manual
Still=1

[Video2]
FriendlyName=Back yard

[Audio1]
Description=Line in
Formats=44100/2/16, 22050/1/16 short
Fail=buffers
Pacing=realtime
)";

TEST(SyntheticConfig, ReadsEveryKey) {
    SyntheticConfig cfg;
    std::string error;
    ASSERT_TRUE(ParseSyntheticConfig(kConfig, &cfg, &error)) << error;
    ASSERT_EQ(cfg.video.size(), 2u);
    const SyntheticVideoDevice& v = cfg.video[0];
    EXPECT_EQ(v.description.value(), "Front door");
    EXPECT_FALSE(v.friendlyName.has_value());
    ASSERT_EQ(v.caps.size(), 3u);
    EXPECT_EQ(v.caps[0].subtype, Subtype::I420);
    EXPECT_EQ(v.caps[0].minFrameInterval, 333333);
    EXPECT_EQ(v.caps[1].subtype, Subtype::YUY2);
    EXPECT_EQ(v.caps[1].width, 640);
    EXPECT_EQ(v.caps[1].formatType, FormatType::VideoInfo2);
    EXPECT_EQ(v.caps[2].height, -144);
    EXPECT_EQ(v.caps[2].minFrameInterval, 0);
    EXPECT_LT(v.caps[2].cbFormat, kVideoInfoSize);
    EXPECT_EQ(v.defaultCap, 2);
    EXPECT_EQ(v.failures, kFailConnect | kFailRun);
    EXPECT_TRUE(v.analogInput);
    ASSERT_EQ(v.crossbars.size(), 2u);
    ASSERT_EQ(v.crossbars[0].inputs.size(), 3u);
    EXPECT_EQ(v.crossbars[0].inputs[0].physicalType, 1);
    EXPECT_EQ(v.crossbars[0].inputs[1].upstreamCrossbar, 1);
    EXPECT_TRUE(v.crossbars[0].inputs[2].withAudio);
    EXPECT_EQ(v.crossbars[0].inputs[2].audioType, 4097);
    EXPECT_EQ(v.crossbars[1].inputs[1].physicalType, 3);
    EXPECT_TRUE(v.procAmp[0].present);
    EXPECT_EQ(v.procAmp[2].min, -180);
    EXPECT_FALSE(v.procAmp[1].present);
    EXPECT_FALSE(v.realtime);
    EXPECT_TRUE(v.still);
    EXPECT_EQ(cfg.video[1].friendlyName.value(), "Back yard");
    ASSERT_EQ(cfg.audio.size(), 1u);
    ASSERT_EQ(cfg.audio[0].formats.size(), 2u);
    EXPECT_EQ(cfg.audio[0].formats[0].samplesPerSec, 44100u);
    EXPECT_EQ(cfg.audio[0].formats[0].channels, 2);
    EXPECT_LT(cfg.audio[0].formats[1].cbFormat, kWaveFormatExSize);
    EXPECT_EQ(cfg.audio[0].failures, kFailBuffers);
    EXPECT_TRUE(cfg.audio[0].realtime);
}

TEST(SyntheticConfig, RejectsMistakesWithTheLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"[Video]\nCaps=I420 352\n", "line 2"},
        {"[Video]\nCaps=NV12 352x288\n", "line 2"},
        {"[Video]\nFail=explode\n", "explode"},
        {"[Video]\nColour=1\n", "colour"},
        {"[Mixer]\n", "line 1"},
        {"Caps=I420 352x288\n", "line 1"},
        {"[Audio]\nFormats=22050/1\n", "line 2"},
        {"[Video]\nCrossbar0=Tuner,Laser\n", "Laser"},
        {"[Video]\nBrightness=0,255,1\n", "line 2"},
        {"[Graph]\nFail=coinit\n", "line 1"},  // graph failures are no device's
        {"[Video]\nPacing=sometimes\n", "sometimes"},
        {"[Video]\nCrossbar0=Tuner,Xbar0\n", "missing crossbar 0"},
        {"[Video]\nCrossbar0=Tuner,Xbar2\nCrossbar1=SVideo\n", "missing crossbar 2"},
    };
    for (const auto& [text, mention] : cases) {
        SyntheticConfig cfg;
        std::string error;
        EXPECT_FALSE(ParseSyntheticConfig(text, &cfg, &error)) << text;
        EXPECT_NE(error.find(mention), std::string::npos) << text << " -> " << error;
    }
}

TEST(SyntheticConfig, DemoFileIsValid) {
    SyntheticConfig cfg;
    std::string error;
    ASSERT_TRUE(LoadSyntheticConfig(QV_DEMO_DEVICES, &cfg, &error)) << error;
    EXPECT_EQ(cfg.video.size(), 2u);
    EXPECT_EQ(cfg.audio.size(), 1u);
}

class BackendChoice : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/qv_capture_cfg_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
    }
    void TearDown() override {
        std::remove((m_dir + "/devices.ini").c_str());
        rmdir(m_dir.c_str());
    }
    std::string m_dir;
};

TEST_F(BackendChoice, NamedFileGivesItsSyntheticDevices) {
    const std::string path = m_dir + "/devices.ini";
    std::ofstream(path) << kConfig;
    auto backend = std::dynamic_pointer_cast<SyntheticBackend>(CreateCaptureBackend(path.c_str()));
    ASSERT_NE(backend, nullptr);
    EXPECT_EQ(backend->Enumerate(DeviceCategory::VideoInput).size(), 2u);
    EXPECT_EQ(backend->Enumerate(DeviceCategory::AudioInput).size(), 1u);
}

TEST_F(BackendChoice, UnreadableFileGivesNoDevices) {
    auto backend = CreateCaptureBackend((m_dir + "/missing.ini").c_str());
    ASSERT_NE(backend, nullptr);
    EXPECT_EQ(std::dynamic_pointer_cast<SyntheticBackend>(backend), nullptr);
    EXPECT_TRUE(backend->Enumerate(DeviceCategory::VideoInput).empty());
    EXPECT_TRUE(backend->Enumerate(DeviceCategory::AudioInput).empty());
}

}  // namespace
