#pragma once
// Display pixel format codes of the channel surfaces (0 = no surfaces).

#include <cstdint>

constexpr uint8_t PIXFMT_YUY2 = 1;
constexpr uint8_t PIXFMT_RGB32 = 2;
constexpr uint8_t PIXFMT_RGB24 = 3;
constexpr uint8_t PIXFMT_RGB565 = 4;
constexpr uint8_t PIXFMT_RGB555 = 5;
constexpr uint8_t PIXFMT_YUY2_OVERLAY = 6;

// Bytes per pixel of a display pixel format code; 0 for no format and for a
// code that names none.
constexpr int BytesPerPixelOfFormat(uint8_t format) {
    switch (format) {
        case PIXFMT_YUY2:
        case PIXFMT_YUY2_OVERLAY:
        case PIXFMT_RGB565:
        case PIXFMT_RGB555:
            return 2;
        case PIXFMT_RGB24:
            return 3;
        case PIXFMT_RGB32:
            return 4;
        default:
            return 0;
    }
}
