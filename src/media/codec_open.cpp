// Opening and closing encoder and decoder slots.

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

#include "media/codec_internal.h"
#include "media/mp3_decoder.h"

namespace {

CodecSlot* ClaimFreeSlot(CodecSlot* table) {
    for (int i = 0; i < CODEC_SLOT_COUNT; ++i) {
        if (table[i].pVideoCtx == nullptr) {
            return &table[i];
        }
    }
    return nullptr;
}

bool SupportsSampleFormat(const AVCodec* codec, AVSampleFormat fmt) {
    if (codec->sample_fmts == nullptr) {
        return true;
    }
    for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f) {
        if (*f == fmt) {
            return true;
        }
    }
    return false;
}

// 16-bit samples always: LAME lists float first, which the PCM path has not.
AVSampleFormat ChooseSampleFormat(const AVCodec* codec) {
    if (SupportsSampleFormat(codec, AV_SAMPLE_FMT_S16)) {
        return AV_SAMPLE_FMT_S16;
    }
    if (SupportsSampleFormat(codec, AV_SAMPLE_FMT_S16P)) {
        return AV_SAMPLE_FMT_S16P;
    }
    return AV_SAMPLE_FMT_NONE;
}

bool AllocDecoderPlanes(CodecSlot* slot, int width, int height) {
    size_t luma = static_cast<size_t>(width) * height;
    slot->pY = static_cast<uint8_t*>(av_mallocz(luma + 64));
    slot->pU = static_cast<uint8_t*>(av_mallocz(luma / 4 + 64));
    slot->pV = static_cast<uint8_t*>(av_mallocz(luma / 4 + 64));
    slot->pPicture = av_frame_alloc();
    if (slot->pY == nullptr || slot->pU == nullptr || slot->pV == nullptr ||
        slot->pPicture == nullptr) {
        return false;
    }
    // The picture describes the slot's own planes; decoded pictures of
    // another size or format are scaled into them.
    slot->pPicture->format = AV_PIX_FMT_YUV420P;
    slot->pPicture->width = width;
    slot->pPicture->height = height;
    slot->pPicture->data[0] = slot->pY;
    slot->pPicture->data[1] = slot->pU;
    slot->pPicture->data[2] = slot->pV;
    slot->pPicture->linesize[0] = width;
    slot->pPicture->linesize[1] = width / 2;
    slot->pPicture->linesize[2] = width / 2;
    return true;
}

bool OpenEncoderVideo(CodecSlot* slot, const AVCodec* codec, const CodecParams& p) {
    AVCodecContext* ctx = slot->pVideoCtx;
    ctx->width = p.nWidth;
    ctx->height = p.nHeight;
    ctx->pix_fmt = AV_PIX_FMT_YUV420P;
    ctx->codec_type = AVMEDIA_TYPE_VIDEO;
    ctx->codec_id = codec->id;
    ctx->bit_rate = static_cast<int64_t>(p.nVideoKbps) * 1000;
    ctx->gop_size = 30;
    ctx->time_base = AVRational{1, 25};
    ctx->framerate = AVRational{25, 1};
    ctx->thread_count = 1;
    AVDictionary* opts = nullptr;
    if (codec->id == AV_CODEC_ID_MPEG2VIDEO) {
        ctx->max_b_frames = 2;
    }
    if (codec->id == AV_CODEC_ID_MPEG1VIDEO) {
        av_dict_set(&opts, "mbd", "rd", 0);
        // Without B-frames nothing needs holding back; by default the MPEG-1
        // encoder still delays every picture by one, and a forced key with it.
        ctx->flags |= AV_CODEC_FLAG_LOW_DELAY;
        ctx->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
    }
    if (codec->id == AV_CODEC_ID_H264) {
        // One packet per picture, at once: the x264 defaults hold 30 and
        // more pictures back, so a forced key frame and the live viewers lag.
        av_dict_set(&opts, "preset", "veryfast", 0);
        av_dict_set(&opts, "tune", "zerolatency", 0);
    }
    if (codec->id == AV_CODEC_ID_MJPEG) {
        ctx->color_range = AVCOL_RANGE_JPEG;  // plain 4:2:0 is refused otherwise
    }
    int rc = avcodec_open2(ctx, codec, &opts);
    av_dict_free(&opts);
    if (rc < 0) {
        return false;
    }
    slot->bVideoOpen = true;
    slot->pPicture = av_frame_alloc();
    if (slot->pPicture == nullptr) {
        return false;
    }
    slot->pPicture->format = AV_PIX_FMT_YUV420P;
    slot->pPicture->width = p.nWidth;
    slot->pPicture->height = p.nHeight;
    if (av_frame_get_buffer(slot->pPicture, 0) < 0) {
        return false;
    }
    slot->pY = slot->pPicture->data[0];
    slot->pU = slot->pPicture->data[1];
    slot->pV = slot->pPicture->data[2];
    return true;
}

