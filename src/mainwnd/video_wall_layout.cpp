#include "mainwnd/video_wall_layout.h"

namespace {

RECT Cell(const RECT& wall, int col, int row, int cw, int ch, int spanCols = 1, int spanRows = 1) {
    const int left = wall.left + col * cw;
    const int top = wall.top + row * ch;
    return RECT{left, top, left + spanCols * cw, top + spanRows * ch};
}

// How far "<" and ">" move the first channel of a layout; 0: they never act.
int PageStep(int layout) {
    switch (layout) {
        case 1:
        case 2:
            return 1;
        case 4:
        case 6:
        case 9:
            return layout;
        default:
            return 0;
    }
}

}  // namespace

void ComputeLayout(int layout, int first, int channelCount, const RECT& wall, RECT rc[]) {
    if (layout != 1 && layout != 2 && layout != 4 && layout != 6 && layout != 9 && layout != 16) {
        return;
    }
    if (channelCount > LAYOUT_CHANNELS) {
        channelCount = LAYOUT_CHANNELS;
    }
    const int w = wall.right - wall.left;
    const int h = wall.bottom - wall.top;
    if (layout != 16) {
        for (int n = 0; n < channelCount; ++n) {
            rc[n] = RECT{0, 0, 0, 0};
        }
    }
    switch (layout) {
        case 1:
            if (first >= 0 && first < channelCount) {
                rc[first] = wall;
            }
            break;
        case 2:
            if (first >= 0 && first < channelCount) {
                rc[first] = wall;
            }
            if (first >= 0 && first + 1 < channelCount) {
                rc[first + 1] = RECT{wall.left + w * 3 / 5, wall.top + h * 3 / 5, wall.right - 6,
                                     wall.bottom - 6};
            }
            break;
        case 4:
        case 9:
        case 16: {
            const int k = layout == 4 ? 2 : (layout == 9 ? 3 : 4);
            const int start = layout == 16 ? 0 : first;
            const int cw = w / k;
            const int ch = h / k;
            for (int i = 0; i < k * k; ++i) {
                const int n = start + i;
                if (n < 0 || n >= channelCount) {
                    break;
                }
                rc[n] = Cell(wall, i % k, i / k, cw, ch);
            }
            break;
        }
        case 6: {
            const int cw = w / 3;
            const int ch = h / 3;
            // The double cell first, then grid cells 2, 5, 6, 7 and 8.
            static const int kCells[5] = {2, 5, 6, 7, 8};
            for (int i = 0; i < 6; ++i) {
                const int n = first + i;
                if (n < 0 || n >= channelCount) {
                    break;
                }
                rc[n] = i == 0 ? Cell(wall, 0, 0, cw, ch, 2, 2)
                               : Cell(wall, kCells[i - 1] % 3, kCells[i - 1] / 3, cw, ch);
            }
            break;
        }
        default:
            break;
    }
}

int PageFirstChannel(int layout, int first, int channelCount, int direction) {
    const int step = PageStep(layout);
    if (step == 0) {
        return first;
    }
    // Signed on purpose: with fewer channels than a page the bound is
    // negative and ">" never acts.
    if (direction < 0) {
        return first > step - 1 ? first - step : first;
    }
    return first < channelCount - step ? first + step : first;
}

int HitChannel(const RECT rc[], int channelCount, int x, int y) {
    if (channelCount > LAYOUT_CHANNELS) {
        channelCount = LAYOUT_CHANNELS;
    }
    for (int n = channelCount - 1; n >= 0; --n) {
        const RECT& r = rc[n];
        if (IsChannelRectShown(r) && r.left < x && x < r.right && r.top < y && y < r.bottom) {
            return n;
        }
    }
    return -1;
}
