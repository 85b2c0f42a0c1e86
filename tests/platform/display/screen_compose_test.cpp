// The screen as the user sees it: the primary image with the overlay keyed
// in, checked against the plain per-pixel rule (key test, source position by
// division, conversion of that pixel), and what the window is told to show
// again after each change.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/display/display_target.h"
#include "platform/display/pixel_math.h"

namespace px = display_pixels;

namespace {

constexpr int kW = 320;
constexpr int kH = 240;
constexpr uint32_t kKeyColour = 0xFF080008;  // RGB(8,0,8)
constexpr uint32_t kGreen = 0xFF00FA00;

struct Overlay {
    bool shown = true;
    RECT src{};
    RECT dst{};
    uint32_t key = 0;
    int width = 0;
    int height = 0;
    int pitch = 0;
    std::vector<uint8_t> yuy2;
};

Overlay MakeOverlay(int width, int height, const RECT& src, const RECT& dst, uint32_t key,
                    uint32_t seed) {
    Overlay o;
    o.src = src;
    o.dst = dst;
    o.key = key;
    o.width = width;
    o.height = height;
    o.pitch = (width + 1) / 2 * 4 + 8;
    o.yuy2.resize(static_cast<size_t>(o.pitch) * height);
    std::mt19937 gen(seed);
    for (auto& b : o.yuy2) {
        b = static_cast<uint8_t>(gen());
    }
    return o;
}

void Present(DisplayTarget& t, const Overlay& o) {
    t.SetOverlayPosition(o.shown, o.src, o.dst, o.key);
    t.SetOverlayPicture(o.yuy2.data(), o.width, o.height, o.pitch);
}

// Gives each pixel the complement of the display's own colour and junk in
// the fourth byte, so the test sees which pixels it converted.
void ComplementConverter(uint8_t* dst, int dstStride, const uint8_t* src, int srcPitch, int width,
                         int height) {
    EXPECT_EQ(width % 2, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = src + static_cast<size_t>(y) * srcPitch;
        uint8_t* out = dst + static_cast<size_t>(y) * dstStride * 4;
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = px::Yuy2ToRgb(row, x);
            out[4 * x] = static_cast<uint8_t>(255 - px::BlueOf(rgb));
            out[4 * x + 1] = static_cast<uint8_t>(255 - px::GreenOf(rgb));
            out[4 * x + 2] = static_cast<uint8_t>(255 - px::RedOf(rgb));
            out[4 * x + 3] = 0x5A;
        }
    }
}

uint32_t Complement(uint32_t rgb) {
    return px::MakeRgb(255 - px::RedOf(rgb), 255 - px::GreenOf(rgb), 255 - px::BlueOf(rgb));
}

// The plain rule, pixel by pixel.
std::vector<uint32_t> Expected(const DisplayTarget& t, const Overlay& o, bool complement = false) {
    std::vector<uint32_t> out(static_cast<size_t>(kW) * kH);
    const int64_t sw = o.src.right - o.src.left;
    const int64_t sh = o.src.bottom - o.src.top;
    const int64_t dw = o.dst.right - o.dst.left;
    const int64_t dh = o.dst.bottom - o.dst.top;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            uint32_t p = t.Pixel(x, y);
            const bool inside =
                x >= o.dst.left && x < o.dst.right && y >= o.dst.top && y < o.dst.bottom;
            if (o.shown && inside && px::PackRgb(p, t.Depth()) == o.key) {
                const int sx = o.src.left + static_cast<int>((x - o.dst.left) * sw / dw);
                const int sy = o.src.top + static_cast<int>((y - o.dst.top) * sh / dh);
                uint32_t rgb = px::Yuy2ToRgb(o.yuy2.data() + static_cast<size_t>(sy) * o.pitch, sx);
                if (complement && sx < (o.width & ~1)) {
                    rgb = Complement(rgb);
                }
                p = px::QuantizeRgb(rgb, t.Depth());
            }
            out[static_cast<size_t>(y) * kW + x] = p;
        }
    }
    return out;
}

