#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "media/codec_layer.h"
#include "media/media_test_support.h"

namespace {

// The uptime second the tests hand to the codec layer.
int uptimeSecond = 1000;

class RecordFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CodecInit(), 1);
        uptimeSecond = 1000;
    }
    void TearDown() override { CodecCleanup(); }
    ScopedTempDir dir_;
};

CodecParams Params(uint8_t video, uint8_t audio, int width = 176, int height = 144) {
    CodecParams p;
    p.byVideoType = video;
    p.byAudioType = audio;
    p.nVideoKbps = 256;
    p.nAudioKbps = 32;
    p.nWidth = static_cast<uint16_t>(width);
    p.nHeight = static_cast<uint16_t>(height);
    return p;
}

struct Recorded {
    int videoPackets = 0;  // packets that went into the file
};

// Encodes `frames` pictures and, when withSound, `seconds` of sound spread
// over them, starting at picture first; returns what the file got.
Recorded EncodeSpan(CodecSlot* slot, int frames, bool withSound, int first = 0,
                    double seconds = 0) {
    Recorded rec;
    std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
    int frameBytes = CodecGetAudioFrameBytes(slot);
    if (seconds == 0) {
        seconds = frames / 25.0;
    }
    double audioPerPicture = seconds * 22050.0 / (frameBytes / 2) / frames;
    double audioDue = 0;
    int audioSent = 0;
    for (int n = first; n < first + frames; ++n) {
        auto pic = MakeTestPicture(slot->nWidth, slot->nHeight, n);
        int isKey = 0;
        int bytes =
            CodecEncodeVideo(slot, pic.data(), out.data(), n == first, &isKey, 1, uptimeSecond);
        if (bytes > 0) {
            ++rec.videoPackets;
        }
        audioDue += audioPerPicture;
        while (withSound && audioSent < static_cast<int>(audioDue)) {
            auto pcm = MakeTone(frameBytes / 2, audioSent * frameBytes / 2);
            CodecEncodeAudio(slot, pcm.data(), out.data(), 1, uptimeSecond);
            ++audioSent;
        }
    }
    return rec;
}

struct FileCase {
    uint8_t video;
    uint8_t audio;
    const char* videoCodec;  // ffprobe's codec_name
    const char* audioCodec;
};

int PacketCount(std::map<std::string, std::string>& stream) {
    const std::string& v = stream["nb_read_packets"];
    return v == "N/A" ? 0 : std::stoi(v);  // ffprobe's way of saying none
}

// A rate "a/b" equal to frames / seconds.
bool RateIs(const std::string& rate, int64_t frames, int64_t seconds) {
    auto slash = rate.find('/');
    if (slash == std::string::npos) {
        return false;
    }
    int64_t a = std::stoll(rate.substr(0, slash));
    int64_t b = std::stoll(rate.substr(slash + 1));
    return a * seconds == b * frames;
}

void PrintTo(const FileCase& c, std::ostream* os) {
    *os << c.videoCodec << "_" << c.audioCodec;
}

const FileCase kFileCases[] = {
    {VCODEC_H264, ACODEC_MP3, "h264", "mp3"},
    {VCODEC_H264, ACODEC_MP2, "h264", "mp2"},
    {VCODEC_H263, ACODEC_MP3, "h263", "mp3"},
    {VCODEC_H261, ACODEC_MP2, "h261", "mp2"},
    {VCODEC_MPEG4, ACODEC_MP3, "mpeg4", "mp3"},
    {VCODEC_MPEG2, ACODEC_MP2, "mpeg2video", "mp2"},
    {VCODEC_MPEG1, ACODEC_MP3, "mpeg1video", "mp3"},
    {VCODEC_FLV1, ACODEC_MP2, "flv1", "mp2"},
    {VCODEC_WMV2, ACODEC_MP3, "wmv2", "mp3"},
    {VCODEC_WMV1, ACODEC_MP2, "wmv1", "mp2"},
    {VCODEC_MJPEG, ACODEC_MP3, "mjpeg", "mp3"},
};

class RecordEveryCodec : public RecordFileTest, public ::testing::WithParamInterface<FileCase> {};

