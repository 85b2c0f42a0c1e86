#pragma once
// Row-pair walking shared by the converters: a negative height turns the
// source upside down through negative strides.

#include <cstddef>
#include <cstdint>

struct RowPairWalk {
    const uint8_t* y;
    const uint8_t* u;
    const uint8_t* v;
    ptrdiff_t yStride;
    ptrdiff_t uvStride;
    int pairs;
};

inline RowPairWalk MakeRowPairWalk(const uint8_t* y, const uint8_t* u, const uint8_t* v,
                                   int yStride, int uvStride, int height) {
    RowPairWalk w{y, u, v, yStride, uvStride, (height < 0 ? -height : height) / 2};
    if (height < 0) {
        int rows = -height;
        w.y = y + static_cast<ptrdiff_t>(rows - 1) * yStride;
        w.u = u + static_cast<ptrdiff_t>((rows - 1) / 2) * uvStride;
        w.v = v + static_cast<ptrdiff_t>((rows - 1) / 2) * uvStride;
        w.yStride = -static_cast<ptrdiff_t>(yStride);
        w.uvStride = -static_cast<ptrdiff_t>(uvStride);
    }
    return w;
}
