#include "platform/display/display_device.h"

#include <algorithm>

#include "platform/display/direct_draw.h"

DisplayDevice::DisplayDevice(const DisplayCaps& caps) : caps_(caps) {}

DisplayDevice::~DisplayDevice() = default;

void DisplayDevice::MarkAllSurfacesLost() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (DirectDrawSurface* s : surfaces_) {
        s->lost_ = true;
    }
}

int DisplayDevice::LiveSurfaces() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(surfaces_.size());
}

int DisplayDevice::LockedSurfaces() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(
        std::count_if(surfaces_.begin(), surfaces_.end(),
                      [](const DirectDrawSurface* s) { return s->locked_.load(); }));
}

int DisplayDevice::GuardViolations() const {
    std::lock_guard<std::mutex> lock(mutex_);
    int n = releasedGuardViolations_;
    for (const DirectDrawSurface* s : surfaces_) {
        n += s->GuardsIntact() ? 0 : 1;
    }
    return n;
}

int DisplayDevice::WritesOutsideLock() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return writesOutsideLock_;
}

size_t DisplayDevice::VideoMemoryUsed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return videoUsed_;
}

size_t DisplayDevice::SystemMemoryUsed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return systemUsed_;
}

int DisplayDevice::Yuy2SurfacesLive() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return yuy2Live_;
}

bool DisplayDevice::TakeMemory(bool video, size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t& used = video ? videoUsed_ : systemUsed_;
    const size_t limit = video ? caps_.videoMemoryBytes : caps_.systemMemoryBytes;
    if (bytes > limit || used > limit - bytes) {
        return false;
    }
    used += bytes;
    return true;
}

void DisplayDevice::GiveMemory(bool video, size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t& used = video ? videoUsed_ : systemUsed_;
    used -= std::min(used, bytes);
}

bool DisplayDevice::TakeYuy2Surface() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (caps_.maxYuy2Surfaces >= 0 && yuy2Live_ >= caps_.maxYuy2Surfaces) {
        return false;
    }
    ++yuy2Live_;
    return true;
}

void DisplayDevice::GiveYuy2Surface() {
    std::lock_guard<std::mutex> lock(mutex_);
    yuy2Live_ = std::max(yuy2Live_ - 1, 0);
}

void DisplayDevice::Register(DirectDrawSurface* s) {
    std::lock_guard<std::mutex> lock(mutex_);
    surfaces_.push_back(s);
}

void DisplayDevice::Unregister(DirectDrawSurface* s, bool guardsIntact) {
    std::lock_guard<std::mutex> lock(mutex_);
    surfaces_.erase(std::remove(surfaces_.begin(), surfaces_.end(), s), surfaces_.end());
    if (!guardsIntact) {
        ++releasedGuardViolations_;
    }
}

void DisplayDevice::CountWriteOutsideLock() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++writesOutsideLock_;
}

namespace {

std::mutex g_defaultMutex;
std::shared_ptr<DisplayDevice> g_defaultDevice;

}  // namespace

void SetDefaultDisplayDevice(std::shared_ptr<DisplayDevice> device) {
    std::lock_guard<std::mutex> lock(g_defaultMutex);
    g_defaultDevice = std::move(device);
}

std::shared_ptr<DisplayDevice> GetDefaultDisplayDevice() {
    std::lock_guard<std::mutex> lock(g_defaultMutex);
    return g_defaultDevice;
}
