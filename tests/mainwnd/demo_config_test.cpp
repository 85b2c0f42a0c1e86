// The first configuration: four channels whatever the number of cameras,
// sound on the first one only when there is a microphone.

#include "mainwnd/demo_config.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings.h"

namespace {

TEST(DemoConfigTest, FourChannelsShareTheCamerasAndTheFirstHasTheSound) {
    struct Case {
        const char* what;
        std::vector<int> cameras;
        int microphones;
        std::vector<int> videoin;  // per channel made
        int firstAudioin;
    } cases[] = {
        {"two cameras and a microphone", {1, 2}, 1, {1, 2, 1, 2}, 1},
        {"one camera", {1}, 1, {1, 1, 1, 1}, 1},
        {"three cameras, no microphone", {1, 2, 3}, 0, {1, 2, 3, 1}, 0},
        {"five cameras", {1, 2, 3, 4, 5}, 2, {1, 2, 3, 4}, 1},
        {"no camera", {}, 1, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_Settings = Settings{};
        std::vector<DemoCamera> cameras;
        for (int place : c.cameras) {
            cameras.push_back({place, "Cam" + std::to_string(place)});
        }
        const std::vector<std::string> microphones(static_cast<size_t>(c.microphones), "Mic");
        const int count = MakeDemoConfig(cameras, microphones);
        ASSERT_EQ(count, static_cast<int>(c.videoin.size()));
        EXPECT_EQ(g_Settings.nChConfigNum, count);
        for (int n = 0; n < count; ++n) {
            const ChannelEntry& e = g_Settings.Channel[n];
            EXPECT_EQ(e.status, 1) << n;
            EXPECT_EQ(e.mode, SOURCE_LOCAL) << n;
            EXPECT_EQ(e.videoin, c.videoin[static_cast<size_t>(n)]) << n;
            EXPECT_EQ(e.audioin, n == 0 ? c.firstAudioin : 0) << n;
            EXPECT_EQ(std::string(e.videoname), "Cam" + std::to_string(e.videoin)) << n;
            EXPECT_EQ(std::string(e.audioname), e.audioin != 0 ? "Mic" : "") << n;
            EXPECT_EQ(g_Settings.Schedule[n].bySchedRecord[0], 1) << n;
            EXPECT_EQ(g_Settings.System.byUserChannel[0][n], 1) << n;
        }
        EXPECT_EQ(g_Settings.Channel[count].status, 0);
        EXPECT_EQ(std::string(g_Settings.System.sUserName[0]), "viewer");
        EXPECT_EQ(g_Settings.System.byRecordDrive[0], 1);
    }
}

// A long name is cut to the bytes the ini file gives back, never inside a
// two-byte character.
TEST(DemoConfigTest, LongDeviceNamesAreCutAtACharacterBoundary) {
    const std::string ascii(200, 'a');
    const std::string wide = std::string(116, 'a') + "\xc9\xe3\xcf\xf1";  // two characters
    g_Settings = Settings{};
    ASSERT_EQ(MakeDemoConfig({{1, ascii}, {2, wide}}, {wide}), 4);
    EXPECT_EQ(std::string(g_Settings.Channel[0].videoname), std::string(117, 'a'));
    EXPECT_EQ(std::string(g_Settings.Channel[1].videoname), std::string(116, 'a'));
    EXPECT_EQ(std::string(g_Settings.Channel[0].audioname), std::string(116, 'a'));
}

}  // namespace
