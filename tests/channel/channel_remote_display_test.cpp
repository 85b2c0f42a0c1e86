// The remote display step: packets handed straight to the parser of a
// remote channel whose connection stays in its command phase.
#include <gtest/gtest.h>

#include <filesystem>

#include "remote_test_base.h"
#include "settings/log_entry.h"

namespace {

class RemoteDisplayTest : public RemoteTestBase {
protected:
    void SetUp() override {
        RemoteTestBase::SetUp();
        ConnectSilently();
        ASSERT_EQ(remote_->AddViewer(&relayed_), 1);
    }
    // Display steps until one draws a picture (at most n).
    bool ShowPicture(int* width, int* height, int n = 50) {
        for (int i = 0; i < n; ++i) {
            Show(*remote_, PIXFMT_RGB32, width, height);
            if (*width > 0)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }
    std::vector<WirePacket> Relayed() { return DrainQueue(relayed_); }

    CStreamQueue relayed_;
};

TEST_F(RemoteDisplayTest, NothingIsTakenBeforeTheFirstKeyFrame) {
    auto packets = EncodeVideo(H264Params(), 3);
    ASSERT_EQ(packets.size(), 3u);
    Feed({SoundPacket(ACODEC_MP3), packets[1], packets[2]});
    int w = 0, h = 0;
    EXPECT_EQ(Show(*remote_, PIXFMT_RGB32, &w, &h), 0);
    EXPECT_TRUE(Relayed().empty());
    Feed({packets[0]});
    ASSERT_TRUE(ShowPicture(&w, &h));
    EXPECT_EQ(w, 352);
    EXPECT_EQ(h, 288);
    EXPECT_EQ(Relayed(), std::vector<WirePacket>{packets[0]});
}

TEST_F(RemoteDisplayTest, BehindByMoreThanSixPicturesSkipsToTheNewestKeyFrame) {
    auto packets = EncodeVideo(H264Params(), 8, {0, 7});
    ASSERT_EQ(packets.size(), 8u);
    ASSERT_TRUE(IsKeyFrame(packets[7].header));
    Feed({packets[0]});
    int w = 0, h = 0;
    ASSERT_TRUE(ShowPicture(&w, &h));
    Relayed();
    Feed(std::vector<WirePacket>(packets.begin() + 1, packets.end()));
    ASSERT_TRUE(ShowPicture(&w, &h, 1));
    EXPECT_EQ(Relayed(), std::vector<WirePacket>{packets[7]});
    uint8_t video = 0, all = 0;
    remote_->GetFrameQueue()->GetCounts(&video, &all);
    EXPECT_EQ(all, 0);
}

TEST_F(RemoteDisplayTest, SoundIsTakenThirtyPacketsAStepUnlessMoreThanThirtyTwoWait) {
    auto key = EncodeVideo(H264Params(), 1);
    ASSERT_EQ(key.size(), 1u);
    Feed(key);
    int w = 0, h = 0;
    ASSERT_TRUE(ShowPicture(&w, &h));
    Relayed();

    Feed(std::vector<WirePacket>(32, SoundPacket(ACODEC_MP3)));
    EXPECT_EQ(Show(*remote_, PIXFMT_RGB32, &w, &h), 1);
    EXPECT_EQ(Relayed().size(), 30u);
    EXPECT_EQ(Show(*remote_, PIXFMT_RGB32, &w, &h), 0);
    EXPECT_EQ(Relayed().size(), 2u);

    Feed(std::vector<WirePacket>(33, SoundPacket(ACODEC_MP3)));
    EXPECT_EQ(Show(*remote_, PIXFMT_RGB32, &w, &h), 0);  // skipped: no key frame queued
    EXPECT_TRUE(Relayed().empty());
}

TEST_F(RemoteDisplayTest, KeyFrameOfAnotherCodecOrSizeRecreatesTheDecoderFirst) {
    CodecParams small = H264Params(176, 144);
    small.byVideoType = VCODEC_H263;
    auto packets = EncodeVideo(small, 2);
    ASSERT_EQ(packets.size(), 2u);
    Feed(packets);
    int w = 0, h = 0;
    EXPECT_EQ(Show(*remote_, PIXFMT_RGB32, &w, &h), 0);
    EXPECT_TRUE(Relayed().empty());  // the key frame waits for its decoder
    ASSERT_TRUE(WaitFor([&] {
        const CodecParams d = remote_->GetDecodeParams();
        return d.byVideoType == VCODEC_H263 && d.nWidth == 176 && d.nHeight == 144;
    }));
    ASSERT_TRUE(ShowPicture(&w, &h));
    EXPECT_EQ(w, 176);
    EXPECT_EQ(h, 144);
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{});
}

TEST_F(RemoteDisplayTest, PictureLargerThanTheSurfaceIsCropped) {
    auto packets = EncodeVideo(H264Params(704, 576), 1);
    ASSERT_EQ(packets.size(), 1u);
    Feed(packets);
    int w = 0, h = 0;
    ASSERT_TRUE(WaitFor([&] {
        Show(*remote_, PIXFMT_RGB32, &w, &h);
        return w > 0;
    }));
    EXPECT_EQ(w, 352);
    EXPECT_EQ(h, 288);
    // Every format writes inside the 352 x 288 surface (the sanitizer build
    // checks the surface's end).
    for (uint8_t format = 1; format <= 6; ++format) {
        Feed(EncodeVideo(H264Params(704, 576), 1));
        ASSERT_TRUE(ShowPicture(&w, &h)) << int(format);
        Show(*remote_, format, &w, &h);
    }
}

TEST_F(RemoteDisplayTest, UnknownPictureSizeShowsNothingButIsRelayedAndNotifiedOnce) {
    auto packets = EncodeVideo(H264Params(), 4, {0, 2});
    ASSERT_EQ(packets.size(), 4u);
    for (WirePacket& p : packets)
        p.header = SetStreamField(p.header, SH_PIC_SIZE_CODE, PICSIZE_OTHER);
    Feed(packets);
    int w = 0, h = 0;
    for (int i = 0; i < 6; ++i) {
        Show(*remote_, PIXFMT_RGB32, &w, &h);
        EXPECT_EQ(w, 0);
    }
    EXPECT_EQ(Relayed(), packets);
    EXPECT_EQ(boxes_.Count("Unknown picture size of the remote channel!"), 1);
    const CodecParams d = remote_->GetDecodeParams();
    EXPECT_EQ(d.nWidth, 352);  // no 0 x 0 decoder was asked for
    EXPECT_TRUE(remote_->HasDecoder());
}

TEST_F(RemoteDisplayTest, SoundCodecNoDecoderTakesKeepsTheDecoderAndIsNotifiedOnce) {
    auto key = EncodeVideo(H264Params(), 1);
    Feed(key);
    int w = 0, h = 0;
    ASSERT_TRUE(ShowPicture(&w, &h));
    Relayed();
    for (int round = 0; round < 3; ++round) {
        Feed(std::vector<WirePacket>(5, SoundPacket(7)));
        Show(*remote_, PIXFMT_RGB32, &w, &h);
        EXPECT_EQ(Relayed().size(), 5u);
    }
    FlushPendingMessageBoxes();
    ASSERT_TRUE(WaitFor([&] { return boxes_.Count("DecodeAudioMode failed!!!") == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(boxes_.Count("DecodeAudioMode failed!!!"), 1);
    EXPECT_EQ(remote_->GetDecodeParams().byAudioType, ACODEC_MP3);
    EXPECT_TRUE(remote_->HasDecoder());
}

TEST_F(RemoteDisplayTest, SoundOfTheSelectedChannelIsPlayedUnlessMuted) {
    CodecParams params = H264Params();
    CodecSlot* encoder = CodecOpenEncoder(&params);
    ASSERT_NE(encoder, nullptr);
    const int frameBytes = CodecGetAudioFrameBytes(encoder);
    std::vector<WirePacket> sound;
    std::vector<uint8_t> pcm(frameBytes), out(CODEC_AUDIO_OUT_BYTES);
    for (int i = 0; i < 8; ++i) {
        for (int s = 0; s < frameBytes / 2; ++s) {
            const int16_t v = static_cast<int16_t>((s * 300) % 8000);
            std::memcpy(&pcm[s * 2], &v, 2);
        }
        const int n = CodecEncodeAudio(encoder, pcm.data(), out.data(), 0, 0);
        if (n > 0) {
            StreamHeader tmpl = AUDIO_HEADER_TEMPLATE;
            SetHeaderCodecType(tmpl, ACODEC_MP3);
            sound.push_back({CompleteAudioHeader(tmpl, n), {out.begin(), out.begin() + n}});
        }
    }
    CodecCloseSlot(encoder, 0);
    ASSERT_FALSE(sound.empty());

    Feed(EncodeVideo(H264Params(), 1));
    int w = 0, h = 0;
    ASSERT_TRUE(ShowPicture(&w, &h));
    g_nSelectedChannel = 0;  // another channel
    Feed(sound);
    Show(*remote_, PIXFMT_RGB32, &w, &h);
    EXPECT_EQ(services_.sound.bytesWritten.load(), 0);
    g_nSelectedChannel = 1;
    Feed(sound);
    Show(*remote_, PIXFMT_RGB32, &w, &h);
    EXPECT_GT(services_.sound.bytesWritten.load(), 0);
}

// Decoded pictures are kept only for a pending request: one that comes
// between pictures is served by the next one, and nothing is written
// without one.
TEST_F(RemoteDisplayTest, ASnapshotRequestIsServedByTheNextDecodedPicture) {
    std::filesystem::create_directory("snap");
    services_.host.SetSnapshotFolder("C:\\snap");
    auto packets = EncodeVideo(H264Params(), 3);
    ASSERT_EQ(packets.size(), 3u);
    int w = 0, h = 0;
    Feed({packets[0]});
    ASSERT_TRUE(ShowPicture(&w, &h));
    clock_.AdvanceSeconds(1);
    EXPECT_TRUE(ListFiles("snap", "Ch", ".jpg").empty());

    PostThreadMessage(remote_->GetMsgThreadId(), WM_CHANNEL_SNAPSHOT, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return remote_->nPendingSnapshots.load() == 1; }));
    Feed({packets[1]});
    ASSERT_TRUE(ShowPicture(&w, &h));
    EXPECT_EQ(remote_->nPendingSnapshots.load(), 0);
    EXPECT_EQ(ListFiles("snap", "Ch", ".jpg"),
              std::vector<std::string>{"Ch02_2006_05_25__12_34_57.jpg"});
    EXPECT_EQ(services_.alerts.Snapshots(),
              std::vector<std::string>{"C:\\snap\\Ch02_2006_05_25__12_34_57.jpg"});

    clock_.AdvanceSeconds(1);
    Feed({packets[2]});
    ASSERT_TRUE(ShowPicture(&w, &h));
    EXPECT_EQ(ListFiles("snap", "Ch", ".jpg").size(), 1u);
}

// The levels are taken from the decoded picture; the alarm, its log line
// and its alert follow once the channel mutex is released.
TEST_F(RemoteDisplayTest, MotionInDecodedPicturesRaisesTheAlarmOnce) {
    ScheduleEntry& s = g_Settings.Schedule[1];
    std::fill(std::begin(s.byMotionMask), std::end(s.byMotionMask), 1);
    s.byMotionSmart = 10;
    s.nMotionRecordTime = 15;
    remote_->bMotionDetect = 1;
    auto packets = EncodeVideo(H264Params(), 6);
    ASSERT_EQ(packets.size(), 6u);
    int w = 0, h = 0;
    for (size_t i = 0; i < packets.size(); ++i) {
        Feed({packets[i]});
        ASSERT_TRUE(ShowPicture(&w, &h)) << i;
        // The first three pictures only fill the history.
        EXPECT_EQ(remote_->IsMotionAlarm(), i < 3 ? 0 : 1) << i;
    }
    EXPECT_EQ(services_.alerts.Alerts(), std::vector<int>{1});
    const std::vector<LogLine> start = {
        {LOGTYPE_MOTION, 2, "Ch02 start video motion alarm record!"}};
    EXPECT_EQ(services_.host.LinesOfType(LOGTYPE_MOTION), start);
}

}  // namespace
