#include "media/codec_layer.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <atomic>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "media/media_test_support.h"

namespace {

class CodecLayerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(CodecInit(), 1); }
    void TearDown() override { CodecCleanup(); }
};

CodecParams Params(uint8_t video, uint8_t audio, int width = 176, int height = 144,
                   int kbps = 512) {
    CodecParams p;
    p.byVideoType = video;
    p.byAudioType = audio;
    p.nVideoKbps = static_cast<uint16_t>(kbps);
    p.nAudioKbps = 32;
    p.nWidth = static_cast<uint16_t>(width);
    p.nHeight = static_cast<uint16_t>(height);
    return p;
}

struct CodecCase {
    uint8_t type;
    const char* name;
    double minPsnr;  // at 512 kbit/s, 352 x 288
};

void PrintTo(const CodecCase& c, std::ostream* os) {
    *os << c.name;
}

const CodecCase kVideoCodecs[] = {
    {VCODEC_H264, "h264", 30},   {VCODEC_H263, "h263p", 28},  {VCODEC_H261, "h261", 26},
    {VCODEC_MPEG4, "mpeg4", 28}, {VCODEC_MPEG2, "mpeg2", 28}, {VCODEC_MPEG1, "mpeg1", 28},
    {VCODEC_FLV1, "flv1", 28},   {VCODEC_WMV2, "wmv2", 28},   {VCODEC_WMV1, "wmv1", 28},
    {VCODEC_MJPEG, "mjpeg", 28},
};

}  // namespace

TEST_F(CodecLayerTest, TypeCodesMapOntoLibraryCodecs) {
    struct {
        uint8_t code;
        int video;
        int audio;
    } table[] = {
        {0, AV_CODEC_ID_H261, AV_CODEC_ID_MP3},
        {1, AV_CODEC_ID_H264, AV_CODEC_ID_MP3},
        {2, AV_CODEC_ID_H263P, AV_CODEC_ID_MP2},
        {3, AV_CODEC_ID_H261, AV_CODEC_ID_MP2},
        {4, AV_CODEC_ID_MPEG4, AV_CODEC_ID_NONE},
        {5, AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_NONE},
        {6, AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_NONE},
        {7, AV_CODEC_ID_FLV1, AV_CODEC_ID_NONE},
        {8, AV_CODEC_ID_WMV2, AV_CODEC_ID_NONE},
        {9, AV_CODEC_ID_WMV1, AV_CODEC_ID_NONE},
        {10, AV_CODEC_ID_MJPEG, AV_CODEC_ID_NONE},
        {11, AV_CODEC_ID_NONE, AV_CODEC_ID_NONE},
        {255, AV_CODEC_ID_NONE, AV_CODEC_ID_NONE},
    };
    for (const auto& row : table) {
        EXPECT_EQ(CodecMapVideoType(row.code), row.video) << int(row.code);
        EXPECT_EQ(CodecMapAudioType(row.code), row.audio) << int(row.code);
    }
    // "None" must not be a real codec: 255 is one in this library version.
    EXPECT_NE(avcodec_find_decoder(static_cast<AVCodecID>(CodecMapVideoType(11))) != nullptr, true);
}

TEST_F(CodecLayerTest, OpensTheCodecsTheTypeCodesName) {
    CodecParams p = Params(VCODEC_H263, 3);
    CodecSlot* enc = CodecOpenEncoder(&p);
    ASSERT_NE(enc, nullptr);
    EXPECT_EQ(enc->pVideoCtx->codec_id, AV_CODEC_ID_H263P);
    EXPECT_EQ(enc->pAudioCtx->codec_id, AV_CODEC_ID_MP2);
    CodecSlot* dec = CodecOpenDecoder(&p);
    ASSERT_NE(dec, nullptr);
    EXPECT_EQ(dec->pVideoCtx->codec_id, AV_CODEC_ID_H263);  // reads H.263+ too
    EXPECT_EQ(dec->pAudioCtx->codec_id, AV_CODEC_ID_MP2);

    CodecParams zero = Params(0, 0);
    CodecSlot* enc0 = CodecOpenEncoder(&zero);
    ASSERT_NE(enc0, nullptr);
    EXPECT_EQ(enc0->pVideoCtx->codec_id, AV_CODEC_ID_H261);
    EXPECT_EQ(enc0->pAudioCtx->codec_id, AV_CODEC_ID_MP3);

    for (auto bad : {Params(11, 1), Params(1, 4), Params(255, 255)}) {
        EXPECT_EQ(CodecOpenEncoder(&bad), nullptr);
        EXPECT_EQ(CodecOpenDecoder(&bad), nullptr);
    }
    EXPECT_EQ(CodecOpenEncoder(nullptr), nullptr);
}