// The first pixel where two screens differ, for the failure message.
std::string FirstDifference(const std::vector<uint32_t>& got, const std::vector<uint32_t>& want) {
    for (size_t i = 0; i < got.size(); ++i) {
        if (got[i] != want[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "(%zu, %zu): %08X, expected %08X", i % kW, i / kW,
                          got[i], want[i]);
            return text;
        }
    }
    return "";
}

// Key colour over most of the screen, a grey border and green frame lines
// the overlay must leave alone.
void PaintScreen(DisplayTarget& t) {
    t.FillRect(RECT{0, 0, kW, kH}, 0xFF808080);
    t.FillRect(RECT{10, 5, 300, 230}, kKeyColour);
    t.FillRect(RECT{10, 100, 300, 101}, kGreen);
    t.FillRect(RECT{150, 5, 151, 230}, kGreen);
}

struct GeometryCase {
    const char* what;
    int depth;
    int width;
    int height;
    RECT src;
    RECT dst;
};

class ScreenComposeTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(ScreenComposeTest, OverlayKeyedInAsThePlainRuleSays) {
    const GeometryCase& c = GetParam();
    DisplayTarget target(kW, kH, c.depth);
    PaintScreen(target);
    const uint32_t key = px::PackRgb(kKeyColour, c.depth);
    const Overlay o = MakeOverlay(c.width, c.height, c.src, c.dst, key, 11);
    Present(target, o);
    const std::vector<uint32_t> want = Expected(target, o);
    EXPECT_EQ(FirstDifference(target.Compose(), want), "");

    // Through a converter handed in: its colours for whole pairs, the
    // display's own for an odd last pixel, the fourth byte set.
    target.SetOverlayConverter(&ComplementConverter);
    EXPECT_EQ(FirstDifference(target.Compose(), Expected(target, o, true)), "");
    target.SetOverlayConverter(nullptr);
    EXPECT_EQ(FirstDifference(target.Compose(), want), "");
}

INSTANTIATE_TEST_SUITE_P(
    Geometries, ScreenComposeTest,
    ::testing::Values(
        GeometryCase{"stretched", 32, 32, 16, {0, 0, 32, 16}, {20, 10, 220, 160}},
        GeometryCase{"part shrunk", 16, 64, 48, {8, 4, 56, 40}, {50, 50, 90, 70}},
        GeometryCase{"over the top left", 32, 32, 16, {0, 0, 32, 16}, {-30, -20, 100, 60}},
        GeometryCase{"past the far edges", 24, 40, 30, {0, 0, 40, 30}, {250, 200, 400, 300}},
        GeometryCase{"odd width", 15, 33, 9, {0, 0, 33, 9}, {12, 20, 290, 220}},
        GeometryCase{"one to one", 32, 100, 80, {0, 0, 100, 80}, {60, 60, 160, 140}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        }
        return name;
    });

// The composed picture is kept between calls and redone only where things
// changed: after every kind of change it still follows the plain rule.
TEST(ScreenComposeTest, StaysRightThroughEveryKindOfChange) {
    DisplayTarget target(kW, kH, 32);
    PaintScreen(target);
    const uint32_t key = px::PackRgb(kKeyColour, 32);
    Overlay o = MakeOverlay(32, 16, RECT{0, 0, 32, 16}, RECT{20, 10, 220, 160}, key, 1);
    Present(target, o);
    auto check = [&](const char* step) {
        EXPECT_EQ(FirstDifference(target.Compose(), Expected(target, o)), "") << step;
    };
    check("first picture");

    target.FillRect(RECT{0, 40, kW, 42}, kGreen);
    check("a bar drawn across the overlay");

    // Among them the source row under the bar, composed last.
    for (int y = 3; y < 6; ++y) {
        o.yuy2[static_cast<size_t>(y) * o.pitch + 6] ^= 0x40;
    }
    target.SetOverlayPicture(o.yuy2.data(), o.width, o.height, o.pitch);
    check("three rows of the picture changed");

    // A one-pixel column redone, then the whole next screen row, which
    // shows the same source row.
    target.FillRect(RECT{60, 10, 61, 45}, kKeyColour);
    target.FillRect(RECT{20, 45, 220, 46}, kKeyColour);
    check("a narrow then a wide part of one source row");

    target.FillRect(RECT{30, 30, 200, 150}, kKeyColour);
    check("the bar painted over with the key");

    o.dst = RECT{100, 90, 310, 235};
    Present(target, o);
    check("moved");

    o.shown = false;
    Present(target, o);
    check("hidden");

    o.shown = true;
    o.key = px::PackRgb(kGreen, 32);
    Present(target, o);
    check("shown again keyed to the frame colour");

    o = MakeOverlay(48, 20, RECT{4, 2, 40, 18}, RECT{10, 10, 300, 200}, key, 2);
    Present(target, o);
    check("a picture of another size");

    // The same through a caller's buffer with a wider stride.
    std::vector<uint32_t> wide(static_cast<size_t>(kW + 3) * kH, 0);
    target.ComposeInto(wide.data(), kW + 3);
    const std::vector<uint32_t> want = Expected(target, o);
    for (int y = 0; y < kH; ++y) {
        ASSERT_TRUE(std::equal(want.begin() + y * kW, want.begin() + (y + 1) * kW,
                               wide.begin() + y * (kW + 3)))
            << "row " << y;
    }
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const std::vector<RECT>& rects) {
    std::string s;
    for (const RECT& r : rects) {
        char text[64];
        std::snprintf(text, sizeof text, "(%d,%d)-(%d,%d) ", r.left, r.top, r.right, r.bottom);
        s += text;
    }
    return s;
}

