// Encoding on the channel thread and the fan-out to the viewer queues.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "channel_test_base.h"
#include "platform/threads/thread_messages.h"

namespace {

struct Packet {
    StreamHeader header;
    int length;
};

std::vector<Packet> Drain(CStreamQueue& queue) {
    std::vector<Packet> packets;
    std::vector<uint8_t> buffer(PACKET_BUFFER_SIZE);
    for (;;) {
        uint32_t header = 0;
        const int n = queue.Pop(buffer.data(), &header, static_cast<int>(buffer.size()));
        if (n <= 0) {
            break;
        }
        packets.push_back({header, n});
    }
    return packets;
}

std::vector<Packet> VideoOnly(const std::vector<Packet>& packets) {
    std::vector<Packet> video;
    for (const Packet& p : packets) {
        if (IsVideoPacket(p.header)) {
            video.push_back(p);
        }
    }
    return video;
}

std::vector<uint8_t> Tone(int bytes, int first) {
    std::vector<uint8_t> pcm(static_cast<size_t>(bytes));
    for (int i = 0; i < bytes / 2; ++i) {
        const auto s = static_cast<int16_t>(8000 * std::sin((first + i) * 2 * M_PI * 440 / 22050));
        pcm[2 * i] = static_cast<uint8_t>(s & 0xFF);
        pcm[2 * i + 1] = static_cast<uint8_t>((s >> 8) & 0xFF);
    }
    return pcm;
}

class ChannelEncodeTest : public ChannelTestBase {
protected:
    void Feed(CAVChannel& channel, int count, int width = 352, int height = 288) {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(Pump(channel, MovingPicture(width, height, frame_++), width, height));
        }
    }
    // Every packet's length field matches the bytes it carried.
    static void ExpectFraming(const std::vector<Packet>& packets) {
        for (const Packet& p : packets) {
            EXPECT_EQ(static_cast<int>(GetPayloadLength(p.header)), p.length);
            EXPECT_GE(p.length, 4);
        }
    }
    int frame_ = 0;
};

TEST_F(ChannelEncodeTest, NothingIsEncodedWithoutViewersAndANewViewerStartsAtAKeyFrame) {
    CAVChannel& channel = MakeLocal();
    Feed(channel, 5);
    CStreamQueue first;
    ASSERT_EQ(channel.AddViewer(&first), 1);
    Feed(channel, 35);
    const auto packets = Drain(first);
    ASSERT_EQ(packets.size(), 35u);
    ExpectFraming(packets);
    EXPECT_TRUE(IsVideoKeyFrame(packets[0].header));
    EXPECT_EQ(GetCodecType(packets[0].header), VCODEC_H264);
    EXPECT_EQ(GetPicSizeCodeOf(packets[0].header), 5);
    EXPECT_EQ(GetFrameSpan(packets[0].header), 1u);
    EXPECT_FALSE(IsKeyFrame(packets[1].header));

    // A second viewer mid-stream gets a key frame at once; so does the first.
    CStreamQueue second;
    ASSERT_EQ(channel.AddViewer(&second), 1);
    Feed(channel, 2);
    const auto late = Drain(second);
    ASSERT_EQ(late.size(), 2u);
    EXPECT_TRUE(IsVideoKeyFrame(late[0].header));
    EXPECT_FALSE(IsKeyFrame(late[1].header));
    EXPECT_TRUE(IsVideoKeyFrame(Drain(first)[0].header));
}

TEST_F(ChannelEncodeTest, ViewerPlacesAreLimitedToThreeDistinctQueues) {
    CAVChannel& channel = MakeLocal();
    CStreamQueue queues[4];
    EXPECT_EQ(channel.AddViewer(&queues[0]), 1);
    EXPECT_EQ(channel.AddViewer(&queues[0]), 0);
    EXPECT_EQ(channel.AddViewer(&queues[1]), 1);
    EXPECT_EQ(channel.AddViewer(&queues[2]), 1);
    EXPECT_EQ(channel.AddViewer(&queues[3]), 0);
    EXPECT_EQ(channel.AddViewer(nullptr), 0);
    EXPECT_EQ(channel.RemoveViewer(&queues[3]), 0);
    EXPECT_EQ(channel.RemoveViewer(&queues[1]), 1);
    EXPECT_EQ(channel.RemoveViewer(&queues[1]), 0);
    EXPECT_EQ(channel.AddViewer(&queues[3]), 1);
    Feed(channel, 1);
    EXPECT_EQ(Drain(queues[0]).size(), 1u);
    EXPECT_EQ(Drain(queues[1]).size(), 0u);
    EXPECT_EQ(Drain(queues[3]).size(), 1u);
}

