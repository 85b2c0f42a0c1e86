#pragma once
// Display surfaces over a window target, in place of the card interface
// the renderers were written against: a primary bound to the target of the
// window the object co-operates with, off-screen surfaces in YUY2 or the
// primary's RGB format, a YUY2 overlay with one back buffer keyed into the
// target by its destination colour key, a clipper bound to a window.
//
// Surface memory may be written only between Lock and Unlock, at the
// address the lock reported. The service enforces its states: a locked
// surface cannot be locked again, blitted or flipped (DDERR_SURFACEBUSY),
// an unlocked one cannot be unlocked (DDERR_NOTLOCKED), a lost one refuses
// everything but Restore (DDERR_SURFACELOST), and a restored surface has
// new memory at a new address. Guard bytes around each surface's memory
// show writes past its ends.
//
// Objects are reference counted: each starts with one reference, Release
// drops one and destroys the object at zero. EnumAttachedSurfaces adds a
// reference to every surface it hands out.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/display/display_device.h"
#include "platform/display/display_target.h"
#include "platform/display/display_types.h"

class DirectDrawClipper {
public:
    uint32_t AddRef();
    uint32_t Release();
    HRESULT SetHWnd(uint32_t flags, HWND hWnd);
    HRESULT GetHWnd(HWND* phWnd) const;

private:
    friend class DirectDraw;
    DirectDrawClipper() = default;
    ~DirectDrawClipper() = default;
    std::atomic<uint32_t> refs_{1};
    std::atomic<HWND> hWnd_{nullptr};
};

class DirectDrawSurface;
using LPDDENUMSURFACESCALLBACK = HRESULT (*)(DirectDrawSurface* surface, DDSURFACEDESC* desc,
                                             void* context);

class DirectDrawSurface {
public:
    uint32_t AddRef();
    uint32_t Release();

    // Whole surface only (rect null); flags DDLOCK_WAIT waits while the card
    // is busy. Reports address, pitch, size, pixel format and caps.
    HRESULT Lock(const RECT* rect, DDSURFACEDESC* desc, uint32_t flags, void* event);
    HRESULT Unlock(void* rect);
    HRESULT Restore();
    HRESULT IsLost() const;
    HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) const;
    HRESULT SetClipper(DirectDrawClipper* clipper);

    // Stretches src's srcRect (null: all of it) onto dstRect of this surface
    // (null: all of it). Onto the primary, dstRect is in screen coordinates
    // and clipped to the clipper's window and the screen; onto another
    // surface it must lie inside it. YUY2 sources are converted to RGB.
    HRESULT Blt(const RECT* dstRect, DirectDrawSurface* src, const RECT* srcRect, uint32_t flags,
                void* fx);
    // Overlay front buffer only: swaps front and back memory and shows the
    // new front.
    HRESULT Flip(DirectDrawSurface* target, uint32_t flags);
    HRESULT EnumAttachedSurfaces(void* context, LPDDENUMSURFACESCALLBACK callback);
    // Overlay front buffer only: shows srcRect of the overlay at dstRect of
    // the primary (screen coordinates) where the screen holds the
    // destination colour key, or hides it.
    HRESULT UpdateOverlay(const RECT* srcRect, DirectDrawSurface* primary, const RECT* dstRect,
                          uint32_t flags, const DDOVERLAYFX* fx);

    // For tests.
    bool GuardsIntact() const;
    bool IsLocked() const { return locked_.load(); }

    enum class Kind { Primary, Offscreen, OverlayFront, OverlayBack };

private:
    friend class DirectDraw;
    friend struct SurfaceAccess;

    struct Memory {
        std::vector<uint8_t> bytes;  // guard, pitch * height, guard
        uint64_t checksum = 0;
        uint8_t* Pixels() { return bytes.data() + kGuardBytes; }
        const uint8_t* Pixels() const { return bytes.data() + kGuardBytes; }
        bool GuardsIntact() const;
    };
    static constexpr size_t kGuardBytes = 64;
    static constexpr uint8_t kGuardValue = 0xA5;

    DirectDrawSurface(std::shared_ptr<DisplayDevice> device, Kind kind);
    ~DirectDrawSurface();

    void AllocateMemory();
    bool ChecksumsHold();  // false after a write outside a lock was counted
    void Seal();           // takes the checksum of the current memory
    void PublishOverlay();
    HRESULT BltOntoPrimary(const RECT* dstRect, DirectDrawSurface* src, const RECT& srcRect);

    std::shared_ptr<DisplayDevice> device_;
    const Kind kind_;
    std::atomic<uint32_t> refs_{1};
    std::atomic<bool> lost_{false};
    std::atomic<bool> locked_{false};

    int width_ = 0;
    int height_ = 0;
    int pitch_ = 0;
    int depth_ = 0;  // RGB depth (8, 15, 16, 24, 32); 0 for YUY2
    bool yuy2_ = false;
    bool videoMemory_ = false;
    Memory memory_;
    std::vector<Memory> retired_;  // memory given up by restores

    std::shared_ptr<DisplayTarget> target_;  // the primary's screen
    DirectDrawClipper* clipper_ = nullptr;

    DirectDrawSurface* back_ = nullptr;   // front: the back buffer (one reference)
    DirectDrawSurface* front_ = nullptr;  // back: its front buffer (no reference)
    std::weak_ptr<DisplayTarget> overlayTarget_;
    bool overlayShown_ = false;
    RECT overlaySrc_{};
    RECT overlayDst_{};
    uint32_t overlayKey_ = 0;

    friend class DisplayDevice;
};

class DirectDraw {
public:
    uint32_t AddRef();
    uint32_t Release();
    HRESULT SetCooperativeLevel(HWND hWnd, uint32_t flags);
    HRESULT CreateSurface(const DDSURFACEDESC* desc, DirectDrawSurface** ppSurface, void* outer);
    HRESULT CreateClipper(uint32_t flags, DirectDrawClipper** ppClipper, void* outer);
    HRESULT GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) const;
    // codes null: *count := the number of codes; else up to *count codes are
    // filled and *count := how many.
    HRESULT GetFourCCCodes(uint32_t* count, uint32_t* codes) const;

private:
    friend HRESULT DirectDrawCreate(void* guid, DirectDraw** ppDD, void* outer);
    explicit DirectDraw(std::shared_ptr<DisplayDevice> device) : device_(std::move(device)) {}
    ~DirectDraw() = default;

    std::shared_ptr<DisplayDevice> device_;
    std::atomic<uint32_t> refs_{1};
    std::atomic<HWND> hWnd_{nullptr};
};

// Opens the default display device (guid null); DDERR_NODIRECTDRAWHW when
// there is none.
HRESULT DirectDrawCreate(void* guid, DirectDraw** ppDD, void* outer);
