// JPEG snapshots: naming, once a second, quality, what they show, and what
// is logged and handed to the alerts.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "channel_test_base.h"
#include "platform/threads/thread_messages.h"
#include "settings/log_entry.h"

namespace {

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

Decoded DecodeJpeg(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    Decoded out;
    tjhandle handle = tjInitDecompress();
    int subsampling = 0;
    int colorspace = 0;
    if (tjDecompressHeader3(handle, data.data(), data.size(), &out.width, &out.height, &subsampling,
                            &colorspace) == 0) {
        out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
        if (tjDecompress2(handle, data.data(), data.size(), out.rgb.data(), out.width, 0,
                          out.height, TJPF_RGB, 0) != 0) {
            out.rgb.clear();
        }
    }
    tjDestroy(handle);
    return out;
}

class ChannelSnapshotTest : public ChannelTestBase {
protected:
    void SetUp() override {
        ChannelTestBase::SetUp();
        std::filesystem::create_directory("snap");
        services_.host.SetSnapshotFolder("C:\\snap");
    }
    // The second a channel is made in counts as its last snapshot's.
    CAVChannel& MakeSnapshotChannel() {
        CAVChannel& channel = MakeLocal();
        clock_.AdvanceSeconds(1);
        return channel;
    }
    // Asks for a snapshot and waits until the channel thread handled it.
    // The picture pumped behind the request may be shown before the
    // snapshot is taken, so it is the one already shown by default.
    void Snap(CAVChannel& channel, const std::vector<uint8_t>& shown = FlatPicture(352, 288)) {
        PostThreadMessage(channel.GetMsgThreadId(), WM_CHANNEL_SNAPSHOT, 0, 0);
        ASSERT_TRUE(Pump(channel, shown));
    }
    std::vector<std::string> Files() { return ListFiles("snap", "Ch", ".jpg"); }
};

TEST_F(ChannelSnapshotTest, AtMostOneSnapshotASecondIsWrittenLoggedAndHandedOn) {
    CAVChannel& channel = MakeSnapshotChannel();
    ASSERT_TRUE(Pump(channel, FlatPicture(352, 288)));
    Snap(channel);
    Snap(channel);
    const std::string stored = "C:\\snap\\Ch01_2006_05_25__12_34_57.jpg";
    EXPECT_EQ(Files(), std::vector<std::string>{"Ch01_2006_05_25__12_34_57.jpg"});
    const std::vector<LogLine> expected = {{LOGTYPE_SYSTEM, 0, "Snapshot : " + stored}};
    EXPECT_EQ(services_.host.LinesOfType(LOGTYPE_SYSTEM), expected);
    EXPECT_EQ(services_.alerts.Snapshots(), std::vector<std::string>{stored});

    clock_.AdvanceSeconds(1);
    Snap(channel);
    EXPECT_EQ(Files().size(), 2u);
    EXPECT_EQ(services_.alerts.Snapshots().size(), 2u);
}

TEST_F(ChannelSnapshotTest, NothingShownNoFolderOrAFailedWriteGiveNoSnapshot) {
    CAVChannel& channel = MakeSnapshotChannel();
    // Nothing has been shown yet. The size change behind the request tells
    // when the thread has handled it.
    PostThreadMessage(channel.GetMsgThreadId(), WM_CHANNEL_SNAPSHOT, 0, 0);
    PostThreadMessage(channel.GetMsgThreadId(), WM_CHANGE_VIDEO_ENC_SIZE, 176, 144);
    ASSERT_TRUE(WaitFor([&] { return channel.GetEncodeParams().nWidth == 176; }));
    const size_t beforeAnyPicture = Files().size();

    clock_.AdvanceSeconds(1);
    services_.host.SetSnapshotFolder("");
    Snap(channel);
    clock_.AdvanceSeconds(1);
    services_.host.SetSnapshotFolder("C:\\gone");  // folder does not exist
    Snap(channel);

    EXPECT_EQ(beforeAnyPicture, 0u);
    EXPECT_TRUE(Files().empty());
    EXPECT_TRUE(services_.host.LinesOfType(LOGTYPE_SYSTEM).empty());
    EXPECT_TRUE(services_.alerts.Snapshots().empty());

    // The same channel still writes once the folder is back.
    clock_.AdvanceSeconds(1);
    services_.host.SetSnapshotFolder("C:\\snap");
    Snap(channel);
    EXPECT_EQ(Files().size(), 1u);
}

TEST_F(ChannelSnapshotTest, QualityFollowsTheSettingFromTenToEighty) {
    CAVChannel& channel = MakeSnapshotChannel();
    ASSERT_TRUE(Pump(channel, MovingPicture(352, 288, 3)));
    g_Settings.System.bySnapshotQuality = 0;
    PostThreadMessage(channel.GetMsgThreadId(), WM_CHANNEL_SNAPSHOT, 0, 0);
    ASSERT_TRUE(Pump(channel, MovingPicture(352, 288, 3)));
    clock_.AdvanceSeconds(1);
    g_Settings.System.bySnapshotQuality = 7;
    PostThreadMessage(channel.GetMsgThreadId(), WM_CHANNEL_SNAPSHOT, 0, 0);
    ASSERT_TRUE(Pump(channel, MovingPicture(352, 288, 3)));
    const auto files = Files();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_LT(std::filesystem::file_size("snap/" + files[0]),
              std::filesystem::file_size("snap/" + files[1]));
}

TEST_F(ChannelSnapshotTest, SnapshotShowsTheStampedPictureInTrueColours) {
    std::strcpy(g_Settings.Record[0].chname, "Gate");
    CAVChannel& channel = MakeSnapshotChannel();
    // Pure red in studio range: Y 81, U 90, V 240.
    const auto red = FlatPicture(352, 288, 81, 90, 240);
    ASSERT_TRUE(Pump(channel, red));
    Snap(channel, red);
    ASSERT_EQ(Files().size(), 1u);
    const Decoded jpeg = DecodeJpeg("snap/" + Files()[0]);
    ASSERT_EQ(jpeg.width, 352);
    ASSERT_EQ(jpeg.height, 288);
    const uint8_t* pixel = jpeg.At(200, 150);
    EXPECT_GT(pixel[0], 200);
    EXPECT_LT(pixel[1], 60);
    EXPECT_LT(pixel[2], 60);
    // The title's ink makes the top-left corner brighter than the rest.
    int bright = 0;
    for (int y = 6; y < 22; ++y) {
        for (int x = 6; x < 60; ++x) {
            bright += jpeg.At(x, y)[1] > 150 ? 1 : 0;
        }
    }
    EXPECT_GT(bright, 10);
}

// No copy of every shown picture is kept: a request waits for the next
// picture shown, and every request waiting then is served by it.
TEST_F(ChannelSnapshotTest, ARequestBetweenPicturesGetsTheNextShownPicture) {
    CAVChannel& channel = MakeSnapshotChannel();
    // Blue in studio range: Y 41, U 240, V 110; red: Y 81, U 90, V 240.
    ASSERT_TRUE(Pump(channel, FlatPicture(352, 288, 81, 90, 240)));
    PostThreadMessage(channel.GetMsgThreadId(), WM_CHANNEL_SNAPSHOT, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return channel.nPendingSnapshots.load() == 1; }));
    EXPECT_TRUE(Files().empty());

    ASSERT_TRUE(Pump(channel, FlatPicture(352, 288, 41, 240, 110)));
    ASSERT_EQ(Files().size(), 1u);
    const Decoded jpeg = DecodeJpeg("snap/" + Files()[0]);
    ASSERT_EQ(jpeg.width, 352);
    const uint8_t* pixel = jpeg.At(200, 150);
    EXPECT_LT(pixel[0], 60);
    EXPECT_GT(pixel[2], 200);
    EXPECT_EQ(channel.nPendingSnapshots.load(), 0);

    clock_.AdvanceSeconds(1);
    for (int i = 0; i < 2; ++i) {
        PostThreadMessage(channel.GetMsgThreadId(), WM_CHANNEL_SNAPSHOT, 0, 0);
    }
    ASSERT_TRUE(WaitFor([&] { return channel.nPendingSnapshots.load() == 2; }));
    ASSERT_TRUE(Pump(channel, FlatPicture(352, 288)));
    EXPECT_EQ(channel.nPendingSnapshots.load(), 0);
    EXPECT_EQ(Files().size(), 2u);
    EXPECT_EQ(services_.alerts.Snapshots().size(), 2u);
}

