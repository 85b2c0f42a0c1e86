#pragma once
// Motion-grid samplers: reduce the luma plane of a picture of one of four
// sizes to the 8 x 8 grid of cell means that motion detection compares.
// grid[row * 8 + column], row 0 at the top; each value is the mean of 64
// sample pixels of its cell. The caller picks the sampler of the picture's
// exact size; stride is the plane's bytes per row.

#include <cstdint>

int SampleMotionGrid352x288(const uint8_t* luma, int stride, uint8_t grid[64]);
int SampleMotionGrid176x144(const uint8_t* luma, int stride, uint8_t grid[64]);
int SampleMotionGrid320x240(const uint8_t* luma, int stride, uint8_t grid[64]);
int SampleMotionGrid160x120(const uint8_t* luma, int stride, uint8_t grid[64]);
