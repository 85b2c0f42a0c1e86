#include "capture/crossbar_helper.h"

#include <gtest/gtest.h>

#include <cstring>

#include "capture_test_support.h"

namespace {

using CrossbarTest = CaptureTest;

SyntheticCrossbarInput In(int32_t type, int upstream = -1, bool audio = false) {
    SyntheticCrossbarInput in;
    in.physicalType = type;
    in.upstreamCrossbar = upstream;
    in.withAudio = audio;
    return in;
}

std::vector<std::string> InputNames(uint8_t device) {
    char name[CAPTURE_NAME_SIZE];
    char inputs[4096];
    EXPECT_EQ(GetCaptureDeviceInfo(device, name, inputs, sizeof(inputs)), 1);
    std::vector<std::string> out;
    const char* p = inputs + 1;
    for (int i = 0; i < static_cast<unsigned char>(inputs[0]); ++i) {
        out.emplace_back(p);
        p += out.back().size() + 1;
    }
    return out;
}

TEST_F(CrossbarTest, UnconnectedAnalogInputHasNoRoutes) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("card"));
    cfg.video.back().analogInput = true;
    ASSERT_EQ(Init(cfg), 1);
    ASSERT_NE(g_CaptureDevices[0].pCrossbar, nullptr);
    EXPECT_EQ(g_CaptureDevices[0].nCrossbarInputs, 0);
    EXPECT_TRUE(InputNames(0).empty());
    EXPECT_TRUE(m_backend->VideoLog(0).routes.empty());
}

TEST_F(CrossbarTest, DeviceWithoutAnalogInputHasNoHelper) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("webcam"));
    ASSERT_EQ(Init(cfg), 1);
    EXPECT_EQ(g_CaptureDevices[0].pCrossbar, nullptr);
    EXPECT_EQ(FindCrossbar(5), E_FAIL);  // no capture filter there
}

TEST_F(CrossbarTest, OneCrossbarGivesOneRoutePerVideoInputAndSwitchesToTheThird) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("card"));
    // The S-Video input has an audio companion; audio inputs start no route.
    cfg.video.back().crossbars = {{{In(PhysConn_Video_Tuner), In(PhysConn_Video_Composite),
                                    In(PhysConn_Video_SVideo, -1, true), In(PhysConn_Audio_Mic)}}};
    cfg.video.back().analogInput = true;
    ASSERT_EQ(Init(cfg), 1);
    EXPECT_EQ(g_CaptureDevices[0].nCrossbarInputs, 3);
    EXPECT_EQ(InputNames(0),
              (std::vector<std::string>{"Video Tuner", "Video Composite", "Video SVideo"}));
    const auto routes = m_backend->VideoLog(0).routes;
    ASSERT_EQ(routes.size(), 2u);
    EXPECT_EQ(routes[0].output, 0);  // video output from the S-Video input
    EXPECT_EQ(routes[0].input, 2);
    EXPECT_EQ(routes[1].output, 1);  // and its audio with it
    EXPECT_EQ(routes[1].input, 3);
    EXPECT_EQ(g_CaptureDevices[0].pCrossbar->CurrentRoute(), 2);
    // The device is connected and delivers its routed input.
    AttachAll();
    ASSERT_EQ(RunCapture(), 1);
    EXPECT_EQ(m_backend->PushVideoFrames(0, 1), 1);
}

TEST_F(CrossbarTest, ChainedCrossbarsSwitchUpstreamFirst) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("card"));
    cfg.video.back().analogInput = true;
    cfg.video.back().crossbars = {{{In(PhysConn_Video_Composite), In(12, 1)}},
                                  {{In(PhysConn_Video_Tuner), In(PhysConn_Video_SVideo)}}};
    cfg.video.back().still = true;
    ASSERT_EQ(Init(cfg), 1);
    EXPECT_EQ(InputNames(0),
              (std::vector<std::string>{"Video Composite", "Video Tuner", "Video SVideo"}));
    auto routes = m_backend->VideoLog(0).routes;
    ASSERT_EQ(routes.size(), 2u);
    EXPECT_EQ(routes[0].crossbar, 1);
    EXPECT_EQ(routes[0].input, 1);
    EXPECT_EQ(routes[1].crossbar, 0);
    EXPECT_EQ(routes[1].input, 1);

    // The picture follows the routed input.
    AttachAll();
    ASSERT_EQ(RunCapture(), 1);
    ASSERT_EQ(m_backend->PushVideoFrames(0, 1), 1);
    ASSERT_EQ(SelectCaptureInput(0, 1), 1);
    EXPECT_EQ(m_backend->RoutedInput(0, 1), 0);
    ASSERT_EQ(m_backend->PushVideoFrames(0, 1), 1);
    ASSERT_EQ(SelectCaptureInput(0, 0), 1);
    EXPECT_EQ(m_backend->RoutedInput(0, 0), 0);
    ASSERT_EQ(m_backend->PushVideoFrames(0, 1), 1);
    const auto items = DeliveryLog::Instance().Items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_NE(items[0].data[0], items[1].data[0]);
    EXPECT_NE(items[1].data[0], items[2].data[0]);
    EXPECT_NE(items[0].data[0], items[2].data[0]);
}

