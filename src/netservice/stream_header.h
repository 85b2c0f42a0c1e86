#pragma once
// The 32-bit word in front of every stream packet a channel sends, records,
// queues or receives; it is the stream's only framing. Stored and sent
// little-endian, followed directly by the payload.
//
//   bit 0       kind: 1 video, 0 audio
//   bits 1-4    frame span: capture periods the packet stands for (audio 1)
//   bits 5-22   payload length in bytes
//   bit 23      key frame (audio always 0)
//   bits 24-27  codec type code (VCODEC_* or ACODEC_*, media/codec_types.h)
//   bits 28-31  picture size code (audio always 0)
//
// A field is stored as its value masked to its width; the other bits stay.
// A length above STREAM_MAX_PAYLOAD would be cut by the mask, so callers
// keep payloads below it.

#include <cstdint>

using StreamHeader = uint32_t;

struct StreamHeaderField {
    unsigned shift;
    unsigned width;
};

constexpr StreamHeaderField SH_KIND{0, 1};
constexpr StreamHeaderField SH_FRAME_SPAN{1, 4};
constexpr StreamHeaderField SH_PAYLOAD_LENGTH{5, 18};
constexpr StreamHeaderField SH_KEY_FRAME{23, 1};
constexpr StreamHeaderField SH_CODEC_TYPE{24, 4};
constexpr StreamHeaderField SH_PIC_SIZE_CODE{28, 4};

constexpr uint32_t STREAM_MAX_PAYLOAD = (1u << 18) - 1;  // 262143
constexpr unsigned STREAM_HEADER_BYTES = 4;

constexpr uint32_t StreamFieldMask(StreamHeaderField f) {
    return (1u << f.width) - 1u;
}

constexpr uint32_t GetStreamField(StreamHeader h, StreamHeaderField f) {
    return (h >> f.shift) & StreamFieldMask(f);
}

// h with field f replaced by value masked to the field's width.
constexpr StreamHeader SetStreamField(StreamHeader h, StreamHeaderField f, uint32_t value) {
    const uint32_t mask = StreamFieldMask(f) << f.shift;
    return (h & ~mask) | ((value << f.shift) & mask);
}

constexpr bool IsVideoPacket(StreamHeader h) {
    return GetStreamField(h, SH_KIND) != 0;
}
constexpr uint32_t GetFrameSpan(StreamHeader h) {
    return GetStreamField(h, SH_FRAME_SPAN);
}
constexpr uint32_t GetPayloadLength(StreamHeader h) {
    return GetStreamField(h, SH_PAYLOAD_LENGTH);
}
constexpr bool IsKeyFrame(StreamHeader h) {
    return GetStreamField(h, SH_KEY_FRAME) != 0;
}
// A video key frame: what a receiver waiting for a key frame looks for.
constexpr bool IsVideoKeyFrame(StreamHeader h) {
    return IsVideoPacket(h) && IsKeyFrame(h);
}
constexpr uint8_t GetCodecType(StreamHeader h) {
    return static_cast<uint8_t>(GetStreamField(h, SH_CODEC_TYPE));
}
constexpr uint8_t GetPicSizeCodeOf(StreamHeader h) {
    return static_cast<uint8_t>(GetStreamField(h, SH_PIC_SIZE_CODE));
}

// Byte order of the stored and sent word: least significant byte first.
void WriteStreamHeader(uint8_t* out, StreamHeader h);
StreamHeader ReadStreamHeader(const uint8_t* in);

// The channel's two templates as constructed: video has bit 0 set, audio
// is all zero.
constexpr StreamHeader VIDEO_HEADER_TEMPLATE = 1u;
constexpr StreamHeader AUDIO_HEADER_TEMPLATE = 0u;

// Template set-up: the video template takes the video codec type and the
// picture size code; the audio template takes only the audio codec type.
void SetHeaderCodecType(StreamHeader& tmpl, uint8_t codecType);
void SetHeaderPicSizeCode(StreamHeader& videoTmpl, uint8_t sizeCode);

// Completes the template for a packet just encoded and returns the
// packet's header (the template keeps the new value).
// Video: key frame flag, payload length, frame span.
StreamHeader CompleteVideoHeader(StreamHeader& videoTmpl, bool keyFrame, uint32_t length,
                                 uint32_t frameSpan);
// Audio: payload length, frame span 1.
StreamHeader CompleteAudioHeader(StreamHeader& audioTmpl, uint32_t length);
