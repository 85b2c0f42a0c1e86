#pragma once
// Converting a YUV 4:2:0 picture into a display surface of 352 x 288 by
// its pixel format code: a larger picture is cropped, and no row is written
// wider than the surface's pitch leaves room for.

#include <cstdint>

// Converts the picture and stores the size drawn into *shownWidth and
// *shownHeight (0 x 0 for an unknown format or a pitch too small).
void ConvertToSurface(uint8_t* surface, uint8_t format, int pitch, const uint8_t* y,
                      const uint8_t* u, const uint8_t* v, int yStride, int uvStride, int width,
                      int height, int* shownWidth, int* shownHeight);
