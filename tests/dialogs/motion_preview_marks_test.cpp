// What the motion dialog draws over its preview: the grid, the diamonds on
// watched cells at their places for both cell sizes, the motion test's
// shading, and the conversion by the renderer's format code.

#include "dialogs/motion_preview_marks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "mainwnd/preview_display.h"
#include "media/osd_text.h"

namespace {

constexpr uint8_t kGrey = 128;
constexpr uint8_t kInk = 250;

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

// Where ink lies in a region of a plane.
Box InkIn(const std::vector<uint8_t>& plane, int stride, int x0, int y0, int x1, int y1) {
    Box b;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (plane[static_cast<size_t>(y) * stride + x] == kInk) {
                b.left = std::min(b.left, x);
                b.top = std::min(b.top, y);
                b.right = std::max(b.right, x);
                b.bottom = std::max(b.bottom, y);
            }
        }
    }
    return b;
}

class MotionPreviewMarksTest : public ::testing::Test {
protected:
    void SetUp() override { InitOsdFont(); }

    // The diamond's ink drawn alone at the origin of a blank plane.
    Box DiamondAtOrigin() {
        std::vector<uint8_t> plane(64 * 64, kGrey);
        DrawOsdText(plane.data(), "\xA1\xF4", 0, 0, 64, 64, 64);
        return InkIn(plane, 64, 0, 0, 64, 64);
    }
};

TEST_F(MotionPreviewMarksTest, GridLinesAndMarksSitWhereTheCellSizeSays) {
    struct Case {
        int width, height, stride;
        int cw, ch;  // cell size
        int dx, dy;  // the mark's offset from the cell's corner
    };
    const Case cases[] = {
        {352, 288, 352, 44, 36, 14, 10},
        {352, 288, 385, 44, 36, 14, 10},  // a decoder's wider rows
        {160, 120, 160, 20, 15, 2, 0},
        {176, 144, 176, 22, 18, 3, 1},
    };
    const Box diamond = DiamondAtOrigin();
    ASSERT_GE(diamond.right, diamond.left);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        std::vector<uint8_t> y(static_cast<size_t>(c.stride) * c.height, kGrey);
        uint8_t mask[64] = {};
        mask[0] = 1;
        mask[2 * 8 + 5] = 7;  // any value but 0 marks
        DrawGridAndMask(y.data(), c.stride, c.width, c.height, mask);
        auto at = [&](int x, int row) { return y[static_cast<size_t>(row) * c.stride + x]; };
        for (int k = 1; k < 8; ++k) {
            EXPECT_EQ(at(c.width - 1, k * c.ch), 0) << "row line " << k;
            EXPECT_EQ(at(k * c.cw, c.height - 1), 0) << "column line " << k;
        }
        EXPECT_EQ(at(c.width - 1, c.height - 1), kGrey);
        if (c.stride > c.width) {
            EXPECT_EQ(at(c.width, c.ch), kGrey) << "past the picture's rows";
        }
        for (int cell : {0, 2 * 8 + 5}) {
            const int x0 = (cell % 8) * c.cw + c.dx;
            const int y0 = (cell / 8) * c.ch + c.dy;
            const Box b = InkIn(y, c.stride, (cell % 8) * c.cw, (cell / 8) * c.ch,
                                std::min(c.width, x0 + 20), std::min(c.height, y0 + 20));
            EXPECT_EQ(b.left, x0 + diamond.left) << "cell " << cell;
            EXPECT_EQ(b.top, y0 + diamond.top) << "cell " << cell;
        }
        // An unwatched cell holds no mark.
        const Box none = InkIn(y, c.stride, 7 * c.cw + 1, 7 * c.ch + 1, c.width, c.height);
        EXPECT_LT(none.right, 0);
    }
}

TEST_F(MotionPreviewMarksTest, OnlyCellsAboveTheThresholdAreShaded) {
    const int w = 352;
    const int h = 288;
    std::vector<uint8_t> y(static_cast<size_t>(w) * h, 201);
    uint8_t levels[64] = {};
    levels[9] = 6;   // above 5
    levels[10] = 5;  // at the threshold
    levels[63] = 255;
    ShadeMotionCells(y.data(), w, w, h, levels, 5);
    auto at = [&](int x, int row) { return y[static_cast<size_t>(row) * w + x]; };
    EXPECT_EQ(at(44, 36), 100);
    EXPECT_EQ(at(87, 71), 100);
    EXPECT_EQ(at(88, 36), 201);
    EXPECT_EQ(at(43, 36), 201);
    EXPECT_EQ(at(351, 287), 100);
    EXPECT_EQ(at(0, 0), 201);
}

TEST_F(MotionPreviewMarksTest, EachFormatCodeHasItsConverterAndOthersNone) {
    const int w = 16;
    const int h = 4;
    std::vector<uint8_t> y(w * h, 235);
    std::vector<uint8_t> u(w / 2 * h / 2, 128);
    std::vector<uint8_t> v(w / 2 * h / 2, 128);
    struct Case {
        uint16_t code;
        bool converted;
    };
    for (const Case c : {Case{PREVIEW_FORMAT_YUY2, true}, Case{PREVIEW_FORMAT_RGB32, true},
                         Case{PREVIEW_FORMAT_RGB24, true}, Case{PREVIEW_FORMAT_RGB565, true},
                         Case{PREVIEW_FORMAT_RGB555, true}, Case{0x0602, false},
                         Case{0x0104, false}, Case{0, false}}) {
        SCOPED_TRACE(c.code);
        const int bpp = std::max(c.code & 0xFF, 1);
        const int pitch = 20 * bpp;  // wider than the picture
        std::vector<uint8_t> surface(static_cast<size_t>(pitch) * h, 0x11);
        EXPECT_EQ(ConvertPreviewPicture(surface.data(), pitch, c.code, y.data(), u.data(), v.data(),
                                        w, w / 2, w, h),
                  c.converted);
        const bool written = surface[0] != 0x11 || surface[1] != 0x11;
        EXPECT_EQ(written, c.converted);
        // Rows start a pitch apart, and nothing lies past the picture.
        if (c.converted) {
            EXPECT_NE(surface[static_cast<size_t>(pitch) * (h - 1)], 0x11);
            EXPECT_EQ(surface[static_cast<size_t>(w) * bpp], 0x11);
        }
    }
}

}  // namespace
