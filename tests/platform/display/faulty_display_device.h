#pragma once
// A display card whose faults a test provokes: it loses every surface, fails
// the next locks, or cannot restore lost surfaces.

#include <algorithm>
#include <mutex>

#include "platform/display/display_device.h"

class FaultyDisplayDevice : public DisplayDevice {
public:
    using DisplayDevice::DisplayDevice;

    // Every surface (primaries included) reports itself lost until restored.
    void LoseAllSurfaces() { MarkAllSurfacesLost(); }
    // The next count locks fail with hr.
    void FailNextLocks(int count, HRESULT hr = DDERR_SURFACEBUSY) {
        std::lock_guard<std::mutex> lock(mutex_);
        lockFaults_ = std::max(count, 0);
        lockFault_ = hr;
    }
    // Restores fail while set.
    void SetRestoreFails(bool fail) {
        std::lock_guard<std::mutex> lock(mutex_);
        restoreFails_ = fail;
    }

    HRESULT NextLockFault() override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (lockFaults_ == 0) {
            return DD_OK;
        }
        --lockFaults_;
        return lockFault_;
    }
    bool RestoreFails() const override {
        std::lock_guard<std::mutex> lock(mutex_);
        return restoreFails_;
    }

private:
    mutable std::mutex mutex_;
    int lockFaults_ = 0;
    HRESULT lockFault_ = DDERR_SURFACEBUSY;
    bool restoreFails_ = false;
};
