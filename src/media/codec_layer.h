#pragma once
// The codec layer: the only code that talks to libavcodec and libavformat.
// Plain functions over two fixed tables of 16 slots (encoders, decoders);
// a caller keeps the slot pointer as its handle. Failure is reported by a
// null slot, 0 or a negative count; the layer shows no messages.

#include <cstdint>

#include "media/codec_types.h"

struct AVCodecContext;
struct AVFrame;
struct AVFormatContext;
struct AVStream;
struct AVPacket;
struct SwsContext;
struct Mp3Decoder;

// Output buffer sizes the callers provide.
constexpr int CODEC_VIDEO_OUT_BYTES = 256000;
constexpr int CODEC_AUDIO_OUT_BYTES = 4096;
constexpr int CODEC_SLOT_COUNT = 16;

struct CodecParams {
    uint8_t byVideoType = 0;
    uint8_t byAudioType = 0;
    uint16_t nVideoKbps = 0;
    uint16_t nAudioKbps = 0;
    uint16_t nWidth = 0;
    uint16_t nHeight = 0;
    uint8_t byRecFile = 0;  // container choice of the record settings; never read here
};

// What the record file of a slot keeps besides the muxer itself.
struct RecordFileState {
    char szNativePath[1024] = {};
    int nStartSecond = 0;
    int64_t nVideoPackets = 0;
    int64_t nAudioPackets = 0;
    bool bWaitingForKey = true;  // nothing is written before the first video key packet
    bool bRateFrozen = false;    // the first RIFF was ended: figures taken
    int nFrozenSeconds = 0;
    int64_t nFrozenFrames = 0;
    int64_t nLastFlushMs = 0;
    int nLastSecond = 0;  // the second of the open or of the last packet
};

struct CodecSlot {
    int nSlot = 0;
    int nWidth = 0;
    int nHeight = 0;
    AVCodecContext* pVideoCtx = nullptr;  // null: the slot is free
    AVCodecContext* pAudioCtx = nullptr;
    AVFrame* pPicture = nullptr;
    AVFormatContext* pFormatCtx = nullptr;
    AVStream* pVideoStream = nullptr;
    AVStream* pAudioStream = nullptr;
    uint8_t* pY = nullptr;
    uint8_t* pU = nullptr;
    uint8_t* pV = nullptr;

    // Layer-private state.
    bool bEncoder = false;
    bool bVideoOpen = false;  // pVideoCtx went through a successful open
    bool bAudioOpen = false;
    AVPacket* pPacket = nullptr;     // reused for every encode and decode
    AVFrame* pAudioFrame = nullptr;  // encoder input / decoder output
    AVFrame* pDecoded = nullptr;     // newest decoded picture
    AVFrame* pReceived = nullptr;    // receives the next one
    bool bHaveDecoded = false;
    bool bDecodedScaled = false;  // the newest picture lives in pY, pU, pV
    int bDecodedKey = 0;
    SwsContext* pSws = nullptr;  // decoded pictures of another size or format
    Mp3Decoder* pMp3 = nullptr;  // MP3 decoding through LAME
    uint8_t* pInput = nullptr;   // padded copy of a video packet to decode
    int nInputCapacity = 0;
    uint8_t* pAudioInput = nullptr;  // the same for sound
    int nAudioInputCapacity = 0;
    int64_t nVideoPts = 0;
    int64_t nAudioPts = 0;
    int bLastKey = 0;
    RecordFileState record;
};

struct DecodedPicture {
    int nWidth = 0;  // the slot's open size, not the stream's
    int nHeight = 0;
    int nStrideY = 0;
    int nStrideU = 0;
    int nStrideV = 0;
    uint8_t* pY = nullptr;
    uint8_t* pU = nullptr;
    uint8_t* pV = nullptr;
    int bKeyFrame = 0;
};

extern CodecSlot g_EncoderSlots[CODEC_SLOT_COUNT];
extern CodecSlot g_DecoderSlots[CODEC_SLOT_COUNT];

// Both free every slot; a record file still open is closed at the second
// of its last packet.
int CodecInit();
void CodecCleanup();

// Library codec id (an AVCodecID value); AV_CODEC_ID_NONE (0) for none.
int CodecMapVideoType(uint8_t type);
int CodecMapAudioType(uint8_t type);

CodecSlot* CodecOpenEncoder(const CodecParams* params);
CodecSlot* CodecOpenDecoder(const CodecParams* params);
int CodecChangeDecoderAudio(CodecSlot* slot, uint8_t audioType);
int CodecGetAudioFrameBytes(CodecSlot* slot);

// toFile: the packet also goes into the slot's record file (when one is
// open). nowSecond is the caller's uptime second; the record file measures
// its frame rate with it (see media/record_rate.h).

// yuv: one I420 picture of the slot's size; out: CODEC_VIDEO_OUT_BYTES bytes.
// Returns the packet size, 0 when the encoder held the picture back, negative
// on an encoder error or a packet larger than out.
int CodecEncodeVideo(CodecSlot* slot, const uint8_t* yuv, uint8_t* out, int forceKey, int* isKey,
                     int toFile, int nowSecond);
// pcm: CodecGetAudioFrameBytes bytes; out: CODEC_AUDIO_OUT_BYTES bytes.
int CodecEncodeAudio(CodecSlot* slot, const uint8_t* pcm, uint8_t* out, int toFile, int nowSecond);

// packetIsKey: the key bit the sender put into the packet's header; it marks
// the packet in the record file.
int CodecDecodeVideo(CodecSlot* slot, const uint8_t* data, int len, DecodedPicture* picture,
                     int toFile, int packetIsKey, int nowSecond);
// Writes at most pcmCapacity bytes of 16-bit mono PCM; returns the bytes
// written, 0 or less for no sound.
int CodecDecodeAudio(CodecSlot* slot, const uint8_t* data, int len, uint8_t* pcmOut,
                     int pcmCapacity, int toFile, int nowSecond);

// Closes a record file still open first, as CodecCloseRecordFile does.
int CodecCloseSlot(CodecSlot* slot, int nowSecond);

// Record files (AVI; the video stream header carries the measured rate).
int CodecOpenRecordFile(CodecSlot* slot, const char* path, int nowSecond);
int CodecCloseRecordFile(CodecSlot* slot, int nowSecond);