void SetAudioBasics(AVCodecContext* ctx, int codecId, int64_t bitRate) {
    ctx->codec_type = AVMEDIA_TYPE_AUDIO;
    ctx->codec_id = static_cast<AVCodecID>(codecId);
    ctx->bit_rate = bitRate;
    ctx->sample_rate = 22050;
    ctx->time_base = AVRational{1, 22050};
    av_channel_layout_uninit(&ctx->ch_layout);
    av_channel_layout_default(&ctx->ch_layout, 1);
}

bool OpenEncoderAudio(CodecSlot* slot, const AVCodec* codec, const CodecParams& p) {
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    slot->pAudioCtx = ctx;
    if (ctx == nullptr) {
        return false;
    }
    SetAudioBasics(ctx, codec->id, static_cast<int64_t>(p.nAudioKbps) * 1000);
    ctx->sample_fmt = ChooseSampleFormat(codec);
    if (ctx->sample_fmt == AV_SAMPLE_FMT_NONE || avcodec_open2(ctx, codec, nullptr) < 0) {
        return false;
    }
    slot->bAudioOpen = true;
    slot->pAudioFrame = av_frame_alloc();
    if (slot->pAudioFrame == nullptr) {
        return false;
    }
    slot->pAudioFrame->nb_samples = ctx->frame_size;
    slot->pAudioFrame->format = ctx->sample_fmt;
    slot->pAudioFrame->sample_rate = ctx->sample_rate;
    av_channel_layout_copy(&slot->pAudioFrame->ch_layout, &ctx->ch_layout);
    return av_frame_get_buffer(slot->pAudioFrame, 0) >= 0;
}

// MP3 goes through LAME's decoder; the context only describes the stream.
bool OpenDecoderAudio(CodecSlot* slot, int codecId) {
    if (codecId == AV_CODEC_ID_MP3) {
        AVCodecContext* ctx = avcodec_alloc_context3(nullptr);
        slot->pAudioCtx = ctx;
        if (ctx == nullptr) {
            return false;
        }
        SetAudioBasics(ctx, codecId, 32000);
        ctx->sample_fmt = AV_SAMPLE_FMT_S16;
        ctx->frame_size = 576;
        slot->pMp3 = Mp3DecoderOpen();
        return slot->pMp3 != nullptr;
    }
    const AVCodec* codec = avcodec_find_decoder_by_name("mp2");
    if (codecId != AV_CODEC_ID_MP2 || codec == nullptr) {
        return false;
    }
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    slot->pAudioCtx = ctx;
    if (ctx == nullptr) {
        return false;
    }
    SetAudioBasics(ctx, codecId, 32000);
    if (avcodec_open2(ctx, codec, nullptr) < 0) {
        return false;
    }
    slot->bAudioOpen = true;
    return true;
}

void ReleaseAudio(CodecSlot* slot) {
    avcodec_free_context(&slot->pAudioCtx);  // closes it when it was opened
    slot->bAudioOpen = false;
    Mp3DecoderClose(slot->pMp3);
    slot->pMp3 = nullptr;
}

