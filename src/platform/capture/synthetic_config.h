#pragma once
// Description of synthetic capture devices: what each one offers, how it
// misbehaves, and how it paces its samples. Built in code by tests or read
// from an ini file (see ParseSyntheticConfig for the keys).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/capture/media_type.h"

// Steps at which a synthetic device can be made to fail.
enum SyntheticFailure : uint32_t {
    kFailNone = 0,
    kFailBag = 1u << 0,           // the property bag cannot be bound
    kFailBind = 1u << 1,          // the capture filter cannot be bound
    kFailStreamConfig = 1u << 2,  // the capture pin offers no stream configuration
    kFailConnect = 1u << 3,       // the capture pin refuses every connection
    kFailRun = 1u << 4,           // the device cannot start streaming
    kFailSetFormat = 1u << 5,     // the device refuses every new format
    kFailBuffers = 1u << 6,       // the pin offers no buffer negotiation
};

struct SyntheticVideoCap {
    Subtype subtype = Subtype::I420;
    int32_t width = 352;
    int32_t height = 288;               // negative: top-down
    int64_t minFrameInterval = 400000;  // 100 ns units; 0 allowed
    MajorType major = MajorType::Video;
    FormatType formatType = FormatType::VideoInfo;
    uint32_t cbFormat = 0;  // 0: the header's standard size
};

struct SyntheticCrossbarInput {
    int32_t physicalType = 2;   // connector type
    int upstreamCrossbar = -1;  // index of the crossbar feeding this input
    bool withAudio = false;     // followed by a related audio input
    int32_t audioType = 4097;
};

struct SyntheticCrossbar {
    std::vector<SyntheticCrossbarInput> inputs;
};

struct SyntheticProcAmpRange {
    bool present = false;
    int32_t min = 0, max = 255, step = 1, def = 128;
};

struct SyntheticVideoDevice {
    std::optional<std::string> description;   // UTF-8
    std::optional<std::string> friendlyName;  // UTF-8
    std::vector<SyntheticVideoCap> caps;
    int defaultCap = 0;  // index of the initial format
    uint32_t failures = kFailNone;
    int capsRecordSize = 128;
    bool analogInput = false;  // has an analog video input pin
    // Crossbar 0 feeds the analog input; others feed crossbar inputs.
    std::vector<SyntheticCrossbar> crossbars;
    // Brightness, contrast, hue, saturation (by property id).
    std::array<SyntheticProcAmpRange, 4> procAmp{};
    bool realtime = true;  // false: only the test pushes pictures
    bool still = false;    // the moving block stays put
};

struct SyntheticAudioFormat {
    uint32_t samplesPerSec = 22050;
    uint16_t channels = 1;
    uint16_t bitsPerSample = 16;
    Subtype subtype = Subtype::PCM;
    FormatType formatType = FormatType::WaveFormatEx;
    uint32_t cbFormat = 0;
};

struct SyntheticAudioDevice {
    std::optional<std::string> description;
    std::optional<std::string> friendlyName;
    std::vector<SyntheticAudioFormat> formats;
    int defaultFormat = 0;
    uint32_t failures = kFailNone;
    int capsRecordSize = 52;
    bool realtime = true;
};

struct SyntheticConfig {
    std::vector<SyntheticVideoDevice> video;
    std::vector<SyntheticAudioDevice> audio;
};

// Reads the ini text. Sections [Video...] and [Audio...] in file order; unknown keys are errors so
// that a typo does not pass unnoticed. Returns false with a message in *error.
bool ParseSyntheticConfig(const std::string& text, SyntheticConfig* config, std::string* error);
bool LoadSyntheticConfig(const std::string& path, SyntheticConfig* config, std::string* error);
