#include "wall_bench_setup.h"

#include "media/pixel_formats.h"

namespace {

struct FormatSetup {
    int depth;
    bool yuy2;
    bool overlay;
};

FormatSetup SetupFor(uint8_t format) {
    switch (format) {
        case PIXFMT_YUY2:
            return {32, true, false};
        case PIXFMT_RGB32:
            return {32, false, false};
        case PIXFMT_RGB24:
            return {24, false, false};
        case PIXFMT_RGB565:
            return {16, false, false};
        case PIXFMT_RGB555:
            return {15, false, false};
        default:
            return {32, true, true};
    }
}

}  // namespace

WallSurfaceSetup::WallSurfaceSetup(uint8_t format) {
    const FormatSetup s = SetupFor(format);
    overlay_ = s.overlay;
    yuy2_ = s.yuy2;
    DisplayCaps caps;
    caps.yuy2Blit = s.yuy2;
    caps.overlay = s.overlay;
    SetDefaultDisplayDevice(std::make_shared<DisplayDevice>(caps));
    auto target = std::make_shared<DisplayTarget>(1024, 768, s.depth);
    wall_ = std::make_unique<DisplayWindow>(target, kWallClient, 1);
    target->FillRect(kWallClient, 0xFF080008);
}

WallSurfaceSetup::~WallSurfaceSetup() {
    wall_.reset();
    SetDefaultDisplayDevice(nullptr);
}

RECT WallCell(int n) {
    const int w = (kWallClient.right - kWallClient.left) / 4;
    const int h = (kWallClient.bottom - kWallClient.top) / 4;
    const int left = kWallClient.left + (n % 4) * w;
    const int top = kWallClient.top + (n / 4) * h;
    return RECT{left, top, left + w, top + h};
}

std::vector<uint8_t> MakeBenchPicture(int seed) {
    std::vector<uint8_t> pic(kPictureWidth * kPictureHeight * 3 / 2);
    for (size_t i = 0; i < pic.size(); ++i) {
        pic[i] = static_cast<uint8_t>(16 + (i * 7 + static_cast<size_t>(seed) * 13) % 220);
    }
    return pic;
}
