#pragma once
// Conversions of camera pictures into tight I420 (width x height luma, then
// the U and the V plane of (width/2) x (height/2) each): padded planar rows,
// packed YUYV, and Motion-JPEG frames.

#include <cstddef>
#include <cstdint>
#include <vector>

// Planar 4:2:0 with luma rows of stride bytes and chroma rows of stride/2,
// U before V (swapUV: V before U). False when the source is too short.
bool RepackI420(const uint8_t* src, size_t srcBytes, int width, int height, int stride, bool swapUV,
                uint8_t* dst);

// Packed Y0 U Y1 V rows of stride bytes; chroma of each row pair averaged.
bool YuyvToI420(const uint8_t* src, size_t srcBytes, int width, int height, int stride,
                uint8_t* dst);

// Decodes Motion-JPEG frames (with or without their own Huffman tables).
class MjpegDecoder {
public:
    MjpegDecoder();
    ~MjpegDecoder();
    MjpegDecoder(const MjpegDecoder&) = delete;
    MjpegDecoder& operator=(const MjpegDecoder&) = delete;

    // False for a corrupt frame or one of another size.
    bool DecodeToI420(const uint8_t* jpeg, size_t bytes, int width, int height, uint8_t* dst);

private:
    void* m_handle;
    std::vector<uint8_t> m_planes;
};

inline size_t I420Bytes(int width, int height) {
    return static_cast<size_t>(width) * height + 2 * static_cast<size_t>(width / 2) * (height / 2);
}
