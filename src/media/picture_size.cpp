#include "media/picture_size.h"

#include <iterator>

namespace {

struct Size {
    int width, height;
};

// Index = code - 1.
constexpr Size kSizes[] = {{176, 144}, {160, 120}, {352, 144}, {320, 120}, {352, 288},
                           {320, 240}, {704, 288}, {640, 240}, {704, 576}, {640, 480}};

}  // namespace

uint8_t GetPicSizeCode(int width, int height) {
    for (int i = 0; i < static_cast<int>(std::size(kSizes)); ++i) {
        if (kSizes[i].width == width && kSizes[i].height == height) {
            return static_cast<uint8_t>(i + 1);
        }
    }
    return PICSIZE_OTHER;
}

int GetPicSizeFromCode(uint8_t code, int* width, int* height) {
    bool known = code >= 1 && code <= std::size(kSizes);
    int w = known ? kSizes[code - 1].width : 0;
    int h = known ? kSizes[code - 1].height : 0;
    if (width != nullptr) {
        *width = w;
    }
    if (height != nullptr) {
        *height = h;
    }
    return known ? 1 : 0;
}
