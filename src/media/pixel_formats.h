#pragma once
// Display pixel format codes of the channel surfaces (0 = no surfaces).

#include <cstdint>

constexpr uint8_t PIXFMT_YUY2 = 1;
constexpr uint8_t PIXFMT_RGB32 = 2;
constexpr uint8_t PIXFMT_RGB24 = 3;
constexpr uint8_t PIXFMT_RGB565 = 4;
constexpr uint8_t PIXFMT_RGB555 = 5;
constexpr uint8_t PIXFMT_YUY2_OVERLAY = 6;