bool OpenEncoderInSlot(CodecSlot* slot, const CodecParams& p, int videoId, int audioId) {
    const AVCodec* vcodec = avcodec_find_encoder(static_cast<AVCodecID>(videoId));
    const AVCodec* acodec = avcodec_find_encoder(static_cast<AVCodecID>(audioId));
    if (vcodec == nullptr || acodec == nullptr) {
        return false;
    }
    slot->pVideoCtx = avcodec_alloc_context3(vcodec);
    if (slot->pVideoCtx == nullptr) {
        return false;
    }
    slot->pPacket = av_packet_alloc();
    return slot->pPacket != nullptr && OpenEncoderVideo(slot, vcodec, p) &&
           OpenEncoderAudio(slot, acodec, p);
}

// WMV2 pictures cannot be decoded without the encoder's extension header,
// which the stream packets do not carry. Every sender's encoder is opened
// with the same fixed settings, so a local encoder of the same size makes
// the same header.
bool CopyWmv2Header(AVCodecContext* decoder, const CodecParams& p) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMV2);
    AVCodecContext* enc = codec != nullptr ? avcodec_alloc_context3(codec) : nullptr;
    if (enc == nullptr) {
        return false;
    }
    enc->width = p.nWidth;
    enc->height = p.nHeight;
    enc->pix_fmt = AV_PIX_FMT_YUV420P;
    enc->bit_rate = static_cast<int64_t>(p.nVideoKbps > 0 ? p.nVideoKbps : 512) * 1000;
    enc->gop_size = 30;
    enc->time_base = AVRational{1, 25};
    bool ok = avcodec_open2(enc, codec, nullptr) >= 0 && enc->extradata_size > 0;
    if (ok) {
        decoder->extradata = static_cast<uint8_t*>(
            av_mallocz(static_cast<size_t>(enc->extradata_size) + AV_INPUT_BUFFER_PADDING_SIZE));
        ok = decoder->extradata != nullptr;
        if (ok) {
            std::memcpy(decoder->extradata, enc->extradata,
                        static_cast<size_t>(enc->extradata_size));
            decoder->extradata_size = enc->extradata_size;
        }
    }
    avcodec_free_context(&enc);
    return ok;
}

bool OpenDecoderInSlot(CodecSlot* slot, const CodecParams& p, int videoId, int audioId) {
    if (videoId == AV_CODEC_ID_H263P) {
        videoId = AV_CODEC_ID_H263;  // the H.263 decoder also reads H.263+
    }
    const AVCodec* vcodec = avcodec_find_decoder(static_cast<AVCodecID>(videoId));
    if (vcodec == nullptr) {
        return false;
    }
    slot->pVideoCtx = avcodec_alloc_context3(vcodec);
    if (slot->pVideoCtx == nullptr) {
        return false;
    }
    AVCodecContext* ctx = slot->pVideoCtx;
    ctx->coded_width = p.nWidth;
    ctx->coded_height = p.nHeight;
    ctx->width = p.nWidth;
    ctx->height = p.nHeight;
    ctx->pix_fmt = AV_PIX_FMT_YUV420P;
    ctx->codec_type = AVMEDIA_TYPE_VIDEO;
    ctx->gop_size = 30;
    ctx->time_base = AVRational{1, 25};
    ctx->thread_count = 1;  // frame threads would hold pictures back
    if (videoId == AV_CODEC_ID_WMV2 && !CopyWmv2Header(ctx, p)) {
        return false;
    }
    if (avcodec_open2(ctx, vcodec, nullptr) < 0) {
        return false;
    }
    slot->bVideoOpen = true;
    slot->pPacket = av_packet_alloc();
    slot->pDecoded = av_frame_alloc();
    slot->pReceived = av_frame_alloc();
    slot->pAudioFrame = av_frame_alloc();
    if (slot->pPacket == nullptr || slot->pDecoded == nullptr || slot->pReceived == nullptr ||
        slot->pAudioFrame == nullptr) {
        return false;
    }
    return AllocDecoderPlanes(slot, p.nWidth, p.nHeight) && OpenDecoderAudio(slot, audioId);
}