TEST_F(CodecLayerTest, SeventeenthEncoderFailsAndAFreedSlotIsReused) {
    CodecParams p = Params(VCODEC_MJPEG, ACODEC_MP2);
    std::vector<CodecSlot*> slots;
    for (int i = 0; i < CODEC_SLOT_COUNT; ++i) {
        CodecSlot* s = CodecOpenEncoder(&p);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->nSlot, i);
        slots.push_back(s);
    }
    EXPECT_EQ(CodecOpenEncoder(&p), nullptr);
    EXPECT_EQ(CodecCloseSlot(slots[9], 0), 1);
    EXPECT_EQ(CodecCloseSlot(slots[4], 0), 1);
    CodecSlot* again = CodecOpenEncoder(&p);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->nSlot, 4);
    // The decoder table is separate.
    EXPECT_NE(CodecOpenDecoder(&p), nullptr);
}

TEST_F(CodecLayerTest, ParallelOpensGetDifferentSlots) {
    CodecParams p = Params(VCODEC_MPEG4, ACODEC_MP2);
    std::vector<CodecSlot*> got(8, nullptr);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&, i] {
            while (!go) {
            }
            got[i] = CodecOpenEncoder(&p);
        });
    }
    go = true;
    for (auto& t : threads) {
        t.join();
    }
    std::set<CodecSlot*> distinct(got.begin(), got.end());
    EXPECT_EQ(distinct.size(), 8u);
    EXPECT_EQ(distinct.count(nullptr), 0u);
}

TEST_F(CodecLayerTest, RefusedOpenLeavesTheSlotFree) {
    CodecParams p = Params(VCODEC_H261, ACODEC_MP3, 320, 240);  // H.261 takes QCIF and CIF only
    EXPECT_EQ(CodecOpenEncoder(&p), nullptr);
    EXPECT_EQ(g_EncoderSlots[0].pVideoCtx, nullptr);
    EXPECT_EQ(g_EncoderSlots[0].pAudioCtx, nullptr);
    EXPECT_EQ(g_EncoderSlots[0].pPicture, nullptr);
    CodecParams ok = Params(VCODEC_H261, ACODEC_MP3, 352, 288);
    CodecSlot* s = CodecOpenEncoder(&ok);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->nSlot, 0);
}

TEST_F(CodecLayerTest, AudioFrameBytes) {
    CodecParams mp3 = Params(VCODEC_H264, ACODEC_MP3);
    CodecParams mp2 = Params(VCODEC_H264, ACODEC_MP2);
    EXPECT_EQ(CodecGetAudioFrameBytes(CodecOpenEncoder(&mp3)), 1152);
    EXPECT_EQ(CodecGetAudioFrameBytes(CodecOpenEncoder(&mp2)), 2304);
    EXPECT_EQ(CodecGetAudioFrameBytes(nullptr), -1);
    CodecSlot* dec = CodecOpenDecoder(&mp3);
    ASSERT_NE(dec, nullptr);
    EXPECT_EQ(CodecChangeDecoderAudio(dec, 4), 0);
    EXPECT_EQ(CodecGetAudioFrameBytes(dec), -1);
}

