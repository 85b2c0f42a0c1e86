// Record files: one AVI per slot, video as stream 0 and sound as stream 1.

#include <chrono>
#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "media/avi_rate_patch.h"
#include "media/codec_internal.h"
#include "media/record_rate.h"
#include "platform/paths/native_path.h"

namespace {

constexpr size_t kMaxPathChars = 1023;

// A killed process keeps everything up to the last flush: flush at every
// video key frame and at least once a second.
constexpr int64_t kFlushIntervalMs = 1000;

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

AVRational NominalTimeBase(const AVCodecParameters* par, bool video) {
    if (video) {
        return AVRational{1, 25};
    }
    return AVRational{par->frame_size, par->sample_rate > 0 ? par->sample_rate : 22050};
}

void FreeMuxer(CodecSlot* slot) {
    if (slot->pFormatCtx != nullptr) {
        avio_closep(&slot->pFormatCtx->pb);
        avformat_free_context(slot->pFormatCtx);  // frees both streams
    }
    slot->pFormatCtx = nullptr;
    slot->pVideoStream = nullptr;
    slot->pAudioStream = nullptr;
}

bool AddStreams(CodecSlot* slot) {
    AVFormatContext* fc = slot->pFormatCtx;
    AVStream* video = avformat_new_stream(fc, nullptr);
    if (video == nullptr || avcodec_parameters_from_context(video->codecpar, slot->pVideoCtx) < 0) {
        return false;
    }
    video->id = 0;
    video->time_base = AVRational{1, 25};
    slot->pVideoStream = video;

    AVStream* audio = avformat_new_stream(fc, nullptr);
    if (audio == nullptr) {
        return false;
    }
    audio->id = 1;
    AVCodecParameters* par = audio->codecpar;
    if (slot->pAudioCtx != nullptr) {
        if (avcodec_parameters_from_context(par, slot->pAudioCtx) < 0) {
            return false;
        }
    } else {
        // A decoder slot whose audio change failed still records two streams.
        par->codec_type = AVMEDIA_TYPE_AUDIO;
        par->codec_id = AV_CODEC_ID_MP3;
        par->sample_rate = 22050;
        av_channel_layout_default(&par->ch_layout, 1);
    }
    // The writer's audio timing comes from the frame size; a decoder's context
    // has none before it decoded.
    if (par->frame_size <= 0) {
        par->frame_size = NominalAudioFrameSize(par->codec_id);
    }
    if (par->sample_rate <= 0) {
        par->sample_rate = 22050;
    }
    audio->time_base = NominalTimeBase(par, false);
    slot->pAudioStream = audio;
    return true;
}

}  // namespace

int CodecOpenRecordFile(CodecSlot* slot, const char* path, int nowSecond) {
    if (slot == nullptr || path == nullptr || slot->pVideoCtx == nullptr) {
        return 0;
    }
    const AVOutputFormat* format = av_guess_format(nullptr, path, nullptr);
    if (format == nullptr) {
        return 0;
    }
    if (std::strlen(path) > kMaxPathChars) {
        return 0;  // the name would be cut: another file than the one asked for
    }
    std::string native = ToNativePath(path);
    if (native.empty() || native.size() >= sizeof slot->record.szNativePath) {
        return 0;
    }
    if (slot->pFormatCtx != nullptr) {
        CodecCloseRecordFile(slot, nowSecond);
    }
    std::lock_guard<std::recursive_mutex> lock(g_csCodec);
    if (avformat_alloc_output_context2(&slot->pFormatCtx, format, nullptr, native.c_str()) < 0) {
        slot->pFormatCtx = nullptr;
        return 0;
    }
    if (!AddStreams(slot) ||
        avio_open(&slot->pFormatCtx->pb, native.c_str(), AVIO_FLAG_WRITE) < 0) {
        FreeMuxer(slot);
        return 0;
    }
    RecordFileState& rec = slot->record;
    rec = RecordFileState{};
    std::memcpy(rec.szNativePath, native.c_str(), native.size() + 1);
    rec.nStartSecond = nowSecond;
    rec.nLastSecond = nowSecond;
    if (avformat_write_header(slot->pFormatCtx, nullptr) < 0) {
        FreeMuxer(slot);  // no trailer for a file whose header was not written
        return 0;
    }
    avio_flush(slot->pFormatCtx->pb);
    rec.nLastFlushMs = NowMs();
    return 1;
}

int CodecCloseRecordFile(CodecSlot* slot, int nowSecond) {
    if (slot == nullptr) {
        return 0;
    }
    std::lock_guard<std::recursive_mutex> lock(g_csCodec);
    if (slot->pFormatCtx == nullptr) {
        return 1;
    }
    av_write_trailer(slot->pFormatCtx);
    FreeMuxer(slot);
    MeasuredRate rate = FinalRecordRate(slot->record, nowSecond);
    if (rate.bValid) {
        PatchAviVideoRate(slot->record.szNativePath, rate.dwScale, rate.dwRate);
    }
    slot->record = RecordFileState{};
    return 1;
}

void WriteRecordPacket(CodecSlot* slot, bool video, const uint8_t* data, int len, bool key,
                       int nowSecond) {
    AVFormatContext* fc = slot->pFormatCtx;
    if (fc == nullptr || data == nullptr || len <= 0) {
        return;
    }
    RecordFileState& rec = slot->record;
    // Every file starts with a picture a player can decode; sound waits for
    // it too, so both streams start together.
    if (rec.bWaitingForKey) {
        if (!video || !key) {
            return;
        }
        rec.bWaitingForKey = false;
    }
    AVStream* st = video ? slot->pVideoStream : slot->pAudioStream;
    if (st == nullptr) {
        return;
    }
    rec.nLastSecond = nowSecond;
    NoteBeforeRecordPacket(rec, avio_tell(fc->pb), nowSecond);
    int64_t& count = video ? rec.nVideoPackets : rec.nAudioPackets;
    AVPacket* pkt = av_packet_alloc();
    if (pkt == nullptr) {
        return;
    }
    pkt->data = const_cast<uint8_t*>(data);  // only read by the writer
    pkt->size = len;
    pkt->stream_index = st->index;
    // Without time stamps the writer pads the sound with empty chunks.
    pkt->pts = pkt->dts = av_rescale_q(count, NominalTimeBase(st->codecpar, video), st->time_base);
    pkt->flags = key ? AV_PKT_FLAG_KEY : 0;
    if (av_write_frame(fc, pkt) >= 0) {
        ++count;  // a failed write loses that packet only
    }
    pkt->data = nullptr;
    pkt->size = 0;
    av_packet_free(&pkt);
    int64_t now = NowMs();
    if ((video && key) || now - rec.nLastFlushMs >= kFlushIntervalMs) {
        avio_flush(fc->pb);
        rec.nLastFlushMs = now;
    }
}
