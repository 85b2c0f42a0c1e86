// Decoding one received packet per call.

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

#include "media/codec_internal.h"
#include "media/mp3_decoder.h"

namespace {

// The decoders read up to AV_INPUT_BUFFER_PADDING_SIZE bytes past a packet's
// end, so every packet is copied into a padded buffer of the slot's own.
bool FillPaddedPacket(AVPacket* pkt, uint8_t** buffer, int* capacity, const uint8_t* data,
                      int len) {
    int need = len + AV_INPUT_BUFFER_PADDING_SIZE;
    if (need > *capacity) {
        av_freep(buffer);
        *buffer = static_cast<uint8_t*>(av_malloc(static_cast<size_t>(need)));
        *capacity = *buffer != nullptr ? need : 0;
        if (*buffer == nullptr) {
            return false;
        }
    }
    std::memcpy(*buffer, data, static_cast<size_t>(len));
    std::memset(*buffer + len, 0, AV_INPUT_BUFFER_PADDING_SIZE);
    av_packet_unref(pkt);
    pkt->data = *buffer;
    pkt->size = len;
    return true;
}

bool IsDirectFormat(const AVFrame* f, int width, int height) {
    return (f->format == AV_PIX_FMT_YUV420P || f->format == AV_PIX_FMT_YUVJ420P) &&
           f->width >= width && f->height >= height;
}

// A picture the callers could not read as 8-bit 4:2:0 of the slot's size is
// scaled into the slot's own planes.
bool ScaleIntoSlot(CodecSlot* slot, const AVFrame* f) {
    slot->pSws = sws_getCachedContext(
        slot->pSws, f->width, f->height, static_cast<AVPixelFormat>(f->format), slot->nWidth,
        slot->nHeight, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (slot->pSws == nullptr) {
        return false;
    }
    AVFrame* dst = slot->pPicture;
    return sws_scale(slot->pSws, f->data, f->linesize, 0, f->height, dst->data, dst->linesize) > 0;
}

void ReportPicture(const CodecSlot* slot, DecodedPicture* out) {
    out->nWidth = slot->nWidth;
    out->nHeight = slot->nHeight;
    out->bKeyFrame = slot->bHaveDecoded ? slot->bDecodedKey : 0;
    const AVFrame* f =
        slot->bHaveDecoded && !slot->bDecodedScaled ? slot->pDecoded : slot->pPicture;
    out->pY = f->data[0];
    out->pU = f->data[1];
    out->pV = f->data[2];
    out->nStrideY = f->linesize[0];
    out->nStrideU = f->linesize[1];
    out->nStrideV = f->linesize[2];
}

int16_t SampleAsS16(const AVFrame* f, int i) {
    const uint8_t* ch0 = f->data[0];
    switch (f->format) {
        case AV_SAMPLE_FMT_S16:
            return reinterpret_cast<const int16_t*>(ch0)[i * f->ch_layout.nb_channels];
        case AV_SAMPLE_FMT_S16P:
            return reinterpret_cast<const int16_t*>(ch0)[i];
        case AV_SAMPLE_FMT_FLT:
        case AV_SAMPLE_FMT_FLTP: {
            int step = f->format == AV_SAMPLE_FMT_FLT ? f->ch_layout.nb_channels : 1;
            float v = reinterpret_cast<const float*>(ch0)[i * step] * 32768.0f;
            return static_cast<int16_t>(std::clamp(v, -32768.0f, 32767.0f));
        }
        default:
            return 0;
    }
}

// Takes every frame the decoder has ready; the first channel goes out, up to
// the capacity. Frames beyond it are dropped so that the decoder never backs up.
int DrainAudioFrames(CodecSlot* slot, uint8_t* out, int capacitySamples) {
    int written = 0;
    AVFrame* f = slot->pAudioFrame;
    while (avcodec_receive_frame(slot->pAudioCtx, f) == 0) {
        int take = std::max(std::min(f->nb_samples, capacitySamples - written), 0);
        for (int i = 0; i < take; ++i) {
            int16_t v = SampleAsS16(f, i);
            std::memcpy(out + static_cast<size_t>(written + i) * 2, &v, 2);
        }
        written += take;
        av_frame_unref(f);
    }
    return written;
}

}  // namespace

int CodecDecodeVideo(CodecSlot* slot, const uint8_t* data, int len, DecodedPicture* picture,
                     int toFile, int packetIsKey, int nowSecond) {
    if (slot == nullptr || slot->pVideoCtx == nullptr || slot->pPicture == nullptr ||
        slot->bEncoder || !slot->bVideoOpen) {
        return 0;
    }
    if (data == nullptr || len <= 0 || picture == nullptr) {
        return 0;  // an empty packet would put the decoder into draining mode
    }
    if (!FillPaddedPacket(slot->pPacket, &slot->pInput, &slot->nInputCapacity, data, len)) {
        return 0;
    }
    int rc = avcodec_send_packet(slot->pVideoCtx, slot->pPacket);
    slot->pPacket->data = nullptr;
    slot->pPacket->size = 0;
    if (rc < 0) {
        return 0;
    }
    while (avcodec_receive_frame(slot->pVideoCtx, slot->pReceived) == 0) {
        av_frame_unref(slot->pDecoded);
        av_frame_move_ref(slot->pDecoded, slot->pReceived);
        slot->bHaveDecoded = true;
        slot->bDecodedKey = slot->pDecoded->key_frame ? 1 : 0;
        slot->bDecodedScaled = !IsDirectFormat(slot->pDecoded, slot->nWidth, slot->nHeight);
        if (slot->bDecodedScaled && !ScaleIntoSlot(slot, slot->pDecoded)) {
            // Cannot be read safely: show the slot's planes as they are.
            slot->bDecodedScaled = true;
        }
    }
    ReportPicture(slot, picture);
    if (toFile) {
        WriteRecordPacket(slot, true, data, len, packetIsKey != 0, nowSecond);
    }
    return 1;
}

int CodecDecodeAudio(CodecSlot* slot, const uint8_t* data, int len, uint8_t* pcmOut,
                     int pcmCapacity, int toFile, int nowSecond) {
    if (slot == nullptr || slot->pAudioCtx == nullptr || slot->bEncoder) {
        return 0;
    }
    if (data == nullptr || len <= 0 || pcmOut == nullptr || pcmCapacity < 2) {
        return 0;
    }
    const int capacitySamples = pcmCapacity / 2;
    int samples = 0;
    if (slot->pMp3 != nullptr) {
        samples = Mp3DecoderDecode(slot->pMp3, data, len, pcmOut, capacitySamples);
    } else if (slot->bAudioOpen) {
        if (!FillPaddedPacket(slot->pPacket, &slot->pAudioInput, &slot->nAudioInputCapacity, data,
                              len)) {
            return 0;
        }
        int rc = avcodec_send_packet(slot->pAudioCtx, slot->pPacket);
        slot->pPacket->data = nullptr;
        slot->pPacket->size = 0;
        samples = rc < 0 ? -1 : DrainAudioFrames(slot, pcmOut, capacitySamples);
    } else {
        return 0;
    }
    if (samples < 0) {
        return 0;  // a decoder error: nothing to play and nothing recorded
    }
    if (toFile) {
        WriteRecordPacket(slot, false, data, len, true, nowSecond);
    }
    return samples * 2;
}
