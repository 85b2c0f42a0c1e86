#include "netservice/stream_header.h"

#include <gtest/gtest.h>

#include <array>

#include "media/codec_types.h"

namespace {

using Bytes = std::array<uint8_t, 4>;

Bytes ToBytes(StreamHeader h) {
    Bytes b{};
    WriteStreamHeader(b.data(), h);
    return b;
}

StreamHeader VideoTemplate(uint8_t codec, uint8_t sizeCode) {
    StreamHeader t = VIDEO_HEADER_TEMPLATE;
    SetHeaderCodecType(t, codec);
    SetHeaderPicSizeCode(t, sizeCode);
    return t;
}

TEST(StreamHeaderTest, PacketsEncodeToTheKnownBytes) {
    struct Case {
        const char* what;
        bool video;
        uint8_t codec, sizeCode;
        bool key;
        uint32_t length, span;
        Bytes bytes;
    };
    const Case cases[] = {
        {"H.264 key frame, 5000 bytes, 352x288, span 1",
         true,
         VCODEC_H264,
         5,
         true,
         5000,
         1,
         {0x03, 0x71, 0x82, 0x51}},
        {"H.264 frame, 1200 bytes, 352x288, span 3",
         true,
         VCODEC_H264,
         5,
         false,
         1200,
         3,
         {0x07, 0x96, 0x00, 0x51}},
        {"MP3 packet, 100 bytes", false, ACODEC_MP3, 0, false, 100, 1, {0x82, 0x0C, 0x00, 0x01}},
    };
    for (const Case& c : cases) {
        StreamHeader tmpl = c.video ? VideoTemplate(c.codec, c.sizeCode) : AUDIO_HEADER_TEMPLATE;
        if (!c.video) {
            SetHeaderCodecType(tmpl, c.codec);
        }
        StreamHeader h = c.video ? CompleteVideoHeader(tmpl, c.key, c.length, c.span)
                                 : CompleteAudioHeader(tmpl, c.length);
        EXPECT_EQ(tmpl, h) << c.what << ": the template keeps the packet's value";
        EXPECT_EQ(ToBytes(h), c.bytes) << c.what;

        StreamHeader back = ReadStreamHeader(c.bytes.data());
        EXPECT_EQ(back, h) << c.what;
        EXPECT_EQ(IsVideoPacket(back), c.video) << c.what;
        EXPECT_EQ(IsKeyFrame(back), c.key) << c.what;
        EXPECT_EQ(GetPayloadLength(back), c.length) << c.what;
        EXPECT_EQ(GetFrameSpan(back), c.span) << c.what;
        EXPECT_EQ(GetCodecType(back), c.codec) << c.what;
        EXPECT_EQ(GetPicSizeCodeOf(back), c.sizeCode) << c.what;
    }
}

TEST(StreamHeaderTest, FieldsAreMaskedToTheirWidthAndLeaveOthersAlone) {
    struct Case {
        StreamHeaderField field;
        uint32_t value, stored;
    };
    const Case cases[] = {
        {SH_KIND, 3, 1},
        {SH_FRAME_SPAN, 15, 15},
        {SH_FRAME_SPAN, 16, 0},
        {SH_PAYLOAD_LENGTH, 256000, 256000},
        {SH_PAYLOAD_LENGTH, STREAM_MAX_PAYLOAD, STREAM_MAX_PAYLOAD},
        {SH_PAYLOAD_LENGTH, STREAM_MAX_PAYLOAD + 2, 1},
        {SH_CODEC_TYPE, 0x1A, 0xA},
        {SH_PIC_SIZE_CODE, 0xFF, 0xF},
    };
    for (const Case& c : cases) {
        const StreamHeader all = 0xFFFFFFFFu;
        const StreamHeader none = 0;
        const uint32_t mask = StreamFieldMask(c.field) << c.field.shift;
        EXPECT_EQ(GetStreamField(SetStreamField(none, c.field, c.value), c.field), c.stored);
        EXPECT_EQ(SetStreamField(none, c.field, c.value) & ~mask, 0u) << "no spill";
        EXPECT_EQ(SetStreamField(all, c.field, c.value) | mask, all) << "others kept";
    }
}

TEST(StreamHeaderTest, AudioHeadersCanNeverLookLikeAVideoKeyFrame) {
    StreamHeader tmpl = AUDIO_HEADER_TEMPLATE;
    SetHeaderCodecType(tmpl, ACODEC_MP2);
    for (uint32_t length : {0u, 1u, 417u, 256000u, STREAM_MAX_PAYLOAD}) {
        StreamHeader h = CompleteAudioHeader(tmpl, length);
        EXPECT_FALSE(IsVideoPacket(h));
        EXPECT_FALSE(IsKeyFrame(h));
        EXPECT_FALSE(IsVideoKeyFrame(h));
        EXPECT_EQ(GetPicSizeCodeOf(h), 0u);
        EXPECT_EQ(GetFrameSpan(h), 1u);
        EXPECT_EQ(GetCodecType(h), ACODEC_MP2);
    }
}

TEST(StreamHeaderTest, VideoTemplateCarriesSettingsIntoEveryPacket) {
    StreamHeader tmpl = VideoTemplate(VCODEC_MPEG4, 0);  // a size without a code
    StreamHeader key = CompleteVideoHeader(tmpl, true, 256000, 2);
    EXPECT_TRUE(IsVideoKeyFrame(key));
    EXPECT_EQ(GetPayloadLength(key), 256000u);
    EXPECT_EQ(GetPicSizeCodeOf(key), 0u);

    // A later non-key packet clears the key flag the template still held.
    StreamHeader next = CompleteVideoHeader(tmpl, false, 10, 1);
    EXPECT_FALSE(IsKeyFrame(next));
    EXPECT_EQ(GetCodecType(next), VCODEC_MPEG4);
    EXPECT_EQ(GetPicSizeCodeOf(next), 0u);

    // A size or mode change rewrites only its own bits.
    SetHeaderPicSizeCode(tmpl, 1);
    SetHeaderCodecType(tmpl, VCODEC_MJPEG);
    StreamHeader after = CompleteVideoHeader(tmpl, false, 10, 1);
    EXPECT_EQ(GetPicSizeCodeOf(after), 1u);
    EXPECT_EQ(GetCodecType(after), VCODEC_MJPEG);
    EXPECT_TRUE(IsVideoPacket(after));
}

}  // namespace