class VideoRoundTrip : public CodecLayerTest, public ::testing::WithParamInterface<CodecCase> {};

// Encode, decode with a decoder slot: the pictures come back close to the input.
TEST_P(VideoRoundTrip, DecodedPicturesMatchTheInput) {
    const CodecCase& c = GetParam();
    const int w = 352, h = 288;
    CodecParams p = Params(c.type, ACODEC_MP3, w, h, 512);
    CodecSlot* enc = CodecOpenEncoder(&p);
    CodecSlot* dec = CodecOpenDecoder(&p);
    ASSERT_NE(enc, nullptr);
    ASSERT_NE(dec, nullptr);
    std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
    std::vector<std::vector<uint8_t>> sent;
    double worst = 99;
    int decoded = 0;
    for (int n = 0; n < 12; ++n) {
        sent.push_back(MakeTestPicture(w, h, n));
        int isKey = -1;
        int bytes = CodecEncodeVideo(enc, sent.back().data(), out.data(), n == 0, &isKey, 0, 0);
        ASSERT_GE(bytes, 0);
        EXPECT_TRUE(isKey == 0 || isKey == 1);
        if (bytes == 0) {
            continue;
        }
        // Exactly the packet's bytes: the decoder must not read past them.
        std::vector<uint8_t> packet(out.begin(), out.begin() + bytes);
        DecodedPicture pic;
        ASSERT_EQ(CodecDecodeVideo(dec, packet.data(), bytes, &pic, 0, isKey, 0), 1);
        EXPECT_EQ(pic.nWidth, w);
        EXPECT_EQ(pic.nHeight, h);
        ASSERT_NE(pic.pY, nullptr);
        ASSERT_GE(pic.nStrideY, w);
        ASSERT_GE(pic.nStrideU, w / 2);
        if (n >= 4) {
            // With B-frames the output lags; compare against the best match.
            double best = 0;
            for (const auto& ref : sent) {
                best = std::max(best, LumaPsnr(ref.data(), w, h, pic.pY, pic.nStrideY));
            }
            worst = std::min(worst, best);
            ++decoded;
        }
    }
    EXPECT_GT(decoded, 4);
    EXPECT_GT(worst, c.minPsnr) << c.name;
}

INSTANTIATE_TEST_SUITE_P(AllCodecs, VideoRoundTrip, ::testing::ValuesIn(kVideoCodecs),
                         [](const auto& info) { return std::string(info.param.name); });

class ForcedKey : public CodecLayerTest, public ::testing::WithParamInterface<CodecCase> {};

