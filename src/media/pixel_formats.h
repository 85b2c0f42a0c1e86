#pragma once
// Display pixel format codes of the channel surfaces (0 = no surfaces).

#include <cstdint>
#include <iterator>

constexpr uint8_t PIXFMT_YUY2 = 1;
constexpr uint8_t PIXFMT_RGB32 = 2;
constexpr uint8_t PIXFMT_RGB24 = 3;
constexpr uint8_t PIXFMT_RGB565 = 4;
constexpr uint8_t PIXFMT_RGB555 = 5;
constexpr uint8_t PIXFMT_YUY2_OVERLAY = 6;

// Bytes per pixel of a format code above; 0 for none and an unknown code.
constexpr int BytesPerPixelOfFormat(uint8_t format) {
    constexpr int kBytes[] = {0, 2, 4, 3, 2, 2, 2};  // indexed by the code
    return format < std::size(kBytes) ? kBytes[format] : 0;
}
