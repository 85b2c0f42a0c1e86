// Motion detection on the grid and the motion alarm with its log lines.
#include <gtest/gtest.h>

#include "channel_test_base.h"
#include "settings/log_entry.h"

namespace {

constexpr int kCell9X = 44;  // row 1, column 1 of the 8 x 8 grid
constexpr int kCell9Y = 36;

class ChannelMotionTest : public ChannelTestBase {
protected:
    void SetUp() override {
        ChannelTestBase::SetUp();
        ScheduleEntry& s = g_Settings.Schedule[0];
        s.byMotionMask[9] = 1;
        s.byMotionSmart = 10;
        s.nMotionRecordTime = 15;
    }
    std::vector<uint8_t> Still() { return FlatPicture(352, 288); }
    std::vector<uint8_t> Moved() { return BlockPicture(352, 288, kCell9X, kCell9Y, 44, 36); }
    std::vector<LogLine> MotionLines() { return services_.host.LinesOfType(LOGTYPE_MOTION); }

    const LogLine kStart{LOGTYPE_MOTION, 1, "Ch01 start video motion alarm record!"};
    const LogLine kStop{LOGTYPE_MOTION, 1, "Ch01 stop video motion alarm record!"};
};

TEST_F(ChannelMotionTest, AlarmStartsAfterWarmUpHoldsForTheRecordTimeAndEndsOnce) {
    CAVChannel& channel = MakeLocal();
    channel.bMotionDetect = 1;
    // Motion in every picture, but the first three only fill the history.
    const std::vector<uint8_t> sequence[] = {Still(), Moved(), Still()};
    for (const auto& picture : sequence) {
        ASSERT_TRUE(Pump(channel, picture));
        EXPECT_EQ(channel.IsMotionAlarm(), 0);
    }
    ASSERT_TRUE(Pump(channel, Moved()));
    EXPECT_EQ(channel.IsMotionAlarm(), 1);
    EXPECT_EQ(services_.alerts.Alerts(), std::vector<int>{0});
    EXPECT_EQ(MotionLines(), std::vector<LogLine>{kStart});

    // Still pictures from here; the history forgets the block after three.
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(Pump(channel, Still()));
    }
    g_nUptimeSeconds += 14;
    ASSERT_TRUE(Pump(channel, Still()));
    EXPECT_EQ(channel.IsMotionAlarm(), 1);
    g_nUptimeSeconds += 1;
    ASSERT_TRUE(Pump(channel, Still()));
    EXPECT_EQ(channel.IsMotionAlarm(), 0);
    ASSERT_TRUE(Pump(channel, Still()));
    EXPECT_EQ(MotionLines(), (std::vector<LogLine>{kStart, kStop}));
    EXPECT_EQ(services_.alerts.Alerts().size(), 1u);
}

TEST_F(ChannelMotionTest, UnwatchedCellsAndLevelsAtTheThresholdNeverRaiseAnAlarm) {
    struct Case {
        const char* what;
        int watchedCell;
        uint8_t threshold;
        uint8_t blockLuma;  // the still picture is 100
    };
    const Case cases[] = {
        {"motion outside the watched cell", 0, 10, 220},
        {"change equal to the threshold", 9, 30, 130},
        {"record time 0", -1, 10, 220},
    };
    for (const Case& c : cases) {
        g_Settings.Schedule[0] = ScheduleEntry{};
        if (c.watchedCell >= 0) {
            g_Settings.Schedule[0].byMotionMask[c.watchedCell] = 1;
            g_Settings.Schedule[0].nMotionRecordTime = 15;
        } else {
            g_Settings.Schedule[0].byMotionMask[9] = 1;
        }
        g_Settings.Schedule[0].byMotionSmart = c.threshold;
        CAVChannel& channel = MakeLocal();
        channel.bMotionDetect = 1;
        for (int i = 0; i < 8; ++i) {
            ASSERT_TRUE(Pump(channel, i % 2 == 0 ? Still()
                                                 : BlockPicture(352, 288, kCell9X, kCell9Y, 44, 36,
                                                                c.blockLuma)));
            EXPECT_EQ(channel.IsMotionAlarm(), 0) << c.what;
        }
        uint8_t levels[64] = {};
        channel.GetMotionLevels(levels);
        EXPECT_GT(levels[9], 0) << c.what;  // motion was seen all the same
    }
    EXPECT_TRUE(MotionLines().empty());
    EXPECT_TRUE(services_.alerts.Alerts().empty());
}

TEST_F(ChannelMotionTest, TestViewFollowsTheLevelsWithoutAnAlarm) {
    CAVChannel& channel = MakeLocal();
    channel.bMotionTest = 1;
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(Pump(channel, i % 2 == 0 ? Still() : Moved()));
    }
    uint8_t levels[64] = {};
    EXPECT_EQ(channel.GetMotionLevels(levels), 1);
    EXPECT_EQ(levels[9], 120);
    EXPECT_EQ(levels[0], 0);
    EXPECT_EQ(channel.IsMotionAlarm(), 0);
    EXPECT_TRUE(MotionLines().empty());
}

TEST_F(ChannelMotionTest, ALongRecordTimeRaisesNoAlarmBeforeAnyMotion) {
    g_Settings.Schedule[0].nMotionRecordTime = 65535;
    g_nUptimeSeconds = 0;
    CAVChannel& channel = MakeLocal();
    channel.bMotionDetect = 1;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(Pump(channel, Still()));
    }
    EXPECT_EQ(channel.IsMotionAlarm(), 0);
    EXPECT_TRUE(MotionLines().empty());
}

TEST_F(ChannelMotionTest, ClearingDetectionEndsARunningAlarmAtOnce) {
    CAVChannel& channel = MakeLocal();
    channel.bMotionDetect = 1;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(Pump(channel, i % 2 == 0 ? Still() : Moved()));
    }
    ASSERT_EQ(channel.IsMotionAlarm(), 1);
    channel.bMotionDetect = 0;
    ASSERT_TRUE(Pump(channel, Still()));
    EXPECT_EQ(channel.IsMotionAlarm(), 0);
    EXPECT_EQ(MotionLines(), (std::vector<LogLine>{kStart, kStop}));

    // Once the hold has passed, a new start needs a new warm-up: three
    // pictures again without alarm.
    g_nUptimeSeconds += 15;
    channel.bMotionDetect = 1;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Pump(channel, i % 2 == 0 ? Moved() : Still()));
        EXPECT_EQ(channel.IsMotionAlarm(), 0);
    }
    ASSERT_TRUE(Pump(channel, Moved()));
    EXPECT_EQ(channel.IsMotionAlarm(), 1);
    EXPECT_EQ(services_.alerts.Alerts().size(), 2u);
}

}  // namespace
