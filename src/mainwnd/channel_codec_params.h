#pragma once
// The codec parameters a local channel is opened with, from its source and
// record settings.

#include "media/codec_layer.h"
#include "settings/settings_types.h"

inline CodecParams CodecParamsOf(const ChannelEntry& source, const RecordEntry& record) {
    CodecParams p;
    p.byVideoType = static_cast<uint8_t>(record.enc_method + 1);
    p.byAudioType = static_cast<uint8_t>(record.aud_method + 1);
    p.nVideoKbps = record.bitrate;
    p.nAudioKbps = record.audbitrate;
    p.nWidth = source.width;
    p.nHeight = source.height;
    p.byRecFile = record.recfile;
    return p;
}
