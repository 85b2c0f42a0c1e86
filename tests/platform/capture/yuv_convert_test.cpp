#include "platform/capture/yuv_convert.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstdlib>

namespace {

TEST(YuvConvert, RepackDropsRowPaddingAndCanSwapChroma) {
    const int w = 6, h = 4, stride = 10;
    std::vector<uint8_t> src(stride * h + 2 * (stride / 2) * (h / 2), 0xEE);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            src[y * stride + x] = static_cast<uint8_t>(10 * y + x);
        }
    }
    uint8_t* u = src.data() + stride * h;
    uint8_t* v = u + (stride / 2) * (h / 2);
    for (int y = 0; y < h / 2; ++y) {
        for (int x = 0; x < w / 2; ++x) {
            u[y * (stride / 2) + x] = static_cast<uint8_t>(100 + 10 * y + x);
            v[y * (stride / 2) + x] = static_cast<uint8_t>(200 + 10 * y + x);
        }
    }
    std::vector<uint8_t> out(I420Bytes(w, h));
    ASSERT_TRUE(RepackI420(src.data(), src.size(), w, h, stride, false, out.data()));
    const std::vector<uint8_t> expect = {
        0,  1,  2,  3,  4,  5,  10,  11,  12,  13,  14,  15,  20,  21,  22,  23,  24,  25,
        30, 31, 32, 33, 34, 35, 100, 101, 102, 110, 111, 112, 200, 201, 202, 210, 211, 212};
    EXPECT_EQ(out, expect);
    ASSERT_TRUE(RepackI420(src.data(), src.size(), w, h, stride, true, out.data()));
    EXPECT_EQ(out[24], 200);
    EXPECT_EQ(out[30], 100);
    EXPECT_FALSE(RepackI420(src.data(), src.size() - 1, w, h, stride, false, out.data()));
    EXPECT_FALSE(RepackI420(src.data(), src.size(), w, h, w - 1, false, out.data()));
}

TEST(YuvConvert, YuyvAveragesChromaOfRowPairs) {
    const int w = 4, h = 2, stride = 12;
    const std::vector<uint8_t> src = {1, 10, 2, 20, 3, 30, 4, 40, 0, 0, 0, 0,
                                      5, 13, 6, 23, 7, 33, 8, 43, 0, 0, 0, 0};
    std::vector<uint8_t> out(I420Bytes(w, h));
    ASSERT_TRUE(YuyvToI420(src.data(), src.size(), w, h, stride, out.data()));
    const std::vector<uint8_t> expect = {1, 2, 3, 4, 5, 6, 7, 8, 12, 32, 22, 42};
    EXPECT_EQ(out, expect);
    EXPECT_FALSE(YuyvToI420(src.data(), 19, w, h, stride, out.data()));
}

std::vector<uint8_t> EncodeFlat(int w, int h, int subsamp, uint8_t y, uint8_t u, uint8_t v) {
    tjhandle enc = tjInitCompress();
    const int cw = tjPlaneWidth(1, w, subsamp);
    const int ch = tjPlaneHeight(1, h, subsamp);
    std::vector<uint8_t> yp(w * h, y), up(std::max(cw * ch, 1), u), vp(std::max(cw * ch, 1), v);
    const unsigned char* planes[3] = {yp.data(), up.data(), vp.data()};
    int strides[3] = {w, cw, cw};
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    EXPECT_EQ(tjCompressFromYUVPlanes(enc, planes, w, strides, h, subsamp, &jpeg, &size, 95, 0), 0);
    std::vector<uint8_t> out(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(enc);
    return out;
}

TEST(YuvConvert, MjpegDecodesEverySubsamplingToI420) {
    const int w = 64, h = 48;
    for (int subsamp : {TJSAMP_422, TJSAMP_420, TJSAMP_444, TJSAMP_GRAY}) {
        SCOPED_TRACE(subsamp);
        const auto jpeg = EncodeFlat(w, h, subsamp, 100, 90, 160);
        MjpegDecoder decoder;
        std::vector<uint8_t> out(I420Bytes(w, h));
        ASSERT_TRUE(decoder.DecodeToI420(jpeg.data(), jpeg.size(), w, h, out.data()));
        const bool gray = subsamp == TJSAMP_GRAY;
        for (size_t i = 0; i < out.size(); ++i) {
            const int expect = i < size_t(w * h)           ? 100
                               : gray                      ? 128
                               : i < size_t(w * h * 5 / 4) ? 90
                                                           : 160;
            ASSERT_NEAR(out[i], expect, 2) << i;
        }
        // Another size than the camera's format, or a damaged frame.
        EXPECT_FALSE(decoder.DecodeToI420(jpeg.data(), jpeg.size(), 32, 48, out.data()));
        EXPECT_FALSE(decoder.DecodeToI420(jpeg.data(), 10, w, h, out.data()));
    }
}

}  // namespace
