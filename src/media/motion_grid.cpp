#include "media/motion_grid.h"

#include <cstddef>

namespace {

// Cell size and the sample rows and columns within a cell, per picture size.
struct SamplePattern {
    int cellWidth, cellHeight;
    uint8_t rows[8];
    uint8_t cols[8];
};

constexpr SamplePattern k352x288 = {
    44, 36, {1, 6, 11, 16, 20, 25, 30, 35}, {1, 6, 12, 18, 24, 30, 36, 42}};
constexpr SamplePattern k176x144 = {
    22, 18, {1, 4, 6, 8, 10, 12, 14, 17}, {1, 4, 7, 9, 12, 14, 17, 20}};
constexpr SamplePattern k320x240 = {
    40, 30, {1, 5, 9, 13, 17, 21, 25, 29}, {1, 7, 12, 17, 22, 27, 32, 38}};
constexpr SamplePattern k160x120 = {
    20, 15, {1, 3, 5, 7, 9, 10, 12, 14}, {1, 4, 6, 9, 11, 14, 16, 19}};

int Sample(const SamplePattern& pat, const uint8_t* luma, int stride, uint8_t grid[64]) {
    for (int i = 0; i < 64; ++i) {
        const uint8_t* cell = luma + static_cast<ptrdiff_t>(i / 8) * pat.cellHeight * stride +
                              (i % 8) * pat.cellWidth;
        unsigned sum = 0;
        for (uint8_t r : pat.rows) {
            const uint8_t* row = cell + static_cast<ptrdiff_t>(r) * stride;
            for (uint8_t c : pat.cols) {
                sum += row[c];
            }
        }
        grid[i] = static_cast<uint8_t>(sum >> 6);
    }
    return 1;
}

}  // namespace

int SampleMotionGrid352x288(const uint8_t* luma, int stride, uint8_t grid[64]) {
    return Sample(k352x288, luma, stride, grid);
}

int SampleMotionGrid176x144(const uint8_t* luma, int stride, uint8_t grid[64]) {
    return Sample(k176x144, luma, stride, grid);
}

int SampleMotionGrid320x240(const uint8_t* luma, int stride, uint8_t grid[64]) {
    return Sample(k320x240, luma, stride, grid);
}

int SampleMotionGrid160x120(const uint8_t* luma, int stride, uint8_t grid[64]) {
    return Sample(k160x120, luma, stride, grid);
}
