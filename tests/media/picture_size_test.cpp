#include "media/picture_size.h"

#include <gtest/gtest.h>

#include <vector>

#include "media/motion_grid.h"

TEST(PictureSize, CodesBothWays) {
    const struct {
        int w, h;
        uint8_t code;
    } sizes[] = {{176, 144, 1}, {160, 120, 2}, {352, 144, 3}, {320, 120, 4}, {352, 288, 5},
                 {320, 240, 6}, {704, 288, 7}, {640, 240, 8}, {704, 576, 9}, {640, 480, 10}};
    for (const auto& s : sizes) {
        EXPECT_EQ(GetPicSizeCode(s.w, s.h), s.code);
        int w = -1, h = -1;
        EXPECT_EQ(GetPicSizeFromCode(s.code, &w, &h), 1);
        EXPECT_EQ(w, s.w);
        EXPECT_EQ(h, s.h);
    }
    EXPECT_EQ(GetPicSizeCode(288, 352), 0);
    EXPECT_EQ(GetPicSizeCode(720, 576), 0);
    EXPECT_EQ(GetPicSizeCode(0, 0), 0);
    for (uint8_t code : {0, 11, 15, 255}) {
        int w = -1, h = -1;
        EXPECT_EQ(GetPicSizeFromCode(code, &w, &h), 0) << int(code);
        EXPECT_EQ(w, 0);
        EXPECT_EQ(h, 0);
    }
}

namespace {

using Sampler = int (*)(const uint8_t*, int, uint8_t*);

struct SamplerCase {
    Sampler sample;
    int width, height, cellW, cellH;
    std::vector<int> rows, cols;
};

const SamplerCase kSamplers[] = {
    {SampleMotionGrid352x288,
     352,
     288,
     44,
     36,
     {1, 6, 11, 16, 20, 25, 30, 35},
     {1, 6, 12, 18, 24, 30, 36, 42}},
    {SampleMotionGrid176x144,
     176,
     144,
     22,
     18,
     {1, 4, 6, 8, 10, 12, 14, 17},
     {1, 4, 7, 9, 12, 14, 17, 20}},
    {SampleMotionGrid320x240,
     320,
     240,
     40,
     30,
     {1, 5, 9, 13, 17, 21, 25, 29},
     {1, 7, 12, 17, 22, 27, 32, 38}},
    {SampleMotionGrid160x120,
     160,
     120,
     20,
     15,
     {1, 3, 5, 7, 9, 10, 12, 14},
     {1, 4, 6, 9, 11, 14, 16, 19}},
};

bool IsSample(const SamplerCase& s, int row, int col) {
    int r = row % s.cellH, c = col % s.cellW;
    bool rowHit = false, colHit = false;
    for (int x : s.rows) {
        rowHit = rowHit || x == r;
    }
    for (int x : s.cols) {
        colHit = colHit || x == c;
    }
    return rowHit && colHit;
}

}  // namespace

// Constant planes give their value; pixels off the sample positions count
// for nothing; planes read with a stride wider than the picture stay inside.
TEST(MotionGrid, SamplesOnlyTheListedPositions) {
    for (const auto& s : kSamplers) {
        const int stride = s.width + 8;
        for (uint8_t v : {0, 77, 255}) {
            std::vector<uint8_t> plane(static_cast<size_t>(stride) * s.height, v);
            uint8_t grid[64];
            EXPECT_EQ(s.sample(plane.data(), stride, grid), 1);
            for (int i = 0; i < 64; ++i) {
                ASSERT_EQ(grid[i], v) << s.width;
            }
        }
        std::vector<uint8_t> off(static_cast<size_t>(stride) * s.height, 0);
        for (int r = 0; r < s.height; ++r) {
            for (int c = 0; c < stride; ++c) {
                if (c >= s.width || !IsSample(s, r, c)) {
                    off[r * stride + c] = 255;
                }
            }
        }
        uint8_t grid[64];
        s.sample(off.data(), stride, grid);
        for (int i = 0; i < 64; ++i) {
            ASSERT_EQ(grid[i], 0) << s.width << " cell " << i;
        }
    }
}

TEST(MotionGrid, SinglePixelsLandInTheirCell) {
    const struct {
        int sampler;  // index into kSamplers
        int row, col, value;
        int cell;  // -1: no cell sees it
        int mean;
    } table[] = {
        {0, 1, 1, 64, 0, 1},     // 352 x 288: the first sample of the first cell
        {0, 37, 45, 255, 9, 3},  // second cell row, second cell column
        {3, 10, 1, 128, 0, 2},   // 160 x 120: row 10, after the one step of 1
        {3, 11, 1, 255, -1, 0},  // row 11 is not sampled
        {1, 143, 175, 255, -1, 0},
    };
    for (const auto& t : table) {
        const SamplerCase& s = kSamplers[t.sampler];
        std::vector<uint8_t> plane(static_cast<size_t>(s.width) * s.height, 0);
        plane[t.row * s.width + t.col] = static_cast<uint8_t>(t.value);
        uint8_t grid[64];
        s.sample(plane.data(), s.width, grid);
        for (int i = 0; i < 64; ++i) {
            int expected = i == t.cell ? t.mean : 0;
            ASSERT_EQ(grid[i], expected)
                << s.width << " pixel " << t.row << "," << t.col << " cell " << i;
        }
    }
}
