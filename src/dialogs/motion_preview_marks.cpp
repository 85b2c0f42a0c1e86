#include "dialogs/motion_preview_marks.h"

#include <cstring>

#include "mainwnd/preview_display.h"
#include "media/color_convert.h"
#include "media/osd_text.h"

namespace {

constexpr int kGrid = 8;
constexpr char kDiamond[] = "\xA1\xF4";

}  // namespace

void ShadeMotionCells(uint8_t* y, int yStride, int width, int height, const uint8_t levels[64],
                      int threshold) {
    const int cw = width / kGrid;
    const int ch = height / kGrid;
    for (int cell = 0; cell < kGrid * kGrid; ++cell) {
        if (levels[cell] <= threshold) {
            continue;
        }
        const int x0 = (cell % kGrid) * cw;
        const int y0 = (cell / kGrid) * ch;
        for (int row = y0; row < y0 + ch; ++row) {
            uint8_t* p = y + static_cast<size_t>(row) * yStride + x0;
            for (int x = 0; x < cw; ++x) {
                p[x] = static_cast<uint8_t>(p[x] >> 1);
            }
        }
    }
}

void DrawGridAndMask(uint8_t* y, int yStride, int width, int height, const uint8_t mask[64]) {
    const int cw = width / kGrid;
    const int ch = height / kGrid;
    for (int k = 1; k < kGrid; ++k) {
        std::memset(y + static_cast<size_t>(k * ch) * yStride, 0, static_cast<size_t>(width));
    }
    for (int row = 0; row < height; ++row) {
        uint8_t* line = y + static_cast<size_t>(row) * yStride;
        for (int k = 1; k < kGrid; ++k) {
            line[k * cw] = 0;
        }
    }
    const int dx = cw > 16 ? cw / 2 - 8 : 0;
    const int dy = ch > 16 ? ch / 2 - 8 : 0;
    for (int cell = 0; cell < kGrid * kGrid; ++cell) {
        if (mask[cell] != 0) {
            DrawOsdText(y, kDiamond, (cell % kGrid) * cw + dx, (cell / kGrid) * ch + dy, yStride,
                        width, height);
        }
    }
}

bool ConvertPreviewPicture(uint8_t* surface, int pitch, uint16_t code, const uint8_t* y,
                           const uint8_t* u, const uint8_t* v, int yStride, int uvStride, int width,
                           int height) {
    Yv12Converter convert = nullptr;
    switch (code) {
        case PREVIEW_FORMAT_YUY2:
            convert = Yv12ToYuy2;
            break;
        case PREVIEW_FORMAT_RGB32:
            convert = Yv12ToBgra32;
            break;
        case PREVIEW_FORMAT_RGB24:
            convert = Yv12ToBgr24;
            break;
        case PREVIEW_FORMAT_RGB565:
            convert = Yv12ToRgb565;
            break;
        case PREVIEW_FORMAT_RGB555:
            convert = Yv12ToRgb555;
            break;
        default:
            return false;
    }
    convert(surface, pitch / (code & 0xFF), y, u, v, yStride, uvStride, width, height);
    return true;
}
