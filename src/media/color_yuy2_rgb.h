#pragma once
// Packed YUY2 pictures (Y, U, Y, V per pair of pixels, each row with its own
// chroma) into B, G, R, 0 quads, with the arithmetic of Yv12ToBgra32, so a
// picture shows the same colours whether it reaches RGB straight from 4:2:0
// or through a YUY2 surface. dstStride counts output pixels between rows,
// srcPitch bytes; only whole pairs are converted (an odd last pixel is not),
// and nothing outside the converted pixels is written.

#include <cstdint>

void Yuy2ToBgra32(uint8_t* dst, int dstStride, const uint8_t* src, int srcPitch, int width,
                  int height);
