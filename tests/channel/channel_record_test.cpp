// The record state machine: when files open, split and close, their names
// and what ffprobe finds in them.
#include <gtest/gtest.h>

#include <filesystem>

#include "channel_test_base.h"

namespace {

class ChannelRecordTest : public ChannelTestBase {
protected:
    void SetUp() override {
        ChannelTestBase::SetUp();
        std::filesystem::create_directory("rec");
        services_.host.SetRecordFolder("C:\\rec");
    }
    std::vector<std::string> Files() { return ListFiles("rec", "CH01_", ".avi"); }
    // Pictures with changing content, one per Pump.
    void Feed(CAVChannel& channel, int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(Pump(channel, MovingPicture(352, 288, frame_++)));
        }
    }
    void ExpectFile(const std::string& name, int frames) {
        const std::string path = "rec/" + name;
        const auto flags = ProbeVideoFlags(path);
        ASSERT_EQ(static_cast<int>(flags.size()), frames) << name;
        EXPECT_EQ(flags.front().substr(0, 1), "K") << name;
        EXPECT_EQ(ProbeVideoField(path, "nb_read_packets"), std::to_string(frames)) << name;
    }
    int frame_ = 0;
};

TEST_F(ChannelRecordTest, NoRecordFolderMeansNoFileAndNoMessage) {
    services_.host.SetRecordFolder("");
    CAVChannel& channel = MakeLocal();
    channel.bManualRecord = 1;
    Feed(channel, 3);
    EXPECT_EQ(channel.bRecording.load(), 0);
    EXPECT_EQ(channel.GetRecordState(), REC_NONE);
    EXPECT_TRUE(boxes_.Texts().empty());
    EXPECT_TRUE(ListFiles(".", "", ".avi").empty());
}

TEST_F(ChannelRecordTest, ManualAndScheduleTriggersRecordUntilTheyEnd) {
    struct Case {
        const char* what;
        std::atomic<int> CAVChannel::*flag;
        uint8_t state;
    };
    const Case cases[] = {{"manual", &CAVChannel::bManualRecord, REC_MANUAL},
                          {"schedule", &CAVChannel::bScheduleRecord, REC_SCHEDULE}};
    for (const Case& c : cases) {
        std::filesystem::remove_all("rec");
        std::filesystem::create_directory("rec");
        CAVChannel& channel = MakeLocal();
        (channel.*c.flag) = 1;
        Feed(channel, 50);
        EXPECT_EQ(channel.GetRecordState(), c.state) << c.what;
        ASSERT_EQ(Files(), std::vector<std::string>{"CH01_2006_05_25__12_34_56.avi"}) << c.what;
        g_nUptimeSeconds += 2;
        (channel.*c.flag) = 0;
        Feed(channel, 1);  // the next picture closes the file
        EXPECT_EQ(channel.bRecording.load(), 0) << c.what;
        ExpectFile(Files()[0], 50);
        EXPECT_EQ(ProbeVideoField("rec/" + Files()[0], "r_frame_rate"), "25/1") << c.what;
        channel_.reset();
    }
}

TEST_F(ChannelRecordTest, MotionOnlyRecordingEndsWithTheAlarm) {
    g_Settings.Schedule[0].byMotionMask[9] = 1;
    g_Settings.Schedule[0].byMotionSmart = 10;
    g_Settings.Schedule[0].nMotionRecordTime = 15;
    CAVChannel& channel = MakeLocal();
    channel.bMotionDetect = 1;
    const auto still = FlatPicture(352, 288);
    const auto moved = BlockPicture(352, 288, 44, 36, 44, 36);
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(Pump(channel, i % 2 == 0 ? still : moved));
    }
    ASSERT_EQ(channel.IsMotionAlarm(), 1);
    // Three still pictures flush the block out of the motion history.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Pump(channel, still));
    }
    EXPECT_EQ(channel.GetRecordState(), REC_MOTION);
    ASSERT_EQ(Files().size(), 1u);
    g_nUptimeSeconds += 15;
    ASSERT_TRUE(Pump(channel, still));  // the alarm ends, and with it the file
    EXPECT_EQ(channel.IsMotionAlarm(), 0);
    EXPECT_EQ(channel.bRecording.load(), 0);
}

TEST_F(ChannelRecordTest, OldFilesAreSplitAndEveryFileStartsWithAKeyFrame) {
    CAVChannel& channel = MakeLocal();
    channel.bManualRecord = 1;
    Feed(channel, 10);
    channel.nRecordAge = 600;  // not yet
    Feed(channel, 1);
    EXPECT_EQ(Files().size(), 1u);

    channel.nRecordAge = 601;
    clock_.AdvanceSeconds(601);
    Feed(channel, 7);
    channel.nRecordAge = 10000;  // a new record drive was chosen
    clock_.AdvanceSeconds(3);
    Feed(channel, 5);
    channel.bManualRecord = 0;
    Feed(channel, 1);
    const std::vector<std::string> expected = {"CH01_2006_05_25__12_34_56.avi",
                                               "CH01_2006_05_25__12_44_57.avi",
                                               "CH01_2006_05_25__12_45_00.avi"};
    ASSERT_EQ(Files(), expected);
    ExpectFile(expected[0], 11);
    ExpectFile(expected[1], 7);
    ExpectFile(expected[2], 5);
}

TEST_F(ChannelRecordTest, AFileStartedInTheSameSecondGetsItsOwnName) {
    CAVChannel& channel = MakeLocal();
    channel.bManualRecord = 1;
    Feed(channel, 3);
    channel.nRecordAge = 10000;
    Feed(channel, 3);
    channel.nRecordAge = 10000;
    Feed(channel, 3);
    channel.bManualRecord = 0;
    Feed(channel, 1);
    const std::vector<std::string> expected = {"CH01_2006_05_25__12_34_56.avi",
                                               "CH01_2006_05_25__12_34_56_1.avi",
                                               "CH01_2006_05_25__12_34_56_2.avi"};
    ASSERT_EQ(Files(), expected);
    for (const std::string& name : expected) {
        ExpectFile(name, 3);
    }
}

TEST_F(ChannelRecordTest, FailedOpensAreReportedOncePerRunOfFailures) {
    services_.host.SetRecordFolder("C:\\missing");
    CAVChannel& channel = MakeLocal();
    channel.bManualRecord = 1;
    Feed(channel, 5);
    EXPECT_EQ(channel.bRecording.load(), 0);
    EXPECT_EQ(boxes_.Count("StartRecord failed!"), 1);

    std::filesystem::create_directory("missing");
    Feed(channel, 2);
    EXPECT_EQ(channel.bRecording.load(), 1);
    EXPECT_EQ(ListFiles("missing", "CH01_", ".avi").size(), 1u);

    std::filesystem::remove_all("missing");
    channel.nRecordAge = 10000;
    Feed(channel, 3);
    EXPECT_EQ(channel.bRecording.load(), 0);
    EXPECT_EQ(boxes_.Count("StartRecord failed!"), 2);
}

TEST_F(ChannelRecordTest, StopLocalClosesTheFile) {
    CAVChannel& channel = MakeLocal();
    channel.bManualRecord = 1;
    Feed(channel, 4);
    ASSERT_EQ(channel.bRecording.load(), 1);
    channel.StopLocal();
    EXPECT_EQ(channel.bRecording.load(), 0);
    EXPECT_EQ(channel.GetRecordState(), REC_NONE);
    ExpectFile(Files()[0], 4);
}

}  // namespace
