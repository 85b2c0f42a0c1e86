#include "platform/display/display_target.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/display/pixel_math.h"

namespace px = display_pixels;

DisplayTarget::DisplayTarget(int width, int height, int depth)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      depth_(depth),
      image_(static_cast<size_t>(width_) * height_, px::kOpaque) {}

void DisplayTarget::FillRect(const RECT& rc, uint32_t rgb) {
    const int left = std::max(rc.left, 0);
    const int top = std::max(rc.top, 0);
    const int right = std::min(rc.right, width_);
    const int bottom = std::min(rc.bottom, height_);
    const uint32_t value = px::QuantizeRgb(rgb, depth_);
    auto lock = Lock();
    for (int y = top; y < bottom; ++y) {
        std::fill(Row(y) + left, Row(y) + std::max(left, right), value);
    }
}

uint32_t DisplayTarget::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    auto lock = Lock();
    return image_[static_cast<size_t>(y) * width_ + x];
}

std::vector<uint32_t> DisplayTarget::Compose() const {
    std::vector<uint32_t> out(static_cast<size_t>(width_) * height_);
    ComposeInto(out.data(), width_);
    return out;
}

void DisplayTarget::ComposeInto(uint32_t* dst, int strideWords) const {
    auto lock = Lock();
    ComposeLocked(dst, strideWords);
}

void DisplayTarget::ComposeLocked(uint32_t* dst, int strideWords) const {
    for (int y = 0; y < height_; ++y) {
        std::memcpy(dst + static_cast<size_t>(y) * strideWords,
                    image_.data() + static_cast<size_t>(y) * width_, sizeof(uint32_t) * width_);
    }
    const OverlayScanout& ov = overlay_;
    if (!ov.shown || ov.yuy2.empty()) {
        return;
    }
    const int dw = ov.dst.right - ov.dst.left;
    const int dh = ov.dst.bottom - ov.dst.top;
    const int sw = ov.src.right - ov.src.left;
    const int sh = ov.src.bottom - ov.src.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) {
        return;
    }
    const int x0 = std::max(ov.dst.left, 0);
    const int x1 = std::min(ov.dst.right, width_);
    const int y0 = std::max(ov.dst.top, 0);
    const int y1 = std::min(ov.dst.bottom, height_);
    for (int y = y0; y < y1; ++y) {
        const int sy =
            ov.src.top + static_cast<int>(static_cast<int64_t>(y - ov.dst.top) * sh / dh);
        const uint8_t* srow = ov.yuy2.data() + static_cast<size_t>(sy) * ov.pitch;
        uint32_t* drow = dst + static_cast<size_t>(y) * strideWords;
        for (int x = x0; x < x1; ++x) {
            if (px::PackRgb(drow[x], depth_) != ov.colorKey) {
                continue;
            }
            const int sx =
                ov.src.left + static_cast<int>(static_cast<int64_t>(x - ov.dst.left) * sw / dw);
            drow[x] = px::QuantizeRgb(px::Yuy2ToRgb(srow, sx), depth_);
        }
    }
}

void DisplayTarget::SetOverlayPosition(bool shown, const RECT& src, const RECT& dst,
                                       uint32_t colorKey) {
    auto lock = Lock();
    overlay_.shown = shown;
    overlay_.src = src;
    overlay_.dst = dst;
    overlay_.colorKey = colorKey;
}

void DisplayTarget::SetOverlayPicture(const uint8_t* yuy2, int width, int height, int pitch) {
    auto lock = Lock();
    overlay_.width = width;
    overlay_.height = height;
    overlay_.pitch = pitch;
    overlay_.yuy2.assign(yuy2, yuy2 + static_cast<size_t>(pitch) * height);
}

bool DisplayTarget::OverlayShown() const {
    auto lock = Lock();
    return overlay_.shown;
}

namespace {

// Never destroyed, so windows that outlive main still unregister safely.
std::mutex& RegistryMutex() {
    static auto* m = new std::mutex;
    return *m;
}
std::set<const DisplayWindow*>& Registry() {
    static auto* windows = new std::set<const DisplayWindow*>;
    return *windows;
}

}  // namespace

DisplayWindow::DisplayWindow(std::shared_ptr<DisplayTarget> target, const RECT& clientOnScreen,
                             int border)
    : target_(std::move(target)), client_(clientOnScreen), border_(std::max(border, 0)) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    Registry().insert(this);
}

DisplayWindow::~DisplayWindow() {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    Registry().erase(this);
}

void DisplayWindow::MoveTo(const RECT& clientOnScreen) {
    std::lock_guard<std::mutex> lock(mutex_);
    client_ = clientOnScreen;
}

std::shared_ptr<DisplayTarget> DisplayWindow::Target() const {
    return target_;
}

RECT DisplayWindow::ClientOnScreen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return client_;
}

RECT DisplayWindow::WindowOnScreen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return RECT{client_.left - border_, client_.top - border_, client_.right + border_,
                client_.bottom + border_};
}

bool IsWindow(HWND hWnd) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    return hWnd != nullptr && Registry().count(hWnd) != 0;
}

// The registry lock is held while the window is read, so a window being
// destroyed on another thread waits until the answer is complete.
bool GetClientRectOnScreen(HWND hWnd, RECT* pRect) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    const bool live = hWnd != nullptr && Registry().count(hWnd) != 0;
    if (pRect != nullptr) {
        *pRect = live ? hWnd->ClientOnScreen() : RECT{0, 0, 0, 0};
    }
    return live;
}

bool GetWindowRect(HWND hWnd, RECT* pRect) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    const bool live = hWnd != nullptr && Registry().count(hWnd) != 0;
    if (pRect != nullptr) {
        *pRect = live ? hWnd->WindowOnScreen() : RECT{0, 0, 0, 0};
    }
    return live;
}

std::shared_ptr<DisplayTarget> GetWindowTarget(HWND hWnd) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    if (hWnd == nullptr || Registry().count(hWnd) == 0) {
        return nullptr;
    }
    return hWnd->Target();
}