// Two streams, the right codecs, every packet, and after the rewrite the
// measured rate: frames written over seconds elapsed.
TEST_P(RecordEveryCodec, FileCarriesTheMeasuredRate) {
    const FileCase& c = GetParam();
    CodecParams p = Params(c.video, c.audio);
    CodecSlot* slot = CodecOpenEncoder(&p);
    ASSERT_NE(slot, nullptr);
    ASSERT_EQ(CodecOpenRecordFile(slot, "rec.avi", uptimeSecond), 1);
    Recorded rec = EncodeSpan(slot, 60, true, 0, 3.0);  // 60 pictures in 3 seconds
    uptimeSecond += 3;
    ASSERT_EQ(CodecCloseRecordFile(slot, uptimeSecond), 1);
    EXPECT_EQ(slot->pFormatCtx, nullptr);

    auto streams = ProbeStreams(dir_.path() + "/rec.avi");
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0]["codec_type"], "video");
    EXPECT_EQ(streams[0]["codec_name"], c.videoCodec);
    EXPECT_EQ(streams[1]["codec_type"], "audio");
    EXPECT_EQ(streams[1]["codec_name"], c.audioCodec);
    EXPECT_EQ(PacketCount(streams[0]), rec.videoPackets);
    EXPECT_TRUE(RateIs(streams[0]["r_frame_rate"], rec.videoPackets, 3))
        << streams[0]["r_frame_rate"] << " for " << rec.videoPackets << " in 3 s";
    double videoDuration = std::stod(streams[0]["duration"]);
    double audioDuration = std::stod(streams[1]["duration"]);
    EXPECT_NEAR(videoDuration, 3.0, 1e-6);
    EXPECT_NEAR(audioDuration, videoDuration, 0.2);
}

INSTANTIATE_TEST_SUITE_P(Codecs, RecordEveryCodec, ::testing::ValuesIn(kFileCases),
                         [](const auto& info) {
                             return std::string(info.param.videoCodec) + "_" +
                                    info.param.audioCodec;
                         });

TEST_F(RecordFileTest, ChannelWithoutSoundStillWritesAnEmptyAudioStream) {
    CodecParams p = Params(VCODEC_H264, ACODEC_MP3);
    CodecSlot* slot = CodecOpenEncoder(&p);
    ASSERT_EQ(CodecOpenRecordFile(slot, "mute.avi", uptimeSecond), 1);
    Recorded rec = EncodeSpan(slot, 50, false);
    uptimeSecond += 2;  // 25 per second
    CodecCloseRecordFile(slot, uptimeSecond);
    auto streams = ProbeStreams("mute.avi");
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[1]["codec_type"], "audio");
    EXPECT_EQ(PacketCount(streams[1]), 0);
    EXPECT_EQ(PacketCount(streams[0]), rec.videoPackets);
    EXPECT_EQ(streams[0]["r_frame_rate"], "25/1");
}

// Within one uptime second the nominal 1/25 stays; with no picture at all too.
TEST_F(RecordFileTest, NominalRateWhenNothingCanBeMeasured) {
    CodecParams p = Params(VCODEC_MPEG4, ACODEC_MP3);
    CodecSlot* slot = CodecOpenEncoder(&p);
    ASSERT_EQ(CodecOpenRecordFile(slot, "short.avi", uptimeSecond), 1);
    EncodeSpan(slot, 10, true);
    CodecCloseRecordFile(slot, uptimeSecond);  // same second
    auto streams = ProbeStreams("short.avi");
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0]["r_frame_rate"], "25/1");

    ASSERT_EQ(CodecOpenRecordFile(slot, "empty.avi", uptimeSecond), 1);
    uptimeSecond += 5;
    CodecCloseRecordFile(slot, uptimeSecond);
    streams = ProbeStreams("empty.avi");
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0]["r_frame_rate"], "25/1");
}

// Opening a second file on the slot finishes the first one completely.
TEST_F(RecordFileTest, ReopeningClosesThePreviousFileCompletely) {
    CodecParams p = Params(VCODEC_H264, ACODEC_MP2);
    CodecSlot* slot = CodecOpenEncoder(&p);
    ASSERT_EQ(CodecOpenRecordFile(slot, "first.avi", uptimeSecond), 1);
    Recorded first = EncodeSpan(slot, 40, true);
    uptimeSecond += 4;
    ASSERT_EQ(CodecOpenRecordFile(slot, "second.avi", uptimeSecond), 1);
    auto streams = ProbeStreams("first.avi");
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(PacketCount(streams[0]), first.videoPackets);
    EXPECT_TRUE(RateIs(streams[0]["r_frame_rate"], first.videoPackets, 4));
    EncodeSpan(slot, 10, true, 40);
    CodecCloseRecordFile(slot, uptimeSecond);
    EXPECT_EQ(ProbeStreams("second.avi").size(), 2u);
}

