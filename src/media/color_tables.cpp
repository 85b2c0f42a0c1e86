#include "media/color_convert.h"
#include "media/pixel_formats.h"

int32_t g_YToRgb[256];
int32_t g_UToB[256];
int32_t g_UToG[256];
int32_t g_VToG[256];
int32_t g_VToR[256];

namespace {

// 1.164, 2.018, 0.391, 0.813 and 1.596 times 8192, rounded.
constexpr int32_t kY = 9535;
constexpr int32_t kUB = 16531;
constexpr int32_t kUG = 3203;
constexpr int32_t kVG = 6660;
constexpr int32_t kVR = 13074;

struct TablesAtStartup {
    TablesAtStartup() { InitYv12RgbTables(); }
} g_tablesAtStartup;

}  // namespace

void InitYv12RgbTables() {
    for (int i = 0; i < 256; ++i) {
        g_YToRgb[i] = kY * (i - 16);
        g_UToB[i] = kUB * (i - 128);
        g_UToG[i] = kUG * (i - 128);
        g_VToG[i] = kVG * (i - 128);
        g_VToR[i] = kVR * (i - 128);
    }
}

Yv12Converter Yv12ConverterFor(uint8_t pixelFormat) {
    switch (pixelFormat) {
        case PIXFMT_YUY2:
        case PIXFMT_YUY2_OVERLAY:
            return Yv12ToYuy2;
        case PIXFMT_RGB32:
            return Yv12ToBgra32;
        case PIXFMT_RGB24:
            return Yv12ToBgr24;
        case PIXFMT_RGB565:
            return Yv12ToRgb565;
        case PIXFMT_RGB555:
            return Yv12ToRgb555;
        default:
            return nullptr;
    }
}
