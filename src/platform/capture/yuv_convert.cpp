#include "platform/capture/yuv_convert.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstring>

bool RepackI420(const uint8_t* src, size_t srcBytes, int width, int height, int stride, bool swapUV,
                uint8_t* dst) {
    if (src == nullptr || dst == nullptr || width <= 0 || height <= 0 || stride < width) {
        return false;
    }
    const int cw = width / 2;
    const int ch = height / 2;
    const int cstride = stride / 2;
    const size_t ySize = static_cast<size_t>(stride) * height;
    const size_t cSize = static_cast<size_t>(cstride) * ch;
    if (srcBytes < ySize + 2 * cSize) {
        return false;
    }
    for (int y = 0; y < height; ++y) {
        std::memcpy(dst + static_cast<size_t>(y) * width, src + static_cast<size_t>(y) * stride,
                    static_cast<size_t>(width));
    }
    uint8_t* dstU = dst + static_cast<size_t>(width) * height;
    uint8_t* dstV = dstU + static_cast<size_t>(cw) * ch;
    const uint8_t* srcU = src + ySize + (swapUV ? cSize : 0);
    const uint8_t* srcV = src + ySize + (swapUV ? 0 : cSize);
    for (int y = 0; y < ch; ++y) {
        std::memcpy(dstU + static_cast<size_t>(y) * cw, srcU + static_cast<size_t>(y) * cstride,
                    static_cast<size_t>(cw));
        std::memcpy(dstV + static_cast<size_t>(y) * cw, srcV + static_cast<size_t>(y) * cstride,
                    static_cast<size_t>(cw));
    }
    return true;
}

bool YuyvToI420(const uint8_t* src, size_t srcBytes, int width, int height, int stride,
                uint8_t* dst) {
    if (src == nullptr || dst == nullptr || width <= 1 || height <= 1 || stride < width * 2 ||
        srcBytes < static_cast<size_t>(stride) * (height - 1) + static_cast<size_t>(width) * 2) {
        return false;
    }
    const int cw = width / 2;
    uint8_t* dstY = dst;
    uint8_t* dstU = dst + static_cast<size_t>(width) * height;
    uint8_t* dstV = dstU + static_cast<size_t>(cw) * (height / 2);
    for (int y = 0; y + 1 < height; y += 2) {
        const uint8_t* __restrict r0 = src + static_cast<size_t>(y) * stride;
        const uint8_t* __restrict r1 = r0 + stride;
        uint8_t* __restrict y0 = dstY + static_cast<size_t>(y) * width;
        uint8_t* __restrict y1 = y0 + width;
        uint8_t* __restrict u = dstU + static_cast<size_t>(y / 2) * cw;
        uint8_t* __restrict v = dstV + static_cast<size_t>(y / 2) * cw;
        // Separate passes keep each loop simple enough to vectorise.
        for (int x = 0; x < 2 * cw; ++x) {
            y0[x] = r0[2 * x];
            y1[x] = r1[2 * x];
        }
        for (int x = 0; x < cw; ++x) {
            u[x] = static_cast<uint8_t>((r0[4 * x + 1] + r1[4 * x + 1] + 1) >> 1);
            v[x] = static_cast<uint8_t>((r0[4 * x + 3] + r1[4 * x + 3] + 1) >> 1);
        }
    }
    return true;
}

MjpegDecoder::MjpegDecoder() : m_handle(tjInitDecompress()) {}

MjpegDecoder::~MjpegDecoder() {
    if (m_handle != nullptr) {
        tjDestroy(static_cast<tjhandle>(m_handle));
    }
}

