#include "netservice/stream_header.h"

void WriteStreamHeader(uint8_t* out, StreamHeader h) {
    out[0] = static_cast<uint8_t>(h);
    out[1] = static_cast<uint8_t>(h >> 8);
    out[2] = static_cast<uint8_t>(h >> 16);
    out[3] = static_cast<uint8_t>(h >> 24);
}

StreamHeader ReadStreamHeader(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
           static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
}

void SetHeaderCodecType(StreamHeader& tmpl, uint8_t codecType) {
    tmpl = SetStreamField(tmpl, SH_CODEC_TYPE, codecType);
}

void SetHeaderPicSizeCode(StreamHeader& videoTmpl, uint8_t sizeCode) {
    videoTmpl = SetStreamField(videoTmpl, SH_PIC_SIZE_CODE, sizeCode);
}

StreamHeader CompleteVideoHeader(StreamHeader& videoTmpl, bool keyFrame, uint32_t length,
                                 uint32_t frameSpan) {
    StreamHeader h = SetStreamField(videoTmpl, SH_KEY_FRAME, keyFrame ? 1u : 0u);
    h = SetStreamField(h, SH_PAYLOAD_LENGTH, length);
    h = SetStreamField(h, SH_FRAME_SPAN, frameSpan);
    videoTmpl = h;
    return h;
}

StreamHeader CompleteAudioHeader(StreamHeader& audioTmpl, uint32_t length) {
    StreamHeader h = SetStreamField(audioTmpl, SH_PAYLOAD_LENGTH, length);
    h = SetStreamField(h, SH_FRAME_SPAN, 1u);
    audioTmpl = h;
    return h;
}
