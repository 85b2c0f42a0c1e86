#pragma once
// Media types and capability records of the capture graph, as plain values.
// A format block is either a video information header or a wave format; the
// type says which one is meaningful and how many bytes the device claims for
// it (a short block exists on some devices and must be rejected by readers).

#include <cstdint>
#include "platform/mediacodes/media_codes.h"

enum class MajorType : uint8_t { Any, Video, Audio, Interleaved, Other };
enum class Subtype : uint8_t { None, I420, YV12, YUY2, MJPG, RGB24, PCM, Other };
enum class FormatType : uint8_t { None, VideoInfo, VideoInfo2, WaveFormatEx, Other };

// Format block sizes of the standard headers.
constexpr uint32_t kVideoInfoSize = 88;
constexpr uint32_t kVideoInfo2Size = 112;
constexpr uint32_t kWaveFormatExSize = 18;

// Capability record sizes that tell video from audio configuration.
constexpr int kVideoCapsRecordSize = 128;
constexpr int kAudioCapsRecordSize = 52;

struct RectL {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct BitmapInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;  // negative: top-down rows
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;  // four-character code
    uint32_t biSizeImage = 0;
};

struct VideoInfoHeader {
    RectL rcSource;
    RectL rcTarget;
    uint32_t dwBitRate = 0;
    uint32_t dwBitErrorRate = 0;
    int64_t AvgTimePerFrame = 0;  // 100 ns units
    BitmapInfoHeader bmiHeader;
};

struct WaveFormatEx {
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
};

struct MediaType {
    MajorType majortype = MajorType::Any;
    Subtype subtype = Subtype::None;
    FormatType formattype = FormatType::None;
    uint32_t cbFormat = 0;  // 0: no format block present
    VideoInfoHeader video;  // meaningful for VideoInfo and VideoInfo2
    WaveFormatEx wave;      // meaningful for WaveFormatEx
};

struct VideoStreamConfigCaps {
    int32_t MinOutputWidth = 0, MinOutputHeight = 0;
    int32_t MaxOutputWidth = 0, MaxOutputHeight = 0;
    int64_t MinFrameInterval = 0;  // 100 ns units
    int64_t MaxFrameInterval = 0;
};

struct AudioStreamConfigCaps {
    uint32_t MinimumChannels = 0, MaximumChannels = 0;
    uint32_t MinimumBitsPerSample = 0, MaximumBitsPerSample = 0;
    uint32_t MinimumSampleFrequency = 0, MaximumSampleFrequency = 0;
};

// One capability record; which half is filled depends on the record size.
struct StreamCaps {
    VideoStreamConfigCaps video;
    AudioStreamConfigCaps audio;
};

struct AllocatorProperties {
    int32_t cBuffers = -1;
    int32_t cbBuffer = -1;
    int32_t cbAlign = -1;
    int32_t cbPrefix = -1;
};

// Picture bytes of a frame in the given subtype, 0 for unknown layouts.
int32_t FrameBytes(Subtype subtype, int32_t width, int32_t height);

// A video media type of the standard layout for the given picture.
MediaType MakeVideoType(Subtype subtype, int32_t width, int32_t height, int64_t avgTimePerFrame);

// A PCM media type.
MediaType MakePcmType(uint32_t samplesPerSec, uint16_t channels, uint16_t bitsPerSample);
