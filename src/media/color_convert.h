#pragma once
// Colour conversion of planar YUV 4:2:0 pictures into the display surface
// layouts and the 24-bit snapshot buffer. All converters take the same
// arguments: dstStride counts output pixels between rows; a negative height
// reads the picture bottom-up. Rows are converted in pairs (an odd last row
// is not converted); bytes outside the converted pixels are never written.

#include <cstdint>

using Yv12Converter = void (*)(uint8_t* dst, int dstStride, const uint8_t* y, const uint8_t* u,
                               const uint8_t* v, int yStride, int uvStride, int width, int height);

// Y, U, Y, V per pair of pixels (PIXFMT_YUY2 and PIXFMT_YUY2_OVERLAY).
void Yv12ToYuy2(uint8_t* dst, int dstStride, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                int yStride, int uvStride, int width, int height);
// B, G, R, 0 (PIXFMT_RGB32).
void Yv12ToBgra32(uint8_t* dst, int dstStride, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                  int yStride, int uvStride, int width, int height);
// B, G, R (PIXFMT_RGB24 and JPEG snapshots).
void Yv12ToBgr24(uint8_t* dst, int dstStride, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                 int yStride, int uvStride, int width, int height);
// 16-bit little-endian words with error diffusion along each row.
void Yv12ToRgb565(uint8_t* dst, int dstStride, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                  int yStride, int uvStride, int width, int height);
void Yv12ToRgb555(uint8_t* dst, int dstStride, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                  int yStride, int uvStride, int width, int height);

// The converter for a display pixel format code, or null for none.
Yv12Converter Yv12ConverterFor(uint8_t pixelFormat);

// BT.601 studio range in 13 fraction bits, indexed by sample value.
extern int32_t g_YToRgb[256];
extern int32_t g_UToB[256];
extern int32_t g_UToG[256];
extern int32_t g_VToG[256];
extern int32_t g_VToR[256];

// Fills the tables; the program does it once at start-up. They are also
// filled before main, so a converter never sees empty tables.
void InitYv12RgbTables();