TEST_F(ChannelEncodeTest, AFullViewerSkipsToTheNextKeyFrameWhileTheOtherGetsEverything) {
    CAVChannel& channel = MakeLocal(0, H264Params(176, 144));
    CStreamQueue steady;
    CStreamQueue stalled;
    ASSERT_EQ(channel.AddViewer(&steady), 1);
    ASSERT_EQ(channel.AddViewer(&stalled), 1);
    std::vector<Packet> received;
    for (int i = 0; i < 125; ++i) {  // the stalled queue fills at 119
        Feed(channel, 1, 176, 144);
        for (const Packet& p : Drain(steady)) {
            received.push_back(p);
        }
    }
    EXPECT_TRUE(stalled.IsFull());
    const auto first = Drain(stalled);
    EXPECT_EQ(first.size(), 119u);
    ExpectFraming(first);

    for (int i = 0; i < 40; ++i) {
        Feed(channel, 1, 176, 144);
        for (const Packet& p : Drain(steady)) {
            received.push_back(p);
        }
    }
    EXPECT_EQ(received.size(), 165u);
    ExpectFraming(received);
    const auto resumed = Drain(stalled);
    ASSERT_FALSE(resumed.empty());
    ExpectFraming(resumed);
    EXPECT_TRUE(IsVideoKeyFrame(resumed[0].header));
    EXPECT_LT(resumed.size(), 40u);
}

TEST_F(ChannelEncodeTest, FrameSpanCountsPicturesNoViewerCouldTakeUpToFifteen) {
    CAVChannel& channel = MakeLocal(0, H264Params(176, 144));
    CStreamQueue viewer;
    ASSERT_EQ(channel.AddViewer(&viewer), 1);
    Feed(channel, 119, 176, 144);
    ASSERT_TRUE(viewer.IsFull());
    Feed(channel, 20, 176, 144);
    EXPECT_EQ(channel.GetFrameSpan(), 15);
    Drain(viewer);
    Feed(channel, 2, 176, 144);
    const auto packets = Drain(viewer);
    // Nothing was encoded meanwhile, so the stream goes on from the last
    // picture the viewer has, standing for the pictures in between.
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(GetFrameSpan(packets[0].header), 15u);
    EXPECT_EQ(GetFrameSpan(packets[1].header), 1u);
}

TEST_F(ChannelEncodeTest, PicturesDroppedAtABusySlotWidenTheFrameSpan) {
    CAVChannel& channel = MakeLocal();
    CStreamQueue viewer;
    ASSERT_EQ(channel.AddViewer(&viewer), 1);
    const auto picture = MovingPicture(352, 288, 1);
    for (int i = 0; i < 6; ++i) {  // four stored, two dropped at slot 0
        channel.OnVideoFrame(picture.data(), static_cast<int>(picture.size()), 352, 288, 352);
    }
    ASSERT_EQ(Show(channel), 1);
    ASSERT_TRUE(WaitFor([&] { return channel.GetSlotState(0) == SLOT_FREE; }));
    const auto packets = Drain(viewer);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(GetFrameSpan(packets[0].header), 3u);
}

TEST_F(ChannelEncodeTest, ANewPictureSizeRecreatesTheEncoderAndItsSizeCode) {
    CAVChannel& channel = MakeLocal();
    CStreamQueue viewer;
    ASSERT_EQ(channel.AddViewer(&viewer), 1);
    Feed(channel, 2);
    Drain(viewer);
    Feed(channel, 1, 176, 144);  // dropped; the encoder follows the size
    Feed(channel, 1, 176, 144);
    const auto packets = Drain(viewer);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_TRUE(IsVideoKeyFrame(packets[0].header));
    EXPECT_EQ(GetPicSizeCodeOf(packets[0].header), 1);
    EXPECT_EQ(channel.GetEncodeParams().nWidth, 176);
}

TEST_F(ChannelEncodeTest, ModeChangeSplitsTheRecordingOnlyWhenSomethingChanged) {
    std::filesystem::create_directory("rec");
    services_.host.SetRecordFolder("C:\\rec");
    CAVChannel& channel = MakeLocal();
    CStreamQueue viewer;
    ASSERT_EQ(channel.AddViewer(&viewer), 1);
    channel.bManualRecord = 1;
    Feed(channel, 3);
    const ThreadId thread = channel.GetMsgThreadId();
    const WPARAM sameMode = VCODEC_H264 | (ACODEC_MP3 << 8);
    const LPARAM sameRates = 256 | (32 << 16);
    PostThreadMessage(thread, WM_CHANGE_VIDEO_ENC_MODE, sameMode, sameRates);
    Feed(channel, 3);
    EXPECT_EQ(ListFiles("rec", "CH01_", ".avi").size(), 1u);

    clock_.AdvanceSeconds(1);
    PostThreadMessage(thread, WM_CHANGE_VIDEO_ENC_MODE, VCODEC_MPEG4 | (ACODEC_MP2 << 8),
                      sameRates);
    Feed(channel, 3);
    EXPECT_EQ(ListFiles("rec", "CH01_", ".avi").size(), 2u);
    EXPECT_EQ(channel.bRecording.load(), 1);
    const auto video = VideoOnly(Drain(viewer));
    EXPECT_EQ(GetCodecType(video.back().header), VCODEC_MPEG4);
    EXPECT_EQ(GetCodecType(channel.GetAudioHeader()), ACODEC_MP2);
}

