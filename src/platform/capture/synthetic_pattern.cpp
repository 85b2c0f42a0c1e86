#include "platform/capture/synthetic_pattern.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {
constexpr int32_t kBlock = 32;
constexpr int32_t kBlockStep = 8;

uint8_t Clamp(int32_t v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}
}  // namespace

int32_t PatternBlockX(int32_t width, int64_t frameNumber, bool still) {
    const int32_t span = width - kBlock;
    if (span <= 0 || still) {
        return 0;
    }
    return static_cast<int32_t>((frameNumber * kBlockStep) % (span + 1));
}

void RenderTestPattern(Subtype subtype, const PatternParams& p, std::vector<uint8_t>* out) {
    const int32_t w = p.width;
    const int32_t h = p.height;
    const int32_t bx = PatternBlockX(w, p.frameNumber, p.still);
    const int32_t by = std::max(0, (h - kBlock) / 2);
    const uint8_t bg = Clamp(p.background + p.lumaOffset);
    const uint8_t fg = Clamp(235 + p.lumaOffset);
    // Chroma also follows the input, so inputs differ in colour as well.
    const uint8_t u = static_cast<uint8_t>(128 + (p.background % 64) - 32);
    const uint8_t v = static_cast<uint8_t>(160 - (p.background % 64));
    auto lumaAt = [&](int32_t x, int32_t y) {
        return (x >= bx && x < bx + kBlock && y >= by && y < by + kBlock) ? fg : bg;
    };
    if (subtype == Subtype::YUY2) {
        out->assign(static_cast<size_t>(w) * h * 2, 0);
        uint8_t* d = out->data();
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x + 1 < w; x += 2) {
                *d++ = lumaAt(x, y);
                *d++ = u;
                *d++ = lumaAt(x + 1, y);
                *d++ = v;
            }
        }
        return;
    }
    const size_t ySize = static_cast<size_t>(w) * h;
    const size_t cSize = static_cast<size_t>(w / 2) * (h / 2);
    out->resize(ySize + 2 * cSize);
    uint8_t* yp = out->data();
    for (int32_t y = 0; y < h; ++y) {
        std::fill(yp + static_cast<size_t>(y) * w, yp + static_cast<size_t>(y) * w + w, bg);
        if (y >= by && y < by + kBlock) {
            const int32_t end = std::min(w, bx + kBlock);
            std::fill(yp + static_cast<size_t>(y) * w + bx, yp + static_cast<size_t>(y) * w + end,
                      fg);
        }
    }
    const bool yv12 = subtype == Subtype::YV12;
    std::fill(out->begin() + static_cast<std::ptrdiff_t>(ySize),
              out->begin() + static_cast<std::ptrdiff_t>(ySize + cSize), yv12 ? v : u);
    std::fill(out->begin() + static_cast<std::ptrdiff_t>(ySize + cSize), out->end(), yv12 ? u : v);
}

void RenderSineTone(uint32_t samplesPerSec, uint16_t channels, uint16_t bitsPerSample,
                    int64_t* phaseSamples, std::vector<uint8_t>* out) {
    const size_t bytesPerSample = bitsPerSample / 8;
    const size_t frameBytes = bytesPerSample * channels;
    if (frameBytes == 0 || samplesPerSec == 0) {
        return;
    }
    const size_t frames = out->size() / frameBytes;
    uint8_t* d = out->data();
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(*phaseSamples + static_cast<int64_t>(i)) /
                         static_cast<double>(samplesPerSec);
        const double s = std::sin(2.0 * M_PI * 440.0 * t);
        for (uint16_t c = 0; c < channels; ++c) {
            if (bytesPerSample == 1) {
                *d++ = static_cast<uint8_t>(128 + static_cast<int>(s * 64));
            } else {
                const auto v = static_cast<int16_t>(s * 8000);
                *d++ = static_cast<uint8_t>(v & 0xff);
                *d++ = static_cast<uint8_t>((v >> 8) & 0xff);
                for (size_t b = 2; b < bytesPerSample; ++b) {
                    *d++ = 0;
                }
            }
        }
    }
    *phaseSamples += static_cast<int64_t>(frames);
}
