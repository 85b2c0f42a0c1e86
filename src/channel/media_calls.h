#pragma once
// The media functions the channel calls, gathered in one place.

#include <cstdint>

#include "media/codec_layer.h"
#include "media/color_convert.h"

uint8_t GetPicSizeCode(int width, int height);
int SampleMotionGrid352x288(const uint8_t* luma, int stride, uint8_t* grid);
int SampleMotionGrid176x144(const uint8_t* luma, int stride, uint8_t* grid);
int SampleMotionGrid320x240(const uint8_t* luma, int stride, uint8_t* grid);
int SampleMotionGrid160x120(const uint8_t* luma, int stride, uint8_t* grid);
int WriteJpegFile(const uint8_t* bgr, int width, int height, const char* path, int quality);
int DrawOsdText(uint8_t* plane, const char* text, int x, int y, int stride, int xLimit, int height);
