#pragma once
// The measured frame rate of a record file: frames written over whole
// seconds elapsed. The AVI writer ends its first RIFF once the file passes
// 1 GB; the figures are taken at that moment, or at the close when the whole
// file stays in the first RIFF.

#include <cstdint>

#include "media/codec_layer.h"

// The AVI writer starts its next RIFF when the file position before a packet
// lies more than this many bytes past the start of the current RIFF's data.
constexpr int64_t kAviRiffLimit = 0x40000000;
constexpr int64_t kAviFirstRiffStart = 8;

// Before each packet is written: filePos is the muxer's position, nowSecond
// the uptime.
void NoteBeforeRecordPacket(RecordFileState& state, int64_t filePos, int nowSecond,
                            int64_t riffLimit = kAviRiffLimit);

struct MeasuredRate {
    bool bValid = false;  // false: keep the nominal 1/25
    uint32_t dwScale = 1;
    uint32_t dwRate = 25;
};

// The figures for the video stream header once the file is closed.
MeasuredRate FinalRecordRate(const RecordFileState& state, int nowSecond);
