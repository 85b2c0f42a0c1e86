// Encoding one picture or one audio frame per call.

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

#include "media/codec_internal.h"

namespace {

void CopyPlane(uint8_t* dst, int dstStride, const uint8_t* src, int width, int rows) {
    for (int r = 0; r < rows; ++r) {
        std::memcpy(dst + static_cast<ptrdiff_t>(r) * dstStride,
                    src + static_cast<ptrdiff_t>(r) * width, static_cast<size_t>(width));
    }
}

// Takes the encoder's next packet, if any, into out. Returns its size, 0 when
// the encoder holds the input back, negative on an error or when the packet
// would not fit into out.
int ReceiveOnePacket(CodecSlot* slot, AVCodecContext* ctx, uint8_t* out, int capacity, bool* key) {
    AVPacket* pkt = slot->pPacket;
    int rc = avcodec_receive_packet(ctx, pkt);
    if (rc == AVERROR(EAGAIN)) {
        return 0;
    }
    if (rc < 0) {
        return rc;
    }
    *key = (pkt->flags & AV_PKT_FLAG_KEY) != 0;
    int n = pkt->size;
    if (n > capacity) {
        n = AVERROR(ENOBUFS);  // dropped: never copied past the caller's buffer
    } else {
        std::memcpy(out, pkt->data, static_cast<size_t>(n));
    }
    av_packet_unref(pkt);
    return n;
}

}  // namespace

int CodecEncodeVideo(CodecSlot* slot, const uint8_t* yuv, uint8_t* out, int forceKey, int* isKey,
                     int toFile, int nowSecond) {
    if (slot == nullptr || slot->pVideoCtx == nullptr || slot->pPicture == nullptr ||
        !slot->bEncoder || !slot->bVideoOpen) {
        return 0;
    }
    if (yuv == nullptr || out == nullptr) {
        return AVERROR(EINVAL);
    }
    AVFrame* pic = slot->pPicture;
    // Copies only when the encoder still holds the previous picture (B-frames).
    if (av_frame_make_writable(pic) < 0) {
        return AVERROR(ENOMEM);
    }
    slot->pY = pic->data[0];
    slot->pU = pic->data[1];
    slot->pV = pic->data[2];
    const int w = slot->nWidth;
    const int h = slot->nHeight;
    const uint8_t* srcU = yuv + static_cast<size_t>(w) * h;
    const uint8_t* srcV = srcU + static_cast<size_t>(w) * h / 4;
    CopyPlane(pic->data[0], pic->linesize[0], yuv, w, h);
    CopyPlane(pic->data[1], pic->linesize[1], srcU, w / 2, h / 2);
    CopyPlane(pic->data[2], pic->linesize[2], srcV, w / 2, h / 2);
    pic->pict_type = forceKey ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    pic->pts = slot->nVideoPts++;

    int rc = avcodec_send_frame(slot->pVideoCtx, pic);
    if (rc < 0) {
        return rc;
    }
    bool key = false;
    int n = ReceiveOnePacket(slot, slot->pVideoCtx, out, CODEC_VIDEO_OUT_BYTES, &key);
    if (n > 0 || n == AVERROR(ENOBUFS)) {
        slot->bLastKey = key ? 1 : 0;
    }
    if (isKey != nullptr) {
        *isKey = slot->bLastKey;
    }
    if (toFile && n > 0) {
        WriteRecordPacket(slot, true, out, n, key, nowSecond);
    }
    return n;
}

int CodecEncodeAudio(CodecSlot* slot, const uint8_t* pcm, uint8_t* out, int toFile, int nowSecond) {
    if (slot == nullptr || slot->pAudioCtx == nullptr || !slot->bAudioOpen || !slot->bEncoder ||
        slot->pAudioFrame == nullptr) {
        return 0;
    }
    if (pcm == nullptr || out == nullptr) {
        return AVERROR(EINVAL);
    }
    AVFrame* frame = slot->pAudioFrame;
    if (av_frame_make_writable(frame) < 0) {
        return AVERROR(ENOMEM);
    }
    // Mono: packed and planar 16-bit hold the same bytes.
    std::memcpy(frame->data[0], pcm, static_cast<size_t>(frame->nb_samples) * 2);
    frame->pts = slot->nAudioPts;
    slot->nAudioPts += frame->nb_samples;
    int rc = avcodec_send_frame(slot->pAudioCtx, frame);
    if (rc < 0) {
        return rc;
    }
    bool key = false;
    int n = ReceiveOnePacket(slot, slot->pAudioCtx, out, CODEC_AUDIO_OUT_BYTES, &key);
    if (toFile && n > 0) {
        WriteRecordPacket(slot, false, out, n, true, nowSecond);
    }
    return n;
}
