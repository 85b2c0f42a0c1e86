#pragma once
// The stretch blits of the surface service: nearest-neighbour scaling from
// a source rectangle to a destination rectangle, with YUY2 converted to RGB
// on the way to the screen.

#include <cstdint>

#include "platform/display/display_target.h"

struct SurfaceImage {
    uint8_t* pixels;
    int pitch;
    int width;
    int height;
    int depth;  // 0: YUY2; else the RGB depth (15, 16, 24, 32)
};

// Same format on both sides; both rectangles lie inside their surfaces.
void StretchBetweenSurfaces(const SurfaceImage& src, const RECT& s, const SurfaceImage& dst,
                            const RECT& d);

// Onto the screen image (the caller holds its lock): the part of d inside
// clip and inside the screen is drawn. The source is YUY2 or of the
// screen's own depth.
void StretchOntoScreen(const SurfaceImage& src, const RECT& s, DisplayTarget& screen, const RECT& d,
                       const RECT& clip);
