#pragma once
// The display card the surface service draws with: its capabilities and
// memory, chosen by whoever sets it up (the program at start, a test for
// each branch it wants to reach). A card that fails a lock or a restore is
// a device of a kind of its own that overrides the answers below.
//
// DirectDrawCreate opens the default device; without one there is no
// display hardware and every renderer runs without surfaces.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/display/display_types.h"

struct DisplayCaps {
    bool overlay = true;   // YUY2 overlays with a back buffer (DDCAPS_OVERLAY)
    bool yuy2Blit = true;  // YUY2 off-screen surfaces blitted to RGB (DDCAPS_BLTFOURCC)
    size_t videoMemoryBytes = size_t{32} << 20;
    size_t systemMemoryBytes = size_t{512} << 20;
    int maxYuy2Surfaces = -1;  // off-screen YUY2 surfaces the card makes; -1: no limit
    // Checks on every lock, blit, flip and release that no surface byte
    // changed while the surface was not locked (costs a pass over the bytes).
    bool checkWritesOutsideLock = false;
};

class DirectDrawSurface;

class DisplayDevice {
public:
    explicit DisplayDevice(const DisplayCaps& caps = {});
    virtual ~DisplayDevice();
    DisplayDevice(const DisplayDevice&) = delete;
    DisplayDevice& operator=(const DisplayDevice&) = delete;

    const DisplayCaps& Caps() const { return caps_; }

    // Findings.
    int LiveSurfaces() const;
    int LockedSurfaces() const;
    // Guard bytes found overwritten: on surfaces released so far plus the
    // live ones now.
    int GuardViolations() const;
    // Changes found in surface memory that was not locked (only counted
    // with checkWritesOutsideLock).
    int WritesOutsideLock() const;
    size_t VideoMemoryUsed() const;
    size_t SystemMemoryUsed() const;
    int Yuy2SurfacesLive() const;

    // For the surface service.
    bool TakeMemory(bool video, size_t bytes);
    void GiveMemory(bool video, size_t bytes);
    bool TakeYuy2Surface();
    void GiveYuy2Surface();
    // What the card answers to a lock beyond the surface's own state, and
    // whether a lost surface cannot be restored: never a failure here.
    virtual HRESULT NextLockFault() { return DD_OK; }
    virtual bool RestoreFails() const { return false; }
    void Register(DirectDrawSurface* s);
    void Unregister(DirectDrawSurface* s, bool guardsIntact);
    void CountWriteOutsideLock();

protected:
    // Every surface (primaries included) reports itself lost until
    // restored, as after a change of display mode.
    void MarkAllSurfacesLost();

private:
    const DisplayCaps caps_;
    mutable std::mutex mutex_;
    std::vector<DirectDrawSurface*> surfaces_;
    size_t videoUsed_ = 0;
    size_t systemUsed_ = 0;
    int yuy2Live_ = 0;
    int releasedGuardViolations_ = 0;
    int writesOutsideLock_ = 0;
};

// The device DirectDrawCreate opens; null: no display hardware.
void SetDefaultDisplayDevice(std::shared_ptr<DisplayDevice> device);
std::shared_ptr<DisplayDevice> GetDefaultDisplayDevice();