// Closing the slot with a file still open writes the trailer and the rate.
TEST_F(RecordFileTest, ClosingTheSlotFinishesItsRecordFile) {
    CodecParams p = Params(VCODEC_MPEG4, ACODEC_MP3);
    CodecSlot* slot = CodecOpenEncoder(&p);
    ASSERT_EQ(CodecOpenRecordFile(slot, "open.avi", uptimeSecond), 1);
    Recorded rec = EncodeSpan(slot, 30, true);
    uptimeSecond += 2;
    CodecCloseSlot(slot, uptimeSecond);
    auto streams = ProbeStreams("open.avi");
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(PacketCount(streams[0]), rec.videoPackets);
    EXPECT_TRUE(RateIs(streams[0]["r_frame_rate"], rec.videoPackets, 2));
}

TEST_F(RecordFileTest, OpenFailuresLeaveNoFileAndChangeNothing) {
    CodecParams p = Params(VCODEC_H264, ACODEC_MP3);
    CodecSlot* slot = CodecOpenEncoder(&p);
    EXPECT_EQ(CodecOpenRecordFile(slot, "missing/folder/rec.avi", uptimeSecond), 0);
    EXPECT_EQ(slot->pFormatCtx, nullptr);
    EXPECT_FALSE(FileExists("missing"));
    EXPECT_EQ(CodecOpenRecordFile(nullptr, "x.avi", uptimeSecond), 0);
    EXPECT_EQ(CodecCloseRecordFile(nullptr, uptimeSecond), 0);
    EXPECT_EQ(CodecCloseRecordFile(slot, uptimeSecond), 1);  // no file open: fine

    // An unknown extension leaves an open file open.
    ASSERT_EQ(CodecOpenRecordFile(slot, "keep.avi", uptimeSecond), 1);
    EXPECT_EQ(CodecOpenRecordFile(slot, "other.qqxyz", uptimeSecond), 0);
    EXPECT_NE(slot->pFormatCtx, nullptr);
    EXPECT_FALSE(FileExists("other.qqxyz"));
    std::string tooLong(1100, 'a');
    EXPECT_EQ(CodecOpenRecordFile(slot, (tooLong + ".avi").c_str(), uptimeSecond), 0);
    EXPECT_NE(slot->pFormatCtx, nullptr);
    CodecCloseRecordFile(slot, uptimeSecond);
    EXPECT_EQ(ProbeStreams("keep.avi").size(), 2u);
}

// A stored Windows-style path goes to the drive's real folder.
TEST_F(RecordFileTest, StoredPathsAreMapped) {
    CodecParams p = Params(VCODEC_MJPEG, ACODEC_MP3);
    CodecSlot* slot = CodecOpenEncoder(&p);
    ASSERT_EQ(CodecOpenRecordFile(slot, "C:\\mapped.avi", uptimeSecond), 1);
    CodecCloseRecordFile(slot, uptimeSecond);
    EXPECT_TRUE(FileExists("mapped.avi"));
}

// With toFile 0 nothing is written although a file is open.
TEST_F(RecordFileTest, OnlyPacketsMarkedForTheFileAreWritten) {
    CodecParams p = Params(VCODEC_H264, ACODEC_MP3);
    CodecSlot* slot = CodecOpenEncoder(&p);
    ASSERT_EQ(CodecOpenRecordFile(slot, "none.avi", uptimeSecond), 1);
    std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
    for (int n = 0; n < 10; ++n) {
        auto pic = MakeTestPicture(176, 144, n);
        int isKey = 0;
        ASSERT_GT(CodecEncodeVideo(slot, pic.data(), out.data(), n == 0, &isKey, 0, uptimeSecond),
                  0);
    }
    CodecCloseRecordFile(slot, uptimeSecond);
    auto streams = ProbeStreams("none.avi");
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(PacketCount(streams[0]), 0);
}

