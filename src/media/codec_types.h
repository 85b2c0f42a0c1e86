#pragma once
// Codec type codes: the stored record choice plus 1. They travel in bits
// 24-27 of every stream packet header, so their values never change.

#include <cstdint>

constexpr uint8_t VCODEC_H264 = 1;
constexpr uint8_t VCODEC_H263 = 2;
constexpr uint8_t VCODEC_H261 = 3;
constexpr uint8_t VCODEC_MPEG4 = 4;
constexpr uint8_t VCODEC_MPEG2 = 5;
constexpr uint8_t VCODEC_MPEG1 = 6;
constexpr uint8_t VCODEC_FLV1 = 7;
constexpr uint8_t VCODEC_WMV2 = 8;
constexpr uint8_t VCODEC_WMV1 = 9;
constexpr uint8_t VCODEC_MJPEG = 10;

constexpr uint8_t ACODEC_MP3 = 1;
constexpr uint8_t ACODEC_MP2 = 2;
