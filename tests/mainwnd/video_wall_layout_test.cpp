#include "mainwnd/video_wall_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The wall's client area at its place in a 1024 x 768 main window at (0, 0):
// 790 x 646 inside the thin border of the 792 x 648 window at (18, 15).
const RECT kWall{19, 16, 19 + 790, 16 + 646};

RECT Rel(int l, int t, int r, int b) {
    return RECT{kWall.left + l, kWall.top + t, kWall.left + r, kWall.top + b};
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct LayoutCase {
    const char* name;
    int layout;
    int first;
    int count;
    std::vector<std::pair<int, RECT>> shown;  // every other entry below count is hidden
};

}  // namespace

TEST(VideoWallLayoutTest, ChannelRectanglesOfEachLayout) {
    const LayoutCase cases[] = {
        {"1 on channel 2", 1, 2, 4, {{2, Rel(0, 0, 790, 646)}}},
        {"2 with its picture in picture",
         2,
         0,
         4,
         {{0, Rel(0, 0, 790, 646)}, {1, Rel(474, 387, 784, 640)}}},
        {"2 on the last channel shows it alone", 2, 3, 4, {{3, Rel(0, 0, 790, 646)}}},
        {"4, first page",
         4,
         0,
         6,
         {{0, Rel(0, 0, 395, 323)},
          {1, Rel(395, 0, 790, 323)},
          {2, Rel(0, 323, 395, 646)},
          {3, Rel(395, 323, 790, 646)}}},
        {"4, second page of 6 leaves the bottom empty",
         4,
         4,
         6,
         {{4, Rel(0, 0, 395, 323)}, {5, Rel(395, 0, 790, 323)}}},
        {"6: the double cell, then cells 2, 5, 6, 7, 8",
         6,
         0,
         6,
         {{0, Rel(0, 0, 526, 430)},
          {1, Rel(526, 0, 789, 215)},
          {2, Rel(526, 215, 789, 430)},
          {3, Rel(0, 430, 263, 645)},
          {4, Rel(263, 430, 526, 645)},
          {5, Rel(526, 430, 789, 645)}}},
        {"9, second page of 16",
         9,
         9,
         16,
         {{9, Rel(0, 0, 263, 215)},
          {10, Rel(263, 0, 526, 215)},
          {11, Rel(526, 0, 789, 215)},
          {12, Rel(0, 215, 263, 430)},
          {13, Rel(263, 215, 526, 430)},
          {14, Rel(526, 215, 789, 430)},
          {15, Rel(0, 430, 263, 645)}}},
        {"16 with 3 channels",
         16,
         0,
         3,
         {{0, Rel(0, 0, 197, 161)}, {1, Rel(197, 0, 394, 161)}, {2, Rel(394, 0, 591, 161)}}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        RECT rc[16];
        for (RECT& r : rc) {
            r = RECT{1, 1, 5, 5};  // left from an earlier layout
        }
        ComputeLayout(c.layout, c.first, c.count, kWall, rc);
        for (int n = 0; n < c.count; ++n) {
            const RECT* want = nullptr;
            for (const auto& [ch, r] : c.shown) {
                if (ch == n) {
                    want = &r;
                }
            }
            if (want != nullptr) {
                EXPECT_TRUE(Same(rc[n], *want))
                    << "channel " << n << ": " << rc[n].left << "," << rc[n].top << ","
                    << rc[n].right << "," << rc[n].bottom;
            } else {
                EXPECT_FALSE(IsChannelRectShown(rc[n])) << "channel " << n;
            }
        }
        // Entries past the channel count are not touched.
        for (int n = c.count; n < 16; ++n) {
            EXPECT_TRUE(Same(rc[n], RECT{1, 1, 5, 5})) << "channel " << n;
        }
    }
}

TEST(VideoWallLayoutTest, Layout16OverwritesEveryRectangleWithoutClearing) {
    RECT rc[16] = {};
    ComputeLayout(1, 0, 16, kWall, rc);
    ComputeLayout(16, 0, 16, kWall, rc);
    for (int n = 0; n < 16; ++n) {
        EXPECT_EQ(rc[n].right - rc[n].left, 197) << n;
        EXPECT_EQ(rc[n].bottom - rc[n].top, 161) << n;
    }
    EXPECT_TRUE(Same(rc[15], Rel(591, 483, 788, 644)));
}

TEST(VideoWallLayoutTest, PageButtons) {
    struct Case {
        int layout, first, count, direction, want;
    } cases[] = {
        {4, 0, 6, +1, 4},   {4, 4, 6, +1, 4},  // 4 is not below 6 - 4
        {4, 4, 6, -1, 0},   {4, 3, 6, -1, 3},  // "<" acts above 3 only
        {9, 0, 16, +1, 9},  {9, 9, 16, +1, 9},  {6, 6, 16, +1, 12}, {6, 12, 16, +1, 12},
        {4, 0, 3, +1, 0},   {6, 0, 3, +1, 0},   {9, 0, 3, +1, 0},  // bound negative
        {1, 0, 4, -1, 0},   {1, 2, 4, +1, 3},   {1, 3, 4, +1, 3},   {2, 1, 4, -1, 0},
        {16, 0, 16, +1, 0}, {16, 0, 16, -1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PageFirstChannel(c.layout, c.first, c.count, c.direction), c.want)
            << "layout " << c.layout << " first " << c.first << " count " << c.count
            << " direction " << c.direction;
    }
}

TEST(VideoWallLayoutTest, ClickHitsStrictlyInsideAndPrefersTheHigherChannel) {
    RECT rc[16] = {};
    ComputeLayout(2, 0, 4, kWall, rc);
    const RECT pip = rc[1];
    EXPECT_EQ(HitChannel(rc, 4, pip.left + 5, pip.top + 5), 1);  // the small picture wins
    EXPECT_EQ(HitChannel(rc, 4, kWall.left + 5, kWall.top + 5), 0);
    EXPECT_EQ(HitChannel(rc, 4, kWall.left, kWall.top + 5), -1);  // on the edge
    EXPECT_EQ(HitChannel(rc, 4, pip.right, pip.top + 5), 0);      // pip edge: the main one
    ComputeLayout(4, 0, 3, kWall, rc);
    EXPECT_EQ(HitChannel(rc, 3, kWall.left + 500, kWall.top + 500), -1);  // empty cell
}
