#pragma once
// What the motion dialog draws over the preview picture before it shows
// it, on the luma plane of a picture of width x height: the motion test's
// shading of the cells above the threshold, the 8 x 8 grid and a black
// diamond on every watched cell; and the conversion into the preview's
// surface by the renderer's format code.

#include <cstdint>

// Halves the luma of every cell whose level is above the threshold.
void ShadeMotionCells(uint8_t* y, int yStride, int width, int height, const uint8_t levels[64],
                      int threshold);

// The seven inner grid lines each way in black, then a diamond on every
// cell whose mask byte is not 0, at the middle of a cell wider (higher)
// than 16 pixels, else at its left (top) edge.
void DrawGridAndMask(uint8_t* y, int yStride, int width, int height, const uint8_t mask[64]);

// Converts the picture into surface memory locked with the given pitch
// and format code (high byte the display pixel format, low byte the bytes
// per pixel). False for a code the preview has no converter for.
bool ConvertPreviewPicture(uint8_t* surface, int pitch, uint16_t code, const uint8_t* y,
                           const uint8_t* u, const uint8_t* v, int yStride, int uvStride, int width,
                           int height);
