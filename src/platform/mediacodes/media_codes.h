#pragma once
// Codes that the capture, display and sound stand-ins share, defined once so
// that one file may include all three.

#include <cstdint>

// Sample format tag of plain PCM in a wave format record.
constexpr uint16_t WAVE_FORMAT_PCM = 1;

// Four-character code, first character in the lowest byte (a video header's
// compression field, a surface's pixel format).
constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}
