#include "media/color_yuy2_rgb.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "media/color_convert.h"
#include "platform/display/pixel_math.h"

namespace {

namespace px = display_pixels;

// B, G, R of a converted quad as the screen's 0xFFRRGGBB word.
uint32_t Word(const uint8_t* quad) {
    return px::MakeRgb(quad[2], quad[1], quad[0]);
}

// Every Y, U and V gives the colour the display's own YUY2 conversion
// gives: one picture per U, a row per V holding Y 0..255.
TEST(Yuy2ToBgra32, EverySampleAsTheDisplayConvertsIt) {
    constexpr int kW = 256;
    std::vector<uint8_t> in(static_cast<size_t>(kW) * 2 * 256);
    std::vector<uint8_t> out(static_cast<size_t>(kW) * 4 * 256);
    for (int u = 0; u < 256; ++u) {
        for (int v = 0; v < 256; ++v) {
            uint8_t* row = in.data() + static_cast<size_t>(v) * kW * 2;
            for (int x = 0; x < kW; x += 2) {
                row[2 * x] = static_cast<uint8_t>(x);
                row[2 * x + 1] = static_cast<uint8_t>(u);
                row[2 * x + 2] = static_cast<uint8_t>(x + 1);
                row[2 * x + 3] = static_cast<uint8_t>(v);
            }
        }
        Yuy2ToBgra32(out.data(), kW, in.data(), kW * 2, kW, 256);
        for (int v = 0; v < 256; ++v) {
            for (int y = 0; y < kW; ++y) {
                const uint8_t* quad = out.data() + (static_cast<size_t>(v) * kW + y) * 4;
                ASSERT_EQ(Word(quad), px::YuvToRgb(y, u, v))
                    << "Y " << y << " U " << u << " V " << v;
                ASSERT_EQ(quad[3], 0);
            }
        }
    }
}

// A 4:2:0 picture shows the same colours through a YUY2 surface as
// converted straight to 32 bits, as a channel without the overlay does.
TEST(Yuy2ToBgra32, ThroughYuy2AsStraightFrom420) {
    constexpr int kW = 352;
    constexpr int kH = 288;
    std::mt19937 gen(3);
    std::vector<uint8_t> y(kW * kH), u(kW * kH / 4), v(kW * kH / 4);
    for (auto* plane : {&y, &u, &v}) {
        for (auto& b : *plane) {
            b = static_cast<uint8_t>(gen());
        }
    }
    std::vector<uint8_t> straight(kW * kH * 4);
    Yv12ToBgra32(straight.data(), kW, y.data(), u.data(), v.data(), kW, kW / 2, kW, kH);
    std::vector<uint8_t> yuy2(kW * kH * 2);
    Yv12ToYuy2(yuy2.data(), kW, y.data(), u.data(), v.data(), kW, kW / 2, kW, kH);
    std::vector<uint8_t> through(kW * kH * 4);
    Yuy2ToBgra32(through.data(), kW, yuy2.data(), kW * 2, kW, kH);
    EXPECT_EQ(through, straight);
}

// Pitch and stride are honoured and nothing outside the whole pairs is
// written: an odd last pixel, the stride's spare pixels.
TEST(Yuy2ToBgra32, GeometryAndUntouchedBytes) {
    struct Case {
        int width, height, pitch, stride;
        const char* what;
    } cases[] = {
        {704, 576, 1440, 704, "overlay"},
        {22, 3, 44, 22, "remainder after 8"},
        {13, 2, 32, 16, "odd width, wider stride"},
    };
    std::mt19937 gen(8);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> in(static_cast<size_t>(c.pitch) * c.height);
        for (auto& b : in) {
            b = static_cast<uint8_t>(gen());
        }
        std::vector<uint8_t> out(static_cast<size_t>(c.stride) * 4 * c.height, 0xEE);
        Yuy2ToBgra32(out.data(), c.stride, in.data(), c.pitch, c.width, c.height);
        for (int row = 0; row < c.height; ++row) {
            const uint8_t* src = in.data() + static_cast<size_t>(row) * c.pitch;
            for (int x = 0; x < c.stride; ++x) {
                const uint8_t* quad = out.data() + (static_cast<size_t>(row) * c.stride + x) * 4;
                if (x < (c.width & ~1)) {
                    ASSERT_EQ(Word(quad), px::Yuy2ToRgb(src, x)) << row << "," << x;
                } else {
                    ASSERT_EQ(Word(quad) & 0xFFFFFFu, 0xEEEEEEu) << row << "," << x;
                    ASSERT_EQ(quad[3], 0xEE);
                }
            }
        }
    }
}

}  // namespace