TEST_F(CrossbarTest, SelectingAMissingRouteChangesNothing) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("card"));
    cfg.video.back().analogInput = true;
    cfg.video.back().crossbars = {{{In(PhysConn_Video_Composite), In(PhysConn_Video_SVideo)}}};
    ASSERT_EQ(Init(cfg), 1);
    // Two routes: the initial switch to route 2 did nothing.
    EXPECT_TRUE(m_backend->VideoLog(0).routes.empty());
    EXPECT_EQ(g_CaptureDevices[0].pCrossbar->SelectInput(2), E_FAIL);
    EXPECT_EQ(g_CaptureDevices[0].pCrossbar->SelectInput(-1), E_FAIL);
    EXPECT_EQ(SelectCaptureInput(0, 2), 0);
    EXPECT_EQ(SelectCaptureInput(1, 0), 0);
    EXPECT_TRUE(m_backend->VideoLog(0).routes.empty());
    EXPECT_EQ(SelectCaptureInput(0, 1), 1);
    EXPECT_EQ(m_backend->VideoLog(0).routes.size(), 1u);
}

TEST_F(CrossbarTest, InputNamesFitTheirBuffers) {
    SyntheticConfig cfg;
    cfg.video.push_back(VideoDevice("card"));
    cfg.video.back().analogInput = true;
    cfg.video.back().crossbars = {
        {{In(PhysConn_Video_Composite), In(PhysConn_Video_SVideo), In(PhysConn_Video_Tuner)}}};
    ASSERT_EQ(Init(cfg), 1);
    CCrossbarHelper* helper = g_CaptureDevices[0].pCrossbar.get();
    char six[6];
    ASSERT_EQ(helper->GetInputName(0, six, sizeof(six)), S_OK);
    EXPECT_STREQ(six, "Video");
    EXPECT_EQ(helper->GetInputName(3, six, sizeof(six)), E_FAIL);
    EXPECT_EQ(helper->GetInputName(0, nullptr, 6), E_FAIL);

    // An inputs buffer too small for every name gets the names that fit
    // whole, and the count says how many.
    char name[CAPTURE_NAME_SIZE];
    char inputs[40];
    std::memset(inputs, 'x', sizeof(inputs));
    ASSERT_EQ(GetCaptureDeviceInfo(0, name, inputs, 1 + 16 + 13), 1);
    EXPECT_EQ(inputs[0], 2);
    EXPECT_STREQ(inputs + 1, "Video Composite");
    EXPECT_STREQ(inputs + 17, "Video SVideo");
    EXPECT_EQ(inputs[30], 'x');  // nothing past the given size
    ASSERT_EQ(GetCaptureDeviceInfo(0, name, inputs, 1), 1);
    EXPECT_EQ(inputs[0], 0);
    EXPECT_EQ(GetCaptureDeviceInfo(0, name, inputs, 0), 0);
}

TEST_F(CrossbarTest, ConnectorTypeNames) {
    const std::pair<int32_t, const char*> cases[] = {{1, "Video Tuner"},
                                                     {2, "Video Composite"},
                                                     {3, "Video SVideo"},
                                                     {7, "Video ParallelDigital"},
                                                     {13, "Video Encoder"},
                                                     {4096, "Audio Tuner"},
                                                     {4100, "Audio SPDIFDigital"},
                                                     {4105, "Audio Decoder"},
                                                     {0, "Unknown"},
                                                     {14, "Unknown"},
                                                     {4106, "Unknown"}};
    for (const auto& [type, name] : cases) {
        char buffer[64];
        ASSERT_EQ(CCrossbarHelper::ConnectorTypeName(buffer, sizeof(buffer), type), 1);
        EXPECT_STREQ(buffer, name);
    }
    char buffer[4];
    EXPECT_EQ(CCrossbarHelper::ConnectorTypeName(buffer, 0, 1), 0);
    EXPECT_EQ(CCrossbarHelper::ConnectorTypeName(nullptr, 4, 1), 0);
}

}  // namespace
