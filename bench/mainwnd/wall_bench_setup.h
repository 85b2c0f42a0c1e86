#pragma once
// What the display-pass benchmarks share: 16 CIF channels on the 4 x 4
// grid of the video wall, and the display hardware and screen set up for
// one display pixel format.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/display/display_device.h"
#include "platform/display/display_target.h"

constexpr int kWallChannels = 16;
constexpr int kPictureWidth = 352;
constexpr int kPictureHeight = 288;
constexpr RECT kWallClient{19, 16, 19 + 790, 16 + 646};

// The display device (the default one while this lives), a screen of the
// depth the format needs and the wall window on it, cleared.
class WallSurfaceSetup {
public:
    explicit WallSurfaceSetup(uint8_t format);
    ~WallSurfaceSetup();
    WallSurfaceSetup(const WallSurfaceSetup&) = delete;
    WallSurfaceSetup& operator=(const WallSurfaceSetup&) = delete;

    DisplayWindow& Wall() { return *wall_; }
    // What the display flags must say for the format to be taken.
    bool Overlay() const { return overlay_; }
    bool Yuy2() const { return yuy2_; }

private:
    bool overlay_ = false;
    bool yuy2_ = false;
    std::unique_ptr<DisplayWindow> wall_;
};

// Channel n's cell of the 4 x 4 grid.
RECT WallCell(int n);

// An I420 picture of the channel size; seed varies its content.
std::vector<uint8_t> MakeBenchPicture(int seed);