bool MjpegDecoder::DecodeToI420(const uint8_t* jpeg, size_t bytes, int width, int height,
                                uint8_t* dst) {
    if (m_handle == nullptr || jpeg == nullptr || dst == nullptr || bytes < 4 || width <= 0 ||
        height <= 0) {
        return false;
    }
    auto* h = static_cast<tjhandle>(m_handle);
    int w = 0;
    int hgt = 0;
    int subsamp = 0;
    int colorspace = 0;
    if (tjDecompressHeader3(h, jpeg, static_cast<unsigned long>(bytes), &w, &hgt, &subsamp,
                            &colorspace) != 0 ||
        w != width || hgt != height) {
        return false;
    }
    uint8_t* dstY = dst;
    uint8_t* dstU = dst + static_cast<size_t>(width) * height;
    uint8_t* dstV = dstU + static_cast<size_t>(width / 2) * (height / 2);
    if (subsamp == TJSAMP_420 && width % 2 == 0 && height % 2 == 0) {
        // Straight into the output planes.
        unsigned char* planes[3] = {dstY, dstU, dstV};
        int strides[3] = {width, width / 2, width / 2};
        return tjDecompressToYUVPlanes(h, jpeg, static_cast<unsigned long>(bytes), planes, width,
                                       strides, height, TJFLAG_FASTDCT) == 0;
    }
    if (subsamp == TJSAMP_GRAY) {
        unsigned char* planes[3] = {dstY, nullptr, nullptr};
        int strides[3] = {width, 0, 0};
        if (tjDecompressToYUVPlanes(h, jpeg, static_cast<unsigned long>(bytes), planes, width,
                                    strides, height, TJFLAG_FASTDCT) != 0) {
            return false;
        }
        std::memset(dstU, 128, static_cast<size_t>(width / 2) * (height / 2) * 2);
        return true;
    }
    // Other subsamplings: decode at the native layout, then halve chroma.
    const int cw = tjPlaneWidth(1, width, subsamp);
    const int ch = tjPlaneHeight(1, height, subsamp);
    if (cw <= 0 || ch <= 0) {
        return false;
    }
    m_planes.resize(static_cast<size_t>(cw) * ch * 2);
    unsigned char* planes[3] = {dstY, m_planes.data(),
                                m_planes.data() + static_cast<size_t>(cw) * ch};
    int strides[3] = {width, cw, cw};
    if (tjDecompressToYUVPlanes(h, jpeg, static_cast<unsigned long>(bytes), planes, width, strides,
                                height, TJFLAG_FASTDCT) != 0) {
        return false;
    }
    const int ow = width / 2;
    const int oh = height / 2;
    if (cw == ow && ch == height) {
        // 4:2:2, what most webcams send: average each pair of chroma rows.
        for (int p = 0; p < 2; ++p) {
            const uint8_t* in = planes[1 + p];
            uint8_t* __restrict out = p == 0 ? dstU : dstV;
            for (int y = 0; y < oh; ++y) {
                const uint8_t* __restrict a = in + static_cast<size_t>(2 * y) * cw;
                const uint8_t* __restrict b = a + cw;
                for (int x = 0; x < ow; ++x) {
                    out[static_cast<size_t>(y) * ow + x] =
                        static_cast<uint8_t>((a[x] + b[x] + 1) >> 1);
                }
            }
        }
        return true;
    }
    const int sx = cw >= width ? 2 : 1;   // 4:4:4 halves across as well
    const int sy = ch >= height ? 2 : 1;  // 4:2:2 and 4:4:4 halve down
    for (int p = 0; p < 2; ++p) {
        const uint8_t* in = planes[1 + p];
        uint8_t* out = p == 0 ? dstU : dstV;
        for (int y = 0; y < oh; ++y) {
            const int y0 = std::min(y * sy, ch - 1);
            const int y1 = std::min(y0 + sy - 1, ch - 1);
            for (int x = 0; x < ow; ++x) {
                const int x0 = std::min(x * sx, cw - 1);
                const int x1 = std::min(x0 + sx - 1, cw - 1);
                const int sum =
                    in[static_cast<size_t>(y0) * cw + x0] + in[static_cast<size_t>(y0) * cw + x1] +
                    in[static_cast<size_t>(y1) * cw + x0] + in[static_cast<size_t>(y1) * cw + x1];
                out[static_cast<size_t>(y) * ow + x] = static_cast<uint8_t>((sum + 2) >> 2);
            }
        }
    }
    return true;
}
