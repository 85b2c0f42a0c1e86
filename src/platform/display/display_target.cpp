#include "platform/display/display_target.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/display/pixel_math.h"

namespace px = display_pixels;

namespace {

bool IsEmpty(const RECT& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

RECT Intersection(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

// Widens a row's span to hold left..right as well.
template <typename Span>
void Widen(Span& span, int left, int right) {
    if (span.left >= span.right) {
        span.left = left;
        span.right = right;
    } else {
        span.left = std::min(span.left, left);
        span.right = std::max(span.right, right);
    }
}

}  // namespace

DisplayTarget::DisplayTarget(int width, int height, int depth)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      depth_(depth),
      image_(static_cast<size_t>(width_) * height_, px::kOpaque),
      composed_(image_),
      stale_(static_cast<size_t>(height_)),
      overlayStale_(static_cast<size_t>(height_)),
      unshown_(static_cast<size_t>(height_)),
      overlay_(width_, height_, depth) {}

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
    DrawnLocked(RECT{left, top, right, bottom});
}

uint32_t DisplayTarget::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    auto lock = Lock();
    return image_[static_cast<size_t>(y) * width_ + x];
}

std::vector<uint32_t> DisplayTarget::Compose() {
    auto lock = Lock();
    UpdateComposedLocked();
    return composed_;
}

void DisplayTarget::ComposeInto(uint32_t* dst, int strideWords) {
    ShowComposed([&](const uint32_t* pixels, int stride) {
        for (int y = 0; y < height_; ++y) {
            std::memcpy(dst + static_cast<size_t>(y) * strideWords,
                        pixels + static_cast<size_t>(y) * stride, sizeof(uint32_t) * width_);
        }
    });
}

std::vector<RECT> DisplayTarget::TakeChanged() {
    auto lock = Lock();
    // Rows that changed over the same columns make one rectangle.
    std::vector<RECT> changed;
    for (int y = 0; y < height_; ++y) {
        RowSpan& span = unshown_[static_cast<size_t>(y)];
        if (span.left >= span.right) {
            continue;
        }
        RECT* last = changed.empty() ? nullptr : &changed.back();
        if (last != nullptr && last->bottom == y && last->left == span.left &&
            last->right == span.right) {
            last->bottom = y + 1;
        } else {
            changed.push_back(RECT{span.left, y, span.right, y + 1});
        }
        span = RowSpan{};
    }
    return changed;
}

void DisplayTarget::DrawnLocked(const RECT& rc) {
    const RECT on = Intersection(rc, RECT{0, 0, width_, height_});
    if (IsEmpty(on)) {
        return;
    }
    for (int y = on.top; y < on.bottom; ++y) {
        Widen(stale_[static_cast<size_t>(y)], on.left, on.right);
        Widen(unshown_[static_cast<size_t>(y)], on.left, on.right);
        overlay_.ScreenRowChanged(y);
    }
}

void DisplayTarget::OverlayRowsLocked(const RECT& rc) {
    const RECT on = Intersection(rc, RECT{0, 0, width_, height_});
    if (IsEmpty(on)) {
        return;
    }
    for (int y = on.top; y < on.bottom; ++y) {
        overlayStale_[static_cast<size_t>(y)] = 1;
        Widen(unshown_[static_cast<size_t>(y)], on.left, on.right);
    }
}

void DisplayTarget::UpdateComposedLocked() {
    const RECT keyed = overlay_.Area();
    for (int y = 0; y < height_; ++y) {
        RowSpan& span = stale_[static_cast<size_t>(y)];
        uint8_t& overlayStale = overlayStale_[static_cast<size_t>(y)];
        const uint32_t* in = image_.data() + static_cast<size_t>(y) * width_;
        uint32_t* out = composed_.data() + static_cast<size_t>(y) * width_;
        if (overlayStale != 0 && y >= keyed.top && y < keyed.bottom) {
            overlay_.RefreshRow(y, in, out);
        }
        overlayStale = 0;
        if (span.left >= span.right) {
            continue;
        }
        int x0 = span.right;  // the keyed part of the span, if any
        int x1 = span.right;
        if (y >= keyed.top && y < keyed.bottom) {
            x0 = std::clamp(keyed.left, span.left, span.right);
            x1 = std::clamp(keyed.right, x0, span.right);
        }
        std::memcpy(out + span.left, in + span.left,
                    sizeof(uint32_t) * static_cast<size_t>(x0 - span.left));
        overlay_.KeyRow(y, x0, x1, in, out);
        std::memcpy(out + x1, in + x1, sizeof(uint32_t) * static_cast<size_t>(span.right - x1));
        span = RowSpan{};
    }
}

void DisplayTarget::SetOverlayConverter(Yuy2RgbConverter convert) {
    auto lock = Lock();
    overlay_.SetConverter(convert);
    DrawnLocked(overlay_.Area());
}

void DisplayTarget::SetOverlayPosition(bool shown, const RECT& src, const RECT& dst,
                                       uint32_t colorKey) {
    auto lock = Lock();
    // Where it was shown shows the screen again, where it is now the overlay.
    DrawnLocked(overlay_.Area());
    overlay_.SetPosition(shown, src, dst, colorKey);
    DrawnLocked(overlay_.Area());
}

void DisplayTarget::SetOverlayPicture(const uint8_t* yuy2, int width, int height, int pitch) {
    auto lock = Lock();
    const RECT before = overlay_.Area();
    const std::optional<std::vector<RECT>> rows = overlay_.SetPicture(yuy2, width, height, pitch);
    if (!rows) {
        DrawnLocked(before);
        DrawnLocked(overlay_.Area());
        return;
    }
    for (const RECT& rc : *rows) {
        OverlayRowsLocked(rc);
    }
}

bool DisplayTarget::OverlayShown() const {
    auto lock = Lock();
    return overlay_.Shown();
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

bool IsWindow(DisplayWindowHandle hWnd) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    return hWnd != nullptr && Registry().count(hWnd) != 0;
}

// The registry lock is held while the window is read, so a window being
// destroyed on another thread waits until the answer is complete.
bool GetClientRectOnScreen(DisplayWindowHandle hWnd, RECT* pRect) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    const bool live = hWnd != nullptr && Registry().count(hWnd) != 0;
    if (pRect != nullptr) {
        *pRect = live ? hWnd->ClientOnScreen() : RECT{0, 0, 0, 0};
    }
    return live;
}

bool GetWindowRect(DisplayWindowHandle hWnd, RECT* pRect) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    const bool live = hWnd != nullptr && Registry().count(hWnd) != 0;
    if (pRect != nullptr) {
        *pRect = live ? hWnd->WindowOnScreen() : RECT{0, 0, 0, 0};
    }
    return live;
}

std::shared_ptr<DisplayTarget> GetWindowTarget(DisplayWindowHandle hWnd) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    if (hWnd == nullptr || Registry().count(hWnd) == 0) {
        return nullptr;
    }
    return hWnd->Target();
}
