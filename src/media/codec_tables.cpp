#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}

#include "media/codec_internal.h"

CodecSlot g_EncoderSlots[CODEC_SLOT_COUNT];
CodecSlot g_DecoderSlots[CODEC_SLOT_COUNT];
std::recursive_mutex g_csCodec;

int CodecMapVideoType(uint8_t type) {
    switch (type) {
        case 0:
        case VCODEC_H261:
            return AV_CODEC_ID_H261;
        case VCODEC_H264:
            return AV_CODEC_ID_H264;
        case VCODEC_H263:
            return AV_CODEC_ID_H263P;
        case VCODEC_MPEG4:
            return AV_CODEC_ID_MPEG4;
        case VCODEC_MPEG2:
            return AV_CODEC_ID_MPEG2VIDEO;
        case VCODEC_MPEG1:
            return AV_CODEC_ID_MPEG1VIDEO;
        case VCODEC_FLV1:
            return AV_CODEC_ID_FLV1;
        case VCODEC_WMV2:
            return AV_CODEC_ID_WMV2;
        case VCODEC_WMV1:
            return AV_CODEC_ID_WMV1;
        case VCODEC_MJPEG:
            return AV_CODEC_ID_MJPEG;
        default:
            return AV_CODEC_ID_NONE;
    }
}

int CodecMapAudioType(uint8_t type) {
    switch (type) {
        case 0:
        case ACODEC_MP3:
            return AV_CODEC_ID_MP3;
        case ACODEC_MP2:
        case 3:
            return AV_CODEC_ID_MP2;
        default:
            return AV_CODEC_ID_NONE;
    }
}

int NominalAudioFrameSize(int codecId) {
    return codecId == AV_CODEC_ID_MP3 ? 576 : 1152;
}

int CodecInit() {
    std::lock_guard<std::recursive_mutex> lock(g_csCodec);
    for (int i = 0; i < CODEC_SLOT_COUNT; ++i) {
        ReleaseSlot(&g_EncoderSlots[i]);
        g_EncoderSlots[i] = CodecSlot{};
        g_EncoderSlots[i].nSlot = i;
        g_EncoderSlots[i].bEncoder = true;
    }
    for (int i = 0; i < CODEC_SLOT_COUNT; ++i) {
        ReleaseSlot(&g_DecoderSlots[i]);
        g_DecoderSlots[i] = CodecSlot{};
        g_DecoderSlots[i].nSlot = i;
    }
    // The library's chatter (encoder statistics, stream warnings) would fill
    // the console of a recorder running for weeks; errors still show.
    av_log_set_level(AV_LOG_ERROR);
    return 1;
}

void CodecCleanup() {
    std::lock_guard<std::recursive_mutex> lock(g_csCodec);
    for (auto& slot : g_EncoderSlots) {
        ReleaseSlot(&slot);
    }
    for (auto& slot : g_DecoderSlots) {
        ReleaseSlot(&slot);
    }
}
