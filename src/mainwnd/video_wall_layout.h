#pragma once
// Where each channel's picture lies on the video wall in each layout, and
// how the page buttons move a layout's first channel. Pure arithmetic over
// the wall's client rectangle on the screen, so the window and the tests
// share it.

#include "platform/wintypes/rect.h"

constexpr int LAYOUT_CHANNELS = 16;

// A hidden channel rectangle: left equals right.
inline bool IsChannelRectShown(const RECT& rc) {
    return rc.left != rc.right;
}

// Fills rc (16 entries) for layout 1, 2, 4, 6, 9 or 16 with its first
// channel on the wall rectangle wall; entries below channelCount that the
// layout does not show are hidden (layout 16 fills every one below
// min(16, channelCount) instead). Entries at or above channelCount are left
// alone. An unknown layout changes nothing.
void ComputeLayout(int layout, int first, int channelCount, const RECT& wall, RECT rc[]);

// The first channel after "<" (direction -1) or ">" (+1) in the layout;
// first itself when the button does not act.
int PageFirstChannel(int layout, int first, int channelCount, int direction);

// The channel hit by a click at the screen point (x, y): the highest channel
// below channelCount whose shown rectangle holds the point strictly inside;
// -1 when none does.
int HitChannel(const RECT rc[], int channelCount, int x, int y);
