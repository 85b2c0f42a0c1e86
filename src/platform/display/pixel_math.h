#pragma once
// Pixel arithmetic shared by the surfaces, the blits and the screen image.
// Screen pixels are 0xFFRRGGBB words (bytes B, G, R, 255 in memory).

#include <algorithm>
#include <cstdint>

namespace display_pixels {

constexpr uint32_t kOpaque = 0xFF000000u;

inline uint32_t MakeRgb(int r, int g, int b) {
    return kOpaque | (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
           static_cast<uint32_t>(b);
}
inline int RedOf(uint32_t rgb) {
    return static_cast<int>((rgb >> 16) & 0xFF);
}
inline int GreenOf(uint32_t rgb) {
    return static_cast<int>((rgb >> 8) & 0xFF);
}
inline int BlueOf(uint32_t rgb) {
    return static_cast<int>(rgb & 0xFF);
}

// Bytes per pixel of a surface of this depth: 0 (YUY2), 15 and 16 take 2,
// 8 takes 1, 24 takes 3 and any other 4.
constexpr int BytesPerPixelOfDepth(int depth) {
    switch (depth) {
        case 0:
        case 15:
        case 16:
            return 2;
        case 8:
            return 1;
        case 24:
            return 3;
        default:
            return 4;
    }
}

inline int Clamp255(int v) {
    return std::clamp(v, 0, 255);
}

// Studio-range BT.601 in 6 fraction bits, as a card's colour converter does.
inline uint32_t YuvToRgb(int y, int u, int v) {
    const int c = 74 * (y - 16);
    const int d = u - 128;
    const int e = v - 128;
    return MakeRgb(Clamp255((c + 102 * e) >> 6), Clamp255((c - 25 * d - 52 * e) >> 6),
                   Clamp255((c + 129 * d) >> 6));
}

// Pixel x of a YUY2 row (Y0 U Y1 V per pixel pair).
inline uint32_t Yuy2ToRgb(const uint8_t* row, int x) {
    const uint8_t* pair = row + (x & ~1) * 2;
    return YuvToRgb(row[x * 2], pair[1], pair[3]);
}

// The value an RGB colour has in a screen or surface of the given depth
// (15: 5-5-5, 16: 5-6-5, 24 and 32: 8-8-8).
inline uint32_t PackRgb(uint32_t rgb, int depth) {
    const uint32_t r = static_cast<uint32_t>(RedOf(rgb));
    const uint32_t g = static_cast<uint32_t>(GreenOf(rgb));
    const uint32_t b = static_cast<uint32_t>(BlueOf(rgb));
    switch (depth) {
        case 15:
            return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        case 16:
            return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        default:
            return rgb & 0x00FFFFFFu;
    }
}

inline int Expand5(uint32_t v) {
    return static_cast<int>((v << 3) | (v >> 2));
}
inline int Expand6(uint32_t v) {
    return static_cast<int>((v << 2) | (v >> 4));
}

// The colour a packed value of the given depth shows.
inline uint32_t UnpackRgb(uint32_t value, int depth) {
    switch (depth) {
        case 15:
            return MakeRgb(Expand5((value >> 10) & 0x1F), Expand5((value >> 5) & 0x1F),
                           Expand5(value & 0x1F));
        case 16:
            return MakeRgb(Expand5((value >> 11) & 0x1F), Expand6((value >> 5) & 0x3F),
                           Expand5(value & 0x1F));
        default:
            return kOpaque | (value & 0x00FFFFFFu);
    }
}

// An RGB colour as a screen of that depth shows it.
inline uint32_t QuantizeRgb(uint32_t rgb, int depth) {
    return UnpackRgb(PackRgb(rgb, depth), depth);
}

}  // namespace display_pixels
