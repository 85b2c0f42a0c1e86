#pragma once
// A screen with the video wall on it and pictures written straight into
// channel surfaces in their display pixel format, for the renderer tests.

#include <cstdint>
#include <cstring>
#include <memory>

#include "media/pixel_formats.h"
#include "platform/display/direct_draw.h"
#include "platform/display/faulty_display_device.h"
#include "platform/display/pixel_math.h"

namespace display_test {

namespace px = display_pixels;

struct Yuv {
    uint8_t y, u, v;
};

// The colour a YUV sample has once it is in a surface of the format and on
// a screen of the depth.
inline uint32_t ShownColour(Yuv c, uint8_t format, int depth) {
    const uint32_t rgb = px::YuvToRgb(c.y, c.u, c.v);
    switch (format) {
        case PIXFMT_RGB565:
            return px::QuantizeRgb(rgb, 16);
        case PIXFMT_RGB555:
            return px::QuantizeRgb(rgb, 15);
        default:
            return px::QuantizeRgb(rgb, depth);
    }
}

// Writes a width x height picture, left half in colour a and right half in
// colour b, at address with rows pitch bytes apart.
inline void WritePicture(uint8_t* address, int pitch, uint8_t format, int width, int height, Yuv a,
                         Yuv b) {
    for (int y = 0; y < height; ++y) {
        uint8_t* row = address + static_cast<size_t>(y) * pitch;
        for (int x = 0; x < width; ++x) {
            const Yuv c = x < width / 2 ? a : b;
            const uint32_t rgb = px::YuvToRgb(c.y, c.u, c.v);
            switch (format) {
                case PIXFMT_YUY2:
                case PIXFMT_YUY2_OVERLAY:
                    row[2 * x] = c.y;
                    row[2 * x + 1] = (x & 1) == 0 ? c.u : c.v;
                    break;
                case PIXFMT_RGB32:
                    row[4 * x] = static_cast<uint8_t>(px::BlueOf(rgb));
                    row[4 * x + 1] = static_cast<uint8_t>(px::GreenOf(rgb));
                    row[4 * x + 2] = static_cast<uint8_t>(px::RedOf(rgb));
                    row[4 * x + 3] = 0;
                    break;
                case PIXFMT_RGB24:
                    row[3 * x] = static_cast<uint8_t>(px::BlueOf(rgb));
                    row[3 * x + 1] = static_cast<uint8_t>(px::GreenOf(rgb));
                    row[3 * x + 2] = static_cast<uint8_t>(px::RedOf(rgb));
                    break;
                case PIXFMT_RGB565:
                case PIXFMT_RGB555: {
                    const uint32_t v = px::PackRgb(rgb, format == PIXFMT_RGB565 ? 16 : 15);
                    row[2 * x] = static_cast<uint8_t>(v);
                    row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                    break;
                }
                default:
                    break;
            }
        }
    }
}

// The main window's client area (1024 x 768) with the wall's client area
// of 790 x 646 at (19, 16) inside its one-pixel border.
constexpr RECT kWallClient{19, 16, 19 + 790, 16 + 646};

struct Screen {
    explicit Screen(int depth = 32, DisplayCaps caps = {}) {
        caps.checkWritesOutsideLock = true;
        device = std::make_shared<FaultyDisplayDevice>(caps);
        SetDefaultDisplayDevice(device);
        target = std::make_shared<DisplayTarget>(1024, 768, depth);
        wall = std::make_unique<DisplayWindow>(target, kWallClient, 1);
    }
    ~Screen() { SetDefaultDisplayDevice(nullptr); }

    uint32_t Seen(const std::vector<uint32_t>& image, int x, int y) const {
        return image[static_cast<size_t>(y) * target->Width() + x];
    }

    std::shared_ptr<FaultyDisplayDevice> device;
    std::shared_ptr<DisplayTarget> target;
    std::unique_ptr<DisplayWindow> wall;
};

}  // namespace display_test
