#include "platform/display/overlay_scanout.h"

#include <algorithm>
#include <cstring>

#include "platform/display/pixel_math.h"

namespace px = display_pixels;

namespace {

// Source position of each of the places first..last-1 of a destination
// span that starts at dstStart and is dstLength long.
std::vector<int> SourceMap(int srcStart, int srcLength, int dstStart, int dstLength, int first,
                           int last) {
    std::vector<int> map(static_cast<size_t>(std::max(last - first, 0)));
    for (int i = first; i < last; ++i) {
        map[static_cast<size_t>(i - first)] =
            srcStart + static_cast<int>(static_cast<int64_t>(i - dstStart) * srcLength / dstLength);
    }
    return map;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

OverlayScanout::OverlayScanout(int screenWidth, int screenHeight, int depth)
    : screenWidth_(screenWidth), screenHeight_(screenHeight), depth_(depth) {}

void OverlayScanout::SetConverter(Yuy2RgbConverter convert) {
    convert_ = convert;
    convertedRow_ = -1;
}

void OverlayScanout::SetPosition(bool shown, const RECT& src, const RECT& dst, uint32_t colorKey) {
    shown_ = shown;
    // A key beyond the screen's pixel format matches no pixel.
    keyPixel_ = px::UnpackRgb(colorKey, depth_);
    keyMatches_ = px::PackRgb(keyPixel_, depth_) == colorKey;
    convertedRow_ = -1;
    std::fill(runsKnown_.begin(), runsKnown_.end(), 0);
    if (SameRect(src, src_) && SameRect(dst, dst_)) {
        return;
    }
    src_ = src;
    dst_ = dst;
    BuildMaps();
}

void OverlayScanout::BuildMaps() {
    const int dw = dst_.right - dst_.left;
    const int dh = dst_.bottom - dst_.top;
    const int sw = src_.right - src_.left;
    const int sh = src_.bottom - src_.top;
    area_ = RECT{0, 0, 0, 0};
    columns_.clear();
    rows_.clear();
    runs_.clear();
    runsKnown_.clear();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) {
        return;
    }
    const RECT on{std::max(dst_.left, 0), std::max(dst_.top, 0), std::min(dst_.right, screenWidth_),
                  std::min(dst_.bottom, screenHeight_)};
    if (on.left >= on.right || on.top >= on.bottom) {
        return;
    }
    area_ = on;
    columns_ = SourceMap(src_.left, sw, dst_.left, dw, on.left, on.right);
    rows_ = SourceMap(src_.top, sh, dst_.top, dh, on.top, on.bottom);
    runs_.resize(rows_.size());
    runsKnown_.assign(rows_.size(), 0);
}

std::optional<std::vector<RECT>> OverlayScanout::SetPicture(const uint8_t* yuy2, int width,
                                                            int height, int pitch) {
    convertedRow_ = -1;
    // Every pixel's pair must lie inside its row.
    const size_t rowBytes = static_cast<size_t>(std::max(width, 0) + 1) / 2 * 4;
    if (yuy2 == nullptr || width <= 0 || height <= 0 || static_cast<size_t>(pitch) < rowBytes) {
        width_ = height_ = pitch_ = 0;
        yuy2_.clear();
        return std::nullopt;
    }
    if (width != width_ || height != height_ || pitch != pitch_ || yuy2_.empty()) {
        width_ = width;
        height_ = height;
        pitch_ = pitch;
        yuy2_.assign(yuy2, yuy2 + static_cast<size_t>(pitch) * height);
        rowRgb_.resize(static_cast<size_t>(width));
        return std::nullopt;
    }
    std::vector<RECT> changed;
    int from = -1;
    for (int y = 0; y <= height; ++y) {
        const size_t at = static_cast<size_t>(y) * pitch;
        if (y < height && std::memcmp(yuy2_.data() + at, yuy2 + at, rowBytes) != 0) {
            std::memcpy(yuy2_.data() + at, yuy2 + at, rowBytes);
            from = from < 0 ? y : from;
        } else if (from >= 0) {
            AddScreenRows(from, y, &changed);
            from = -1;
        }
    }
    return changed;
}

void OverlayScanout::AddScreenRows(int from, int to, std::vector<RECT>* areas) const {
    const RECT area = Area();
    if (area.left >= area.right) {
        return;
    }
    // The row map rises with the screen row, so the rows showing source
    // rows from..to-1 lie together.
    const auto first = std::lower_bound(rows_.begin(), rows_.end(), from);
    const auto last = std::lower_bound(first, rows_.end(), to);
    if (first != last) {
        areas->push_back(RECT{area.left, area.top + static_cast<int>(first - rows_.begin()),
                              area.right, area.top + static_cast<int>(last - rows_.begin())});
    }
}

RECT OverlayScanout::Area() const {
    const bool pictureHoldsSrc = !yuy2_.empty() && src_.left >= 0 && src_.top >= 0 &&
                                 src_.right <= width_ && src_.bottom <= height_;
    if (!shown_ || !keyMatches_ || !pictureHoldsSrc) {
        return RECT{0, 0, 0, 0};
    }
    return area_;
}

const uint32_t* OverlayScanout::ConvertedRow(int sy, int x0, int x1) {
    // The source pixels under x0..x1, widened to whole pairs.
    const int from = columns_[static_cast<size_t>(x0 - area_.left)] & ~1;
    const int to = std::min(width_, (columns_[static_cast<size_t>(x1 - 1 - area_.left)] + 2) & ~1);
    if (sy == convertedRow_ && from >= convertedFrom_ && to <= convertedTo_) {
        return rowRgb_.data();
    }
    const uint8_t* row = yuy2_.data() + static_cast<size_t>(sy) * pitch_;
    int own = from;
    if (convert_ != nullptr) {
        const int pairsEnd = from + ((to - from) & ~1);
        convert_(reinterpret_cast<uint8_t*>(rowRgb_.data() + from), width_, row + 2 * from, pitch_,
                 pairsEnd - from, 1);
        own = pairsEnd;  // an odd last pixel
    }
    for (int x = own; x < to; ++x) {
        rowRgb_[static_cast<size_t>(x)] = px::Yuy2ToRgb(row, x);
    }
    // The top byte is set as the pixels are keyed in.
    if (depth_ == 15 || depth_ == 16) {
        for (int x = from; x < to; ++x) {
            rowRgb_[static_cast<size_t>(x)] =
                px::QuantizeRgb(rowRgb_[static_cast<size_t>(x)], depth_);
        }
    }
    convertedRow_ = sy;
    convertedFrom_ = from;
    convertedTo_ = to;
    return rowRgb_.data();
}

void OverlayScanout::KeyRow(int y, int x0, int x1, const uint32_t* screen, uint32_t* out) {
    if (x0 >= x1) {
        return;
    }
    const uint32_t* rgb = ConvertedRow(rows_[static_cast<size_t>(y - area_.top)], x0, x1);
    const int* column = columns_.data() + (x0 - area_.left);
    const uint32_t key = keyPixel_;
    for (int x = x0; x < x1; ++x, ++column) {
        const uint32_t p = screen[x];
        out[x] = p == key ? rgb[*column] | px::kOpaque : p;
    }
}

void OverlayScanout::ScreenRowChanged(int y) {
    const int i = y - area_.top;
    if (i >= 0 && i < static_cast<int>(runsKnown_.size())) {
        runsKnown_[static_cast<size_t>(i)] = 0;
    }
}

void OverlayScanout::RefreshRow(int y, const uint32_t* screen, uint32_t* out) {
    const size_t i = static_cast<size_t>(y - area_.top);
    std::vector<Run>& runs = runs_[i];
    if (runsKnown_[i] == 0) {
        runs.clear();
        for (int x = area_.left; x < area_.right;) {
            if (screen[x] != keyPixel_) {
                ++x;
                continue;
            }
            const int from = x;
            while (x < area_.right && screen[x] == keyPixel_) {
                ++x;
            }
            runs.push_back(Run{from, x});
        }
        runsKnown_[i] = 1;
    }
    if (runs.empty()) {
        return;
    }
    const uint32_t* rgb = ConvertedRow(rows_[i], runs.front().from, runs.back().to);
    for (const Run& run : runs) {
        const int* column = columns_.data() + (run.from - area_.left);
        for (int x = run.from; x < run.to; ++x, ++column) {
            out[x] = rgb[*column] | px::kOpaque;
        }
    }
}