// A forced key request gives a key packet at once, except with MPEG-2's
// B-frames, where the key packet comes two pictures later.
TEST_P(ForcedKey, KeyPacketFollowsTheRequest) {
    const CodecCase& c = GetParam();
    CodecParams p = Params(c.type, ACODEC_MP3, 176, 144, 256);
    CodecSlot* enc = CodecOpenEncoder(&p);
    ASSERT_NE(enc, nullptr);
    std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
    int keyAt = -1;
    const int request = 10;  // well inside the 30-picture GOP
    for (int n = 0; n < 16; ++n) {
        auto pic = MakeTestPicture(176, 144, n);
        int isKey = 0;
        int bytes = CodecEncodeVideo(enc, pic.data(), out.data(), n == request, &isKey, 0, 0);
        ASSERT_GE(bytes, 0);
        if (n > request - 3 && n < request && c.type != VCODEC_MJPEG) {
            EXPECT_EQ(isKey, 0) << "picture " << n;
        }
        if (n >= request && isKey && bytes > 0 && keyAt < 0) {
            keyAt = n;
        }
    }
    int expected = c.type == VCODEC_MPEG2 ? request + 2 : request;
    EXPECT_EQ(keyAt, expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(AllCodecs, ForcedKey, ::testing::ValuesIn(kVideoCodecs),
                         [](const auto& info) { return std::string(info.param.name); });

// A packet larger than the caller's 256000 bytes is dropped, never copied past it.
TEST_F(CodecLayerTest, OversizedPacketIsDroppedWithANegativeResult) {
    const int w = 1920, h = 1088;
    CodecParams p = Params(VCODEC_MJPEG, ACODEC_MP2, w, h, 65000);
    CodecSlot* enc = CodecOpenEncoder(&p);
    ASSERT_NE(enc, nullptr);
    std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES + 64, 0xA5);
    auto noise = MakeNoisePicture(w, h, 7);
    int isKey = 0;
    int bytes = CodecEncodeVideo(enc, noise.data(), out.data(), 1, &isKey, 0, 0);
    EXPECT_LT(bytes, 0);
    for (int i = CODEC_VIDEO_OUT_BYTES; i < CODEC_VIDEO_OUT_BYTES + 64; ++i) {
        ASSERT_EQ(out[i], 0xA5);
    }
    // A small picture afterwards encodes again.
    auto flat = std::vector<uint8_t>(static_cast<size_t>(w) * h * 3 / 2, 128);
    EXPECT_GT(CodecEncodeVideo(enc, flat.data(), out.data(), 0, &isKey, 0, 0), 0);
}

// A decoder opened for 352 x 288 reports that size for a smaller stream, and
// its planes hold a whole 352 x 288 picture. Before its first picture it
// reports the slot's zero-filled planes.
TEST_F(CodecLayerTest, DecoderReportsItsOpenSizeAndSafePlanes) {
    for (uint8_t type : {VCODEC_MPEG2, VCODEC_H264}) {
        CodecParams small = Params(type, ACODEC_MP3, 176, 144);
        CodecParams big = Params(type, ACODEC_MP3, 352, 288);
        CodecSlot* enc = CodecOpenEncoder(&small);
        CodecSlot* dec = CodecOpenDecoder(&big);
        ASSERT_NE(enc, nullptr);
        ASSERT_NE(dec, nullptr);
        std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
        bool sawPicture = false;
        for (int n = 0; n < 6; ++n) {
            auto pic = MakeTestPicture(176, 144, n);
            int isKey = 0;
            int bytes = CodecEncodeVideo(enc, pic.data(), out.data(), 0, &isKey, 0, 0);
            ASSERT_GE(bytes, 0);
            if (bytes == 0) {
                continue;  // MPEG-2 holds its first pictures back
            }
            DecodedPicture got;
            ASSERT_EQ(CodecDecodeVideo(dec, out.data(), bytes, &got, 0, isKey, 0), 1);
            EXPECT_EQ(got.nWidth, 352);
            EXPECT_EQ(got.nHeight, 288);
            ASSERT_GE(got.nStrideY, 352);
            ASSERT_GE(got.nStrideU, 176);
            ASSERT_GE(got.nStrideV, 176);
            // Reading the whole reported picture stays inside the planes (ASan).
            unsigned sum = 0;
            for (int r = 0; r < 288; ++r) {
                for (int c = 0; c < 352; ++c) {
                    sum += got.pY[r * got.nStrideY + c];
                }
            }
            for (int r = 0; r < 144; ++r) {
                for (int c = 0; c < 176; ++c) {
                    sum += got.pU[r * got.nStrideU + c] + got.pV[r * got.nStrideV + c];
                }
            }
            if (!dec->bHaveDecoded) {
                EXPECT_EQ(got.pY, dec->pY);
                EXPECT_EQ(sum, 0u);
                EXPECT_EQ(got.bKeyFrame, 0);
                continue;
            }
            EXPECT_GT(sum, 0u);
            if (!sawPicture) {
                EXPECT_EQ(got.bKeyFrame, 1) << int(type);
                sawPicture = true;
            }
        }
        EXPECT_TRUE(sawPicture);
    }
}

TEST_F(CodecLayerTest, SlotWithoutCodecEncodesAndDecodesNothing) {
    std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
    std::vector<uint8_t> pic(176 * 144 * 3 / 2, 16);
    int isKey = 5;
    EXPECT_EQ(CodecEncodeVideo(&g_EncoderSlots[3], pic.data(), out.data(), 1, &isKey, 1, 0), 0);
    EXPECT_EQ(CodecEncodeAudio(&g_EncoderSlots[3], pic.data(), out.data(), 1, 0), 0);
    DecodedPicture dp;
    EXPECT_EQ(CodecDecodeVideo(&g_DecoderSlots[3], pic.data(), 100, &dp, 1, 1, 0), 0);
    EXPECT_EQ(CodecDecodeAudio(&g_DecoderSlots[3], pic.data(), 100, out.data(), 4096, 1, 0), 0);
    EXPECT_EQ(CodecEncodeVideo(nullptr, pic.data(), out.data(), 1, &isKey, 1, 0), 0);
    EXPECT_EQ(CodecCloseSlot(nullptr, 0), 0);
}

namespace {

// Encodes about one second of tone; returns the packets.
std::vector<std::vector<uint8_t>> EncodeTone(CodecSlot* enc, int frames) {
    int frameBytes = CodecGetAudioFrameBytes(enc);
    std::vector<std::vector<uint8_t>> packets;
    std::vector<uint8_t> out(CODEC_AUDIO_OUT_BYTES);
    for (int i = 0; i < frames; ++i) {
        auto pcm = MakeTone(frameBytes / 2, i * frameBytes / 2);
        int n = CodecEncodeAudio(enc, pcm.data(), out.data(), 0, 0);
        EXPECT_GE(n, 0);
        if (n > 0) {
            packets.emplace_back(out.begin(), out.begin() + n);
        }
    }
    return packets;
}

int DecodeAll(CodecSlot* dec, const std::vector<std::vector<uint8_t>>& packets,
              std::vector<uint8_t>* pcm) {
    int total = 0;
    std::vector<uint8_t> buf(8192);
    for (const auto& pkt : packets) {
        int n = CodecDecodeAudio(dec, pkt.data(), static_cast<int>(pkt.size()), buf.data(),
                                 static_cast<int>(buf.size()), 0, 0);
        if (n > 0) {
            total += n;
            if (pcm != nullptr) {
                pcm->insert(pcm->end(), buf.begin(), buf.begin() + n);
            }
        }
    }
    return total;
}

}  // namespace

TEST_F(CodecLayerTest, AudioRoundTripBothCodecs) {
    for (uint8_t type : {ACODEC_MP3, ACODEC_MP2}) {
        CodecParams p = Params(VCODEC_H264, type);
        CodecSlot* enc = CodecOpenEncoder(&p);
        CodecSlot* dec = CodecOpenDecoder(&p);
        ASSERT_NE(enc, nullptr);
        ASSERT_NE(dec, nullptr);
        int frames = type == ACODEC_MP3 ? 40 : 20;
        auto packets = EncodeTone(enc, frames);
        ASSERT_GT(packets.size(), static_cast<size_t>(frames / 2));
        std::vector<uint8_t> pcm;
        int bytes = DecodeAll(dec, packets, &pcm);
        // Most of the sound comes back (encoder and decoder delays aside) and
        // it is not silence.
        EXPECT_GT(bytes, frames * CodecGetAudioFrameBytes(enc) * 3 / 4) << int(type);
        int peak = 0;
        for (size_t i = 0; i + 1 < pcm.size(); i += 2) {
            int s = static_cast<int16_t>(pcm[i] | (pcm[i + 1] << 8));
            peak = std::max(peak, std::abs(s));
        }
        EXPECT_GT(peak, 4000) << int(type);
        CodecCloseSlot(enc, 0);
        CodecCloseSlot(dec, 0);
    }
}

// The output capacity is a hard limit, however much the packet holds.
TEST_F(CodecLayerTest, AudioDecodeStopsAtTheCapacity) {
    for (uint8_t type : {ACODEC_MP3, ACODEC_MP2}) {
        CodecParams p = Params(VCODEC_H264, type);
        CodecSlot* enc = CodecOpenEncoder(&p);
        CodecSlot* dec = CodecOpenDecoder(&p);
        auto packets = EncodeTone(enc, 30);
        std::vector<uint8_t> joined;
        for (const auto& pkt : packets) {
            joined.insert(joined.end(), pkt.begin(), pkt.end());
        }
        std::vector<uint8_t> buf(1000 + 16, 0x5A);
        int n = CodecDecodeAudio(dec, joined.data(), static_cast<int>(joined.size()), buf.data(),
                                 1000, 0, 0);
        EXPECT_GT(n, 0) << int(type);
        EXPECT_LE(n, 1000) << int(type);
        for (int i = 1000; i < 1016; ++i) {
            ASSERT_EQ(buf[i], 0x5A);
        }
        CodecCloseSlot(enc, 0);
        CodecCloseSlot(dec, 0);
    }
}

// Several channels decode MP3 at once on their own threads: each gets the
// same sound as a decoder running alone.
TEST_F(CodecLayerTest, ParallelMp3DecodersDoNotDisturbEachOther) {
    CodecParams p = Params(VCODEC_H264, ACODEC_MP3);
    CodecSlot* enc = CodecOpenEncoder(&p);
    ASSERT_NE(enc, nullptr);
    auto packets = EncodeTone(enc, 60);
    CodecSlot* alone = CodecOpenDecoder(&p);
    std::vector<uint8_t> reference;
    DecodeAll(alone, packets, &reference);
    ASSERT_FALSE(reference.empty());

    const int kThreads = 4;
    std::vector<CodecSlot*> decs;
    for (int i = 0; i < kThreads; ++i) {
        decs.push_back(CodecOpenDecoder(&p));
        ASSERT_NE(decs.back(), nullptr);
    }
    std::vector<std::vector<uint8_t>> results(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            for (int round = 0; round < 3; ++round) {
                results[i].clear();
                CodecChangeDecoderAudio(decs[i], ACODEC_MP3);
                DecodeAll(decs[i], packets, &results[i]);
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    for (int i = 0; i < kThreads; ++i) {
        EXPECT_EQ(results[i], reference) << "decoder " << i;
    }
}

TEST_F(CodecLayerTest, ChangingTheAudioDecoderKeepsVideoWorking) {
    CodecParams p = Params(VCODEC_MPEG4, ACODEC_MP3);
    CodecParams mp2 = Params(VCODEC_MPEG4, ACODEC_MP2);
    CodecSlot* enc = CodecOpenEncoder(&p);
    CodecSlot* enc2 = CodecOpenEncoder(&mp2);
    CodecSlot* dec = CodecOpenDecoder(&p);
    ASSERT_NE(dec, nullptr);
    ASSERT_EQ(CodecChangeDecoderAudio(dec, ACODEC_MP2), 1);
    EXPECT_EQ(dec->pAudioCtx->codec_id, AV_CODEC_ID_MP2);
    auto packets = EncodeTone(enc2, 10);
    EXPECT_GT(DecodeAll(dec, packets, nullptr), 0);

    std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
    auto pic = MakeTestPicture(176, 144, 0);
    int isKey = 0;
    int bytes = CodecEncodeVideo(enc, pic.data(), out.data(), 1, &isKey, 0, 0);
    ASSERT_GT(bytes, 0);
    DecodedPicture got;
    ASSERT_EQ(CodecDecodeVideo(dec, out.data(), bytes, &got, 0, isKey, 0), 1);
    EXPECT_GT(LumaPsnr(pic.data(), 176, 144, got.pY, got.nStrideY), 28);

    EXPECT_EQ(CodecChangeDecoderAudio(dec, 9), 0);
    EXPECT_EQ(dec->pAudioCtx, nullptr);
    EXPECT_EQ(DecodeAll(dec, packets, nullptr), 0);
    ASSERT_EQ(CodecDecodeVideo(dec, out.data(), bytes, &got, 0, isKey, 0), 1);
}