// A file opened in the middle of a stream starts at the next key packet, so
// every file starts decodable; with MPEG-2's B-frames that packet comes
// some calls after the key request.
TEST_F(RecordFileTest, NewFileStartsAtAKeyPacket) {
    for (uint8_t type : {VCODEC_H264, VCODEC_MPEG2}) {
        CodecParams p = Params(type, ACODEC_MP2);
        CodecSlot* slot = CodecOpenEncoder(&p);
        ASSERT_NE(slot, nullptr);
        std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
        int n = 0;
        for (; n < 5; ++n) {
            auto pic = MakeTestPicture(176, 144, n);
            int isKey = 0;
            CodecEncodeVideo(slot, pic.data(), out.data(), n == 0, &isKey, 1, uptimeSecond);
        }
        std::string name = "mid" + std::to_string(type) + ".avi";
        ASSERT_EQ(CodecOpenRecordFile(slot, name.c_str(), uptimeSecond), 1);
        int written = 0;
        bool keySeen = false;
        for (int i = 0; i < 10; ++i, ++n) {
            auto pic = MakeTestPicture(176, 144, n);
            int isKey = 0;
            int bytes =
                CodecEncodeVideo(slot, pic.data(), out.data(), i == 0, &isKey, 1, uptimeSecond);
            keySeen = keySeen || (bytes > 0 && isKey);
            written += keySeen && bytes > 0 ? 1 : 0;
        }
        CodecCloseSlot(slot, uptimeSecond);
        auto flags = ProbeVideoPacketFlags(name);
        ASSERT_EQ(static_cast<int>(flags.size()), written) << int(type);
        ASSERT_FALSE(flags.empty());
        EXPECT_EQ(flags[0][0], 'K') << int(type);
        if (type == VCODEC_MPEG2) {
            EXPECT_LT(written, 10);  // the older pictures before the key stayed out
        } else {
            EXPECT_EQ(written, 10);
        }
    }
}

// A received stream is recorded unchanged, each packet marked by the key bit
// its sender gave it.
TEST_F(RecordFileTest, DecoderSlotRecordsReceivedPacketsWithTheirKeyBits) {
    CodecParams p = Params(VCODEC_MPEG4, ACODEC_MP3);
    CodecSlot* enc = CodecOpenEncoder(&p);
    CodecSlot* dec = CodecOpenDecoder(&p);
    ASSERT_EQ(CodecOpenRecordFile(dec, "remote.avi", uptimeSecond), 1);
    std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
    std::vector<char> expected;
    for (int n = 0; n < 20; ++n) {
        auto pic = MakeTestPicture(176, 144, n);
        int isKey = 0;
        int bytes =
            CodecEncodeVideo(enc, pic.data(), out.data(), n % 7 == 0, &isKey, 0, uptimeSecond);
        ASSERT_GT(bytes, 0);
        DecodedPicture got;
        ASSERT_EQ(CodecDecodeVideo(dec, out.data(), bytes, &got, 1, isKey, uptimeSecond), 1);
        expected.push_back(isKey ? 'K' : '_');
    }
    std::vector<uint8_t> audio(CODEC_AUDIO_OUT_BYTES);
    std::vector<uint8_t> pcm(8192);
    int frameBytes = CodecGetAudioFrameBytes(enc);
    for (int i = 0; i < 30; ++i) {
        auto tone = MakeTone(frameBytes / 2, i * frameBytes / 2);
        int n = CodecEncodeAudio(enc, tone.data(), audio.data(), 0, uptimeSecond);
        if (n > 0) {
            CodecDecodeAudio(dec, audio.data(), n, pcm.data(), static_cast<int>(pcm.size()), 1,
                             uptimeSecond);
        }
    }
    uptimeSecond += 2;
    CodecCloseRecordFile(dec, uptimeSecond);
    auto flags = ProbeVideoPacketFlags("remote.avi");
    ASSERT_EQ(flags.size(), expected.size());
    for (size_t i = 0; i < flags.size(); ++i) {
        EXPECT_EQ(flags[i][0], expected[i]) << i;
    }
    auto streams = ProbeStreams("remote.avi");
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_TRUE(RateIs(streams[0]["r_frame_rate"], 20, 2));
    EXPECT_GT(PacketCount(streams[1]), 20);
}

// The file's buffer reaches the disk at every key frame, so a killed process
// keeps what was recorded before.
TEST_F(RecordFileTest, KeyFramesAreFlushedToDisk) {
    CodecParams p = Params(VCODEC_MJPEG, ACODEC_MP3);
    CodecSlot* slot = CodecOpenEncoder(&p);
    ASSERT_EQ(CodecOpenRecordFile(slot, "live.avi", uptimeSecond), 1);
    int64_t afterHeader = FileSize("live.avi");
    EXPECT_GT(afterHeader, 0);  // the header is on disk at once
    std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
    int64_t total = 0;
    for (int n = 0; n < 3; ++n) {
        auto pic = MakeTestPicture(176, 144, n);
        int isKey = 0;
        int bytes = CodecEncodeVideo(slot, pic.data(), out.data(), 0, &isKey, 1, uptimeSecond);
        ASSERT_GT(bytes, 0);
        ASSERT_EQ(isKey, 1);
        total += bytes;
        EXPECT_GE(FileSize("live.avi"), afterHeader + total);
    }
    CodecCloseRecordFile(slot, uptimeSecond);
}

}  // namespace