CodecSlot* OpenSlot(CodecSlot* table, const CodecParams* params, bool encoder) {
    if (params == nullptr || params->nWidth == 0 || params->nHeight == 0) {
        return nullptr;
    }
    int videoId = CodecMapVideoType(params->byVideoType);
    int audioId = CodecMapAudioType(params->byAudioType);
    if (videoId == AV_CODEC_ID_NONE || audioId == AV_CODEC_ID_NONE) {
        return nullptr;
    }
    std::lock_guard<std::recursive_mutex> lock(g_csCodec);
    CodecSlot* slot = ClaimFreeSlot(table);
    if (slot == nullptr) {
        return nullptr;
    }
    slot->bEncoder = encoder;
    bool ok = encoder ? OpenEncoderInSlot(slot, *params, videoId, audioId)
                      : OpenDecoderInSlot(slot, *params, videoId, audioId);
    if (!ok) {
        ReleaseSlot(slot);
        return nullptr;
    }
    slot->nWidth = params->nWidth;
    slot->nHeight = params->nHeight;
    return slot;
}

}  // namespace

void ReleaseSlot(CodecSlot* slot, int nowSecond) {
    std::lock_guard<std::recursive_mutex> lock(g_csCodec);
    if (slot->pFormatCtx != nullptr) {
        CodecCloseRecordFile(slot, nowSecond);  // trailer and index: the recording stays whole
    }
    ReleaseAudio(slot);
    av_frame_free(&slot->pAudioFrame);
    av_frame_free(&slot->pDecoded);
    av_frame_free(&slot->pReceived);
    av_frame_free(&slot->pPicture);
    av_packet_free(&slot->pPacket);
    sws_freeContext(slot->pSws);
    slot->pSws = nullptr;
    av_freep(&slot->pInput);
    slot->nInputCapacity = 0;
    av_freep(&slot->pAudioInput);
    slot->nAudioInputCapacity = 0;
    if (slot->bEncoder) {
        slot->pY = slot->pU = slot->pV = nullptr;  // they belonged to the picture
    } else {
        av_freep(&slot->pY);
        av_freep(&slot->pU);
        av_freep(&slot->pV);
    }
    slot->bHaveDecoded = false;
    slot->bDecodedScaled = false;
    slot->bDecodedKey = 0;
    slot->nVideoPts = 0;
    slot->nAudioPts = 0;
    slot->bLastKey = 0;
    slot->bVideoOpen = false;
    avcodec_free_context(&slot->pVideoCtx);  // last: a null video context frees the slot
}

void ReleaseSlot(CodecSlot* slot) {
    ReleaseSlot(slot, slot->record.nLastSecond);
}

CodecSlot* CodecOpenEncoder(const CodecParams* params) {
    return OpenSlot(g_EncoderSlots, params, true);
}

CodecSlot* CodecOpenDecoder(const CodecParams* params) {
    return OpenSlot(g_DecoderSlots, params, false);
}

int CodecChangeDecoderAudio(CodecSlot* slot, uint8_t audioType) {
    if (slot == nullptr || slot->pVideoCtx == nullptr) {
        return 0;
    }
    std::lock_guard<std::recursive_mutex> lock(g_csCodec);
    ReleaseAudio(slot);
    int audioId = CodecMapAudioType(audioType);
    if (audioId == AV_CODEC_ID_NONE || !OpenDecoderAudio(slot, audioId)) {
        ReleaseAudio(slot);
        return 0;
    }
    return 1;
}

int CodecGetAudioFrameBytes(CodecSlot* slot) {
    if (slot == nullptr || slot->pAudioCtx == nullptr) {
        return -1;
    }
    return slot->pAudioCtx->frame_size * 2;
}

int CodecCloseSlot(CodecSlot* slot, int nowSecond) {
    if (slot == nullptr) {
        return 0;
    }
    ReleaseSlot(slot, nowSecond);
    return 1;
}
