#pragma once
// Pictures and sound of the synthetic devices: a test pattern whose
// background follows the routed input and whose luma follows brightness,
// with a 32 x 32 block that moves 8 pixels a picture (unless still), and a
// 440 Hz sine tone.

#include <cstdint>
#include <vector>

#include "platform/capture/media_type.h"

struct PatternParams {
    int32_t width = 0;
    int32_t height = 0;  // absolute
    uint8_t background = 96;
    int32_t lumaOffset = 0;  // added to every luma sample, clamped
    int64_t frameNumber = 0;
    bool still = false;
};

// Fills out with one picture in the subtype's layout (I420, YV12 or YUY2);
// any other subtype gets an I420 picture.
void RenderTestPattern(Subtype subtype, const PatternParams& params, std::vector<uint8_t>* out);

// Fills out with bytes of a sine tone continuing from *phaseSamples.
void RenderSineTone(uint32_t samplesPerSec, uint16_t channels, uint16_t bitsPerSample,
                    int64_t* phaseSamples, std::vector<uint8_t>* out);

// Where the moving block's left edge is in the given picture.
int32_t PatternBlockX(int32_t width, int64_t frameNumber, bool still);
