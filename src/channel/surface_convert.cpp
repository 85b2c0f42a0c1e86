#include "channel/surface_convert.h"

#include <algorithm>

#include "channel/frame_slot.h"
#include "media/color_convert.h"
#include "media/pixel_formats.h"

void ConvertToSurface(uint8_t* surface, uint8_t format, int pitch, const uint8_t* y,
                      const uint8_t* u, const uint8_t* v, int yStride, int uvStride, int width,
                      int height, int* shownWidth, int* shownHeight) {
    *shownWidth = 0;
    *shownHeight = 0;
    const int bpp = BytesPerPixelOfFormat(format);
    if (surface == nullptr || bpp == 0 || y == nullptr || u == nullptr || v == nullptr) {
        return;
    }
    const int stride = pitch / bpp;
    const int w = std::min({width, FRAME_SLOT_WIDTH, std::max(stride, 0) & ~7});
    const int h = std::min(height, FRAME_SLOT_HEIGHT) & ~1;
    if (w <= 0 || h <= 0) {
        return;
    }
    Yv12Converter convert = Yv12ConverterFor(format);
    if (convert == nullptr) {
        return;
    }
    convert(surface, stride, y, u, v, yStride, uvStride, w, h);
    *shownWidth = w;
    *shownHeight = h;
}