TEST_F(ChannelEncodeTest, EveryEncoderOpenRefreshesTheCodecCodeOfTheHeaders) {
    CodecParams params = H264Params();
    params.byVideoType = 15;  // no such codec: the first open fails
    CAVChannel& channel = MakeLocal(0, params);
    ASSERT_FALSE(channel.HasEncoder());
    CStreamQueue viewer;
    ASSERT_EQ(channel.AddViewer(&viewer), 1);
    // The mode is only stored while there is no encoder ...
    PostThreadMessage(channel.GetMsgThreadId(), WM_CHANGE_VIDEO_ENC_MODE,
                      VCODEC_H264 | (ACODEC_MP3 << 8), 256 | (32 << 16));
    // ... and a size change opens the encoder from it.
    Feed(channel, 2, 176, 144);
    const auto packets = Drain(viewer);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(GetCodecType(packets[0].header), VCODEC_H264);
    EXPECT_EQ(GetPicSizeCodeOf(packets[0].header), 1);
    EXPECT_EQ(boxes_.Count("Init Encoder Failed!!"), 1);
}

TEST_F(ChannelEncodeTest, SoundBecomesAudioPacketsAndFeedsLiveOutputOnlyWhenSelectedUnmuted) {
    struct Case {
        int mute;
        uint8_t selected;
        bool live;
    };
    const Case cases[] = {{0, 0, true}, {1, 0, false}, {0, 1, false}};
    for (const Case& c : cases) {
        g_bAudioMute = c.mute;
        g_nSelectedChannel = c.selected;
        services_.sound.bytesWritten = 0;
        CAVChannel& channel = MakeLocal();
        CStreamQueue viewer;
        ASSERT_EQ(channel.AddViewer(&viewer), 1);
        for (int i = 0; i < 10; ++i) {
            const auto pcm = Tone(2048, i * 1024);
            ASSERT_EQ(channel.OnAudioData(pcm.data(), static_cast<int>(pcm.size())), 1);
        }
        // A picture after the sound: once its slot is back, every sound
        // block before it has been handled.
        Feed(channel, 1);
        std::vector<Packet> packets;
        for (const Packet& p : Drain(viewer)) {
            if (!IsVideoPacket(p.header)) {
                packets.push_back(p);
            }
        }
        ASSERT_FALSE(packets.empty());
        ExpectFraming(packets);
        for (const Packet& p : packets) {
            EXPECT_FALSE(IsVideoPacket(p.header));
            EXPECT_EQ(GetFrameSpan(p.header), 1u);
            EXPECT_FALSE(IsKeyFrame(p.header));
            EXPECT_EQ(GetCodecType(p.header), ACODEC_MP3);
            EXPECT_EQ(GetPicSizeCodeOf(p.header), 0);
        }
        EXPECT_EQ(services_.sound.bytesWritten.load(), c.live ? 20480 : 0);
    }
}

TEST_F(ChannelEncodeTest, PayloadsShorterThanFourBytesNeverReachAViewer) {
    CAVChannel& channel = MakeLocal();
    CStreamQueue viewer;
    ASSERT_EQ(channel.AddViewer(&viewer), 1);
    const uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    StreamHeader audio = 0x01000000u;
    channel.SendToViewers(data, 3, CompleteAudioHeader(audio, 3));
    StreamHeader key = 0x51000001u;
    channel.SendToViewers(data, 3, CompleteVideoHeader(key, true, 3, 1));
    EXPECT_TRUE(viewer.IsEmpty());
    channel.SendToViewers(data, 4, CompleteVideoHeader(key, true, 4, 1));
    const auto packets = Drain(viewer);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].length, 4);
}

}  // namespace

namespace {

TEST_F(ChannelEncodeTest, AViewerJoiningARecordingGetsAKeyFrameThatTheFileGetsToo) {
    std::filesystem::create_directory("rec");
    services_.host.SetRecordFolder("C:\\rec");
    CAVChannel& channel = MakeLocal();
    channel.bManualRecord = 1;
    Feed(channel, 5);  // key frame, then four others into the file
    CStreamQueue viewer;
    ASSERT_EQ(channel.AddViewer(&viewer), 1);
    Feed(channel, 2);
    channel.bManualRecord = 0;
    Feed(channel, 1);
    const auto packets = VideoOnly(Drain(viewer));
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_TRUE(IsVideoKeyFrame(packets[0].header));
    const auto files = ListFiles("rec", "CH01_", ".avi");
    ASSERT_EQ(files.size(), 1u);
    const auto flags = ProbeVideoFlags("rec/" + files[0]);
    ASSERT_EQ(flags.size(), 7u);
    EXPECT_EQ(flags[0].substr(0, 1), "K");
    EXPECT_EQ(flags[1].substr(0, 1), "_");
    EXPECT_EQ(flags[5].substr(0, 1), "K");
}

}  // namespace