void ExpectChanged(DisplayTarget& t, const std::vector<RECT>& want, const char* step) {
    const std::vector<RECT> got = t.TakeChanged();
    bool same = got.size() == want.size();
    for (size_t i = 0; same && i < got.size(); ++i) {
        same = Same(got[i], want[i]);
    }
    EXPECT_TRUE(same) << step << ": got " << Describe(got) << "expected " << Describe(want);
}

// The window is told what changed, as few rectangles, and nothing when a
// picture comes again unchanged.
TEST(ScreenComposeTest, TellsTheWindowOnlyWhatChanged) {
    DisplayTarget target(kW, kH, 32);
    ExpectChanged(target, {}, "new screen");

    target.FillRect(RECT{10, 20, 30, 25}, kGreen);
    target.FillRect(RECT{-5, 100, 5, 102}, kGreen);
    ExpectChanged(target, {RECT{10, 20, 30, 25}, RECT{0, 100, 5, 102}}, "two fills, clipped");
    ExpectChanged(target, {}, "asked again");

    target.FillRect(RECT{0, 0, kW, kH}, kKeyColour);
    target.TakeChanged();
    const uint32_t key = px::PackRgb(kKeyColour, 32);
    // 16 source rows onto 160 screen rows: each source row shows on 10.
    Overlay o = MakeOverlay(32, 16, RECT{0, 0, 32, 16}, RECT{20, 10, 220, 170}, key, 3);
    Present(target, o);
    ExpectChanged(target, {RECT{20, 10, 220, 170}}, "first picture");

    target.SetOverlayPicture(o.yuy2.data(), o.width, o.height, o.pitch);
    ExpectChanged(target, {}, "the same picture again");

    o.yuy2[4 * static_cast<size_t>(o.pitch) + 10] ^= 1;
    o.yuy2[5 * static_cast<size_t>(o.pitch)] ^= 1;
    o.yuy2[12 * static_cast<size_t>(o.pitch) + 3] ^= 1;
    target.SetOverlayPicture(o.yuy2.data(), o.width, o.height, o.pitch);
    ExpectChanged(target, {RECT{20, 50, 220, 70}, RECT{20, 130, 220, 140}},
                  "source rows 4, 5 and 12 changed");
    EXPECT_EQ(FirstDifference(target.Compose(), Expected(target, o)), "");

    // Bytes past the pixels of a row are not shown.
    o.yuy2[7 * static_cast<size_t>(o.pitch) + 64] ^= 1;
    target.SetOverlayPicture(o.yuy2.data(), o.width, o.height, o.pitch);
    ExpectChanged(target, {}, "padding changed");

    const RECT moved{0, 0, 100, 50};
    target.SetOverlayPosition(true, o.src, moved, key);
    ExpectChanged(target, {RECT{0, 0, 100, 10}, RECT{0, 10, 220, 50}, RECT{20, 50, 220, 170}},
                  "moved: where it was and where it is");
}

}  // namespace
