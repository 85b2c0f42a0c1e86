#include "media/color_convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "media/color_avx2.h"
#include "media/pixel_formats.h"

namespace {

// The formulas, written out plainly, as references for the fast converters.
int Clamp(int v) {
    return std::clamp(v, 0, 255);
}

void RefBgr(uint8_t* out, int Y, int U, int V) {
    int y = 74 * (Y - 16);
    out[0] = static_cast<uint8_t>(Clamp((y + 129 * (U - 128)) >> 6));
    out[1] = static_cast<uint8_t>(Clamp((y - (25 * (U - 128) + 52 * (V - 128))) >> 6));
    out[2] = static_cast<uint8_t>(Clamp((y + 102 * (V - 128)) >> 6));
}

int K(double f) {
    return static_cast<int>(std::floor(f * 8192 + 0.5));
}

struct Picture {
    int width, height, yStride, uvStride;
    std::vector<uint8_t> y, u, v;
};

Picture RandomPicture(int width, int height, uint32_t seed, int pad = 0) {
    std::mt19937 gen(seed);
    Picture p{width, height, width + pad, width / 2 + pad, {}, {}, {}};
    p.y.resize(static_cast<size_t>(p.yStride) * height);
    p.u.resize(static_cast<size_t>(p.uvStride) * ((height + 1) / 2));
    p.v.resize(p.u.size());
    for (auto* plane : {&p.y, &p.u, &p.v}) {
        for (auto& b : *plane) {
            b = static_cast<uint8_t>(gen());
        }
    }
    return p;
}

Picture FlatPicture(int width, int height, uint8_t Y, uint8_t U, uint8_t V) {
    Picture p{width, height, width, width / 2, {}, {}, {}};
    p.y.assign(static_cast<size_t>(width) * height, Y);
    p.u.assign(static_cast<size_t>(width / 2) * ((height + 1) / 2), U);
    p.v.assign(p.u.size(), V);
    return p;
}

// Reference conversion of a whole picture; rows not converted stay 0xEE.
std::vector<uint8_t> Reference(uint8_t format, const Picture& p, int dstStride, int height) {
    int bpp = format == PIXFMT_RGB32 ? 4 : format == PIXFMT_RGB24 ? 3 : 2;
    int rows = std::abs(height);
    std::vector<uint8_t> out(static_cast<size_t>(dstStride) * rows * bpp, 0xEE);
    for (int pair = 0; pair < rows / 2; ++pair) {
        int carry[2][3] = {};
        for (int x = 0; x + 2 <= p.width; x += 2) {
            for (int k = 0; k < 4; ++k) {  // upper left, upper right, lower left, lower right
                int orow = 2 * pair + k / 2;
                int srow = height < 0 ? rows - 1 - orow : orow;
                int col = x + k % 2;
                int Y = p.y[srow * p.yStride + col];
                int U = p.u[(srow / 2) * p.uvStride + col / 2];
                int V = p.v[(srow / 2) * p.uvStride + col / 2];
                uint8_t* o = &out[(static_cast<size_t>(orow) * dstStride + col) * bpp];
                if (format == PIXFMT_YUY2) {
                    o[0] = static_cast<uint8_t>(Y);
                    o[1] = static_cast<uint8_t>(k % 2 == 0 ? U : V);
                } else if (format == PIXFMT_RGB32 || format == PIXFMT_RGB24) {
                    RefBgr(o, Y, U, V);
                    if (bpp == 4) {
                        o[3] = 0;
                    }
                } else {
                    int* c = carry[k / 2];
                    int y = K(1.164) * (Y - 16);
                    c[2] = (c[2] & 7) + ((y + K(2.018) * (U - 128)) >> 13);
                    c[1] = (c[1] & 7) + ((y - (K(0.391) * (U - 128) + K(0.813) * (V - 128))) >> 13);
                    c[0] = (c[0] & 7) + ((y + K(1.596) * (V - 128)) >> 13);
                    int r = Clamp(c[0]), g = Clamp(c[1]), b = Clamp(c[2]);
                    int w = format == PIXFMT_RGB565
                                ? ((r << 8) & 0xF800) | ((g << 3) & 0x07E0) | ((b >> 3) & 0x1F)
                                : ((r << 7) & 0x7C00) | ((g << 2) & 0x03E0) | ((b >> 3) & 0x1F);
                    o[0] = static_cast<uint8_t>(w);
                    o[1] = static_cast<uint8_t>(w >> 8);
                }
            }
        }
    }
    return out;
}

std::vector<uint8_t> Convert(uint8_t format, const Picture& p, int dstStride, int height) {
    std::vector<uint8_t> out(
        static_cast<size_t>(dstStride) * std::abs(height) * BytesPerPixelOfFormat(format), 0xEE);
    Yv12ConverterFor(format)(out.data(), dstStride, p.y.data(), p.u.data(), p.v.data(), p.yStride,
                             p.uvStride, p.width, height);
    return out;
}

uint16_t Word(const std::vector<uint8_t>& out, size_t pixel) {
    return static_cast<uint16_t>(out[2 * pixel] | (out[2 * pixel + 1] << 8));
}

const uint8_t kFormats[] = {PIXFMT_YUY2, PIXFMT_RGB32, PIXFMT_RGB24, PIXFMT_RGB565, PIXFMT_RGB555};

}  // namespace

