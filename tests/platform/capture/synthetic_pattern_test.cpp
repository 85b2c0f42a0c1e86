#include "platform/capture/synthetic_pattern.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(SyntheticPattern, BlockMovesUnlessStill) {
    PatternParams p;
    p.width = 352;
    p.height = 288;
    std::vector<uint8_t> a, b, c;
    RenderTestPattern(Subtype::I420, p, &a);
    p.frameNumber = 1;
    RenderTestPattern(Subtype::I420, p, &b);
    p.still = true;
    RenderTestPattern(Subtype::I420, p, &c);
    ASSERT_EQ(a.size(), 152064u);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, c);
    EXPECT_EQ(PatternBlockX(352, 1, false), 8);
    EXPECT_EQ(PatternBlockX(352, 1, true), 0);
    EXPECT_EQ(PatternBlockX(16, 5, false), 0);  // narrower than the block
}

TEST(SyntheticPattern, LayoutsAndLumaOffset) {
    PatternParams p;
    p.width = 64;
    p.height = 48;
    p.background = 100;
    p.lumaOffset = 200;  // clamps
    std::vector<uint8_t> yuy2, yv12, i420;
    RenderTestPattern(Subtype::YUY2, p, &yuy2);
    RenderTestPattern(Subtype::YV12, p, &yv12);
    RenderTestPattern(Subtype::I420, p, &i420);
    EXPECT_EQ(yuy2.size(), 64u * 48 * 2);
    EXPECT_EQ(yuy2[0], 255);
    ASSERT_EQ(i420.size(), yv12.size());
    const size_t y = 64 * 48, c = 32 * 24;
    // YV12 has V before U.
    EXPECT_EQ(i420[y], yv12[y + c]);
    EXPECT_EQ(i420[y + c], yv12[y]);
}

TEST(SyntheticPattern, ToneIsContinuousAcrossBuffers) {
    int64_t phase = 0;
    std::vector<uint8_t> first(2940), second(2940);
    RenderSineTone(22050, 1, 16, &phase, &first);
    RenderSineTone(22050, 1, 16, &phase, &second);
    EXPECT_EQ(phase, 2940);
    auto sample = [](const std::vector<uint8_t>& b, size_t i) {
        return static_cast<int16_t>(b[2 * i] | (b[2 * i + 1] << 8));
    };
    const int16_t expect = static_cast<int16_t>(std::sin(2 * M_PI * 440 * 1470 / 22050.0) * 8000);
    EXPECT_EQ(sample(second, 0), expect);
    int peak = 0;
    for (size_t i = 0; i < 1470; ++i) {
        peak = std::max(peak, std::abs(int{sample(first, i)}));
    }
    EXPECT_GT(peak, 7900);
}

}  // namespace
