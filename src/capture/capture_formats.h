#pragma once
// Which capture formats are used: the list of usable video formats per
// device (YUV 4:2:0 or 4:2:2 of at most 352 x 288), the fixed sound format
// (PCM, mono, 22050 Hz, 16 bits in buffers of 2940 bytes), and applying the
// size and frame rate a channel is configured for.

#include <cstdint>
#include <memory>

constexpr uint8_t VMODE_I420 = 1;
constexpr uint8_t VMODE_YV12 = 2;
constexpr uint8_t VMODE_YUY2 = 3;

constexpr int32_t kMaxModeWidth = 352;
constexpr int32_t kMaxModeHeight = 288;
constexpr uint8_t kMinModeFps = 2;
// Highest rate offered for a capability that states no minimum interval.
constexpr uint8_t kUnstatedMaxFps = 30;

constexpr uint32_t kAudioSamplesPerSec = 22050;
constexpr int32_t kAudioBufferCount = 3;
constexpr int32_t kAudioBufferBytes = 2940;  // 1470 samples, 1/15 s

struct VideoDevMode {
    uint8_t byKind = 0;
    uint8_t byFps = 0;
    int32_t nWidth = 0;
    int32_t nHeight = 0;  // negative for a top-down format
    uint8_t byMinFps = kMinModeFps;
    uint8_t byMaxFps = 0;
    std::unique_ptr<VideoDevMode> pNext;
};

// One picture size as handed to the channel setup, 8 bytes.
struct VideoModeItem {
    uint16_t wWidth;
    uint16_t wHeight;
    uint16_t wMinFps;
    uint16_t wMaxFps;
};
static_assert(sizeof(VideoModeItem) == 8);

// 0 success, E_FAIL when no format qualifies or the sink cannot be added or
// connected.
int32_t FindVideoDevMode(int32_t device);
// 0 success, E_FAIL otherwise (with "SetAudio 22.05K Failed!!!" when no
// format could be set).
int32_t SetAudioCaptureMode(int32_t device);
// Items written; -1 index not in use; -2 not a video device; -3 the buffer
// cannot take the next item (those written stay).
int32_t ListVideoDevModes(uint8_t device, VideoModeItem* items, int32_t bufferBytes);
// 1 a format was applied; 0 nothing applied (the device keeps its format).
int32_t SelectVideoMode(uint8_t device, int32_t width, int32_t height, uint8_t fps);
// 0 success; E_FAIL with "Set Video Mode Failed!!!" otherwise.
int32_t ApplyVideoMode(int32_t device, VideoDevMode* mode);

// The highest frame rate a minimum frame interval (100 ns units) allows,
// saturated to a byte.
uint8_t MaxFpsOfInterval(int64_t minFrameInterval);