TEST(ColorTables, HoldTheRoundedBt601Factors) {
    InitYv12RgbTables();
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(g_YToRgb[i], 9535 * (i - 16));
        ASSERT_EQ(g_UToB[i], 16531 * (i - 128));
        ASSERT_EQ(g_UToG[i], 3203 * (i - 128));
        ASSERT_EQ(g_VToG[i], 6660 * (i - 128));
        ASSERT_EQ(g_VToR[i], 13074 * (i - 128));
    }
    EXPECT_EQ(K(1.164), 9535);
    EXPECT_EQ(K(2.018), 16531);
}

TEST(ColorConvert, ConverterForEachDisplayFormat) {
    EXPECT_EQ(Yv12ConverterFor(PIXFMT_YUY2), Yv12ToYuy2);
    EXPECT_EQ(Yv12ConverterFor(PIXFMT_YUY2_OVERLAY), Yv12ToYuy2);
    EXPECT_EQ(Yv12ConverterFor(PIXFMT_RGB32), Yv12ToBgra32);
    EXPECT_EQ(Yv12ConverterFor(PIXFMT_RGB24), Yv12ToBgr24);
    EXPECT_EQ(Yv12ConverterFor(PIXFMT_RGB565), Yv12ToRgb565);
    EXPECT_EQ(Yv12ConverterFor(PIXFMT_RGB555), Yv12ToRgb555);
    EXPECT_EQ(Yv12ConverterFor(0), nullptr);
    EXPECT_EQ(Yv12ConverterFor(7), nullptr);
}

// Black, the top of the studio range, and clamping, in every layout.
TEST(ColorConvert, ExampleValues) {
    struct Row {
        uint8_t Y, U, V;
        int bgr[3];              // -1: not checked
        uint16_t mask565, w565;  // first pixel of a row, under the mask
        uint16_t mask555, w555;
    } table[] = {
        {16, 128, 128, {0, 0, 0}, 0xFFFF, 0x0000, 0xFFFF, 0x0000},
        {235, 128, 128, {253, 253, 253}, 0xFFFF, 0xFFFF, 0xFFFF, 0x7FFF},
        {255, 255, 255, {255, -1, 255}, 0xF81F, 0xF81F, 0x7C1F, 0x7C1F},
    };
    for (const auto& row : table) {
        Picture p = FlatPicture(16, 2, row.Y, row.U, row.V);
        auto bgra = Convert(PIXFMT_RGB32, p, 16, 2);
        auto bgr = Convert(PIXFMT_RGB24, p, 16, 2);
        for (int c = 0; c < 3; ++c) {
            if (row.bgr[c] >= 0) {
                EXPECT_EQ(bgra[c], row.bgr[c]) << int(row.Y) << " component " << c;
                EXPECT_EQ(bgr[c], row.bgr[c]) << int(row.Y) << " component " << c;
            }
        }
        EXPECT_EQ(bgra[3], 0);
        EXPECT_EQ(Word(Convert(PIXFMT_RGB565, p, 16, 2), 0) & row.mask565, row.w565);
        EXPECT_EQ(Word(Convert(PIXFMT_RGB555, p, 16, 2), 0) & row.mask555, row.w555);
        EXPECT_EQ(Word(Convert(PIXFMT_RGB555, p, 16, 2), 0) & 0x8000, 0);
    }
}