TEST_F(ChannelSnapshotTest, RemoteRequestsAreUsedUpByDecodedPicturesOneFileASecond) {
    CAVChannel channel(1);
    clock_.AdvanceSeconds(1);
    channel.nPendingSnapshots = 3;
    const auto picture = FlatPicture(176, 144);
    const uint8_t* y = picture.data();
    const uint8_t* u = y + 176 * 144;
    const uint8_t* v = u + 176 * 144 / 4;
    for (int i = 0; i < 3; ++i) {
        channel.SnapshotRemote(y, u, v, 176, 88, 176, 144);
    }
    EXPECT_EQ(channel.nPendingSnapshots.load(), 0);
    EXPECT_EQ(Files(), std::vector<std::string>{"Ch02_2006_05_25__12_34_57.jpg"});
    EXPECT_EQ(DecodeJpeg("snap/" + Files()[0]).width, 176);
    channel.SnapshotRemote(y, u, v, 176, 88, 176, 144);
    EXPECT_EQ(channel.nPendingSnapshots.load(), 0);  // never below zero
}

TEST_F(ChannelSnapshotTest, IdleChannelTakesNoSnapshot) {
    CAVChannel channel(0);
    channel.TakeSnapshot();
    EXPECT_EQ(channel.nPendingSnapshots.load(), 0);
    EXPECT_TRUE(Files().empty());
}

}  // namespace