// A flat Y 100 in RGB555: the carried low bits make every eighth pixel one
// step brighter, so that the row's average matches the 8-bit value 97.
TEST(ColorConvert, ErrorDiffusionPattern) {
    Picture p = FlatPicture(352, 2, 100, 128, 128);
    auto out = Convert(PIXFMT_RGB555, p, 352, 2);
    for (int row = 0; row < 2; ++row) {
        for (int x = 0; x < 352; ++x) {
            uint16_t w = Word(out, static_cast<size_t>(row) * 352 + x);
            int expected = x % 8 == 7 ? 13 : 12;
            ASSERT_EQ((w >> 10) & 31, expected) << row << "," << x;
            ASSERT_EQ((w >> 5) & 31, expected) << row << "," << x;
            ASSERT_EQ(w & 31, expected) << row << "," << x;
        }
    }
}

struct Geometry {
    int width, height, dstStride, pad;
    const char* what;
};

// Every converter gives the formulas' bytes, for the system's picture sizes,
// a width that is a multiple of 8 but not of 16, a short row, a flipped
// picture, an odd row count, padded planes and a wider output stride, whose
// extra bytes stay untouched.
class BitExact : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { ColorAllowAvx2(GetParam()); }
    void TearDown() override { ColorAllowAvx2(true); }
};

TEST_P(BitExact, ToTheFormulas) {
    const Geometry cases[] = {
        {352, 288, 352, 0, "CIF"},
        {176, 144, 176, 0, "QCIF"},
        {360, 8, 360, 0, "8 not 16"},
        {22, 4, 22, 0, "short row with remainder"},
        {352, -288, 352, 0, "bottom-up"},
        {176, 15, 176, 0, "odd row count"},
        {176, 144, 200, 0, "wider stride"},
        {176, 144, 176, 24, "padded planes"},
        {176, -144, 180, 8, "flipped, padded"},
    };
    uint32_t seed = 1;
    for (const auto& g : cases) {
        Picture p = RandomPicture(g.width, std::abs(g.height), seed++, g.pad);
        for (uint8_t format : kFormats) {
            auto got = Convert(format, p, g.dstStride, g.height);
            auto want = Reference(format, p, g.dstStride, g.height);
            ASSERT_EQ(got.size(), want.size());
            size_t firstDiff =
                std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin();
            EXPECT_EQ(firstDiff, got.size()) << g.what << ", format " << int(format)
                                             << ": first difference at byte " << firstDiff;
        }
    }
}

// With and without the AVX2 kernels (which this processor may lack).
INSTANTIATE_TEST_SUITE_P(Kernels, BitExact, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Avx2" : "Sse2"; });

// The output buffer holds exactly the converted rows: nothing is written
// past it (checked by the address sanitizer build).
TEST(ColorConvert, WritesOnlyInsideTheOutput) {
    Picture p = RandomPicture(176, 144, 99);
    for (uint8_t format : kFormats) {
        std::vector<uint8_t> exact(static_cast<size_t>(176) * 144 * BytesPerPixelOfFormat(format));
        Yv12ConverterFor(format)(exact.data(), 176, p.y.data(), p.u.data(), p.v.data(), 176, 88,
                                 176, 144);
        std::vector<uint8_t> flipped(exact.size());
        Yv12ConverterFor(format)(flipped.data(), 176, p.y.data(), p.u.data(), p.v.data(), 176, 88,
                                 176, -144);
        // Flipped: the first output row is the last source row.
        auto row = [&](const std::vector<uint8_t>& v, int r) {
            auto begin =
                v.begin() + static_cast<ptrdiff_t>(r) * 176 * BytesPerPixelOfFormat(format);
            return std::vector<uint8_t>(begin, begin + 176 * BytesPerPixelOfFormat(format));
        };
        if (format == PIXFMT_YUY2 || format == PIXFMT_RGB32 || format == PIXFMT_RGB24) {
            EXPECT_EQ(row(flipped, 0), row(exact, 143)) << int(format);
            EXPECT_EQ(row(flipped, 143), row(exact, 0)) << int(format);
        }
    }
}
