#include "platform/display/direct_draw.h"

#include <cstring>

#include "platform/display/pixel_math.h"

namespace px = display_pixels;

uint32_t DirectDrawClipper::AddRef() {
    return ++refs_;
}

uint32_t DirectDrawClipper::Release() {
    const uint32_t left = --refs_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT DirectDrawClipper::SetHWnd(uint32_t /*flags*/, DisplayWindowHandle hWnd) {
    hWnd_ = hWnd;
    return DD_OK;
}

HRESULT DirectDrawClipper::GetHWnd(DisplayWindowHandle* phWnd) const {
    if (phWnd == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *phWnd = hWnd_;
    return DD_OK;
}

uint32_t DirectDraw::AddRef() {
    return ++refs_;
}

uint32_t DirectDraw::Release() {
    const uint32_t left = --refs_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT DirectDraw::SetCooperativeLevel(DisplayWindowHandle hWnd, uint32_t flags) {
    if (flags != DDSCL_NORMAL) {
        return DDERR_UNSUPPORTED;
    }
    hWnd_ = hWnd;
    return DD_OK;
}

HRESULT DirectDraw::CreateSurface(const DDSURFACEDESC* desc, DirectDrawSurface** ppSurface,
                                  void* /*outer*/) {
    if (ppSurface == nullptr || desc == nullptr || (desc->dwFlags & DDSD_CAPS) == 0) {
        return DDERR_INVALIDPARAMS;
    }
    *ppSurface = nullptr;
    const uint32_t caps = desc->ddsCaps.dwCaps;
    const bool wantsVideo = (caps & DDSCAPS_VIDEOMEMORY) != 0;
    const bool wantsSystem = (caps & DDSCAPS_SYSTEMMEMORY) != 0;
    if (wantsVideo && wantsSystem) {
        return DDERR_INVALIDPARAMS;
    }
    const DisplayWindowHandle hWnd = hWnd_;
    std::shared_ptr<DisplayTarget> target = GetWindowTarget(hWnd);

    if ((caps & DDSCAPS_PRIMARYSURFACE) != 0) {
        if (hWnd == nullptr) {
            return DDERR_NOCOOPERATIVELEVELSET;
        }
        if (target == nullptr) {
            return DDERR_GENERIC;
        }
        auto* s = new DirectDrawSurface(device_, DirectDrawSurface::Kind::Primary);
        s->width_ = target->Width();
        s->height_ = target->Height();
        s->depth_ = target->Depth();
        s->pitch_ = s->width_ * px::BytesPerPixelOfDepth(s->depth_);
        s->videoMemory_ = true;
        s->target_ = std::move(target);
        *ppSurface = s;
        return DD_OK;
    }

    const bool hasFormat = (desc->dwFlags & DDSD_PIXELFORMAT) != 0;
    const bool fourcc = hasFormat && (desc->ddpfPixelFormat.dwFlags & DDPF_FOURCC) != 0;
    if (fourcc && desc->ddpfPixelFormat.dwFourCC != FOURCC_YUY2) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) ||
        desc->dwWidth == 0 || desc->dwHeight == 0 || desc->dwWidth > 4096 ||
        desc->dwHeight > 4096) {
        return DDERR_INVALIDPARAMS;
    }
    const int width = static_cast<int>(desc->dwWidth);
    const int height = static_cast<int>(desc->dwHeight);

    if ((caps & DDSCAPS_OVERLAY) != 0) {
        if (!device_->Caps().overlay) {
            return DDERR_NOOVERLAYHW;
        }
        if (!fourcc) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        if ((caps & (DDSCAPS_COMPLEX | DDSCAPS_FLIP)) != (DDSCAPS_COMPLEX | DDSCAPS_FLIP) ||
            (desc->dwFlags & DDSD_BACKBUFFERCOUNT) == 0 || desc->dwBackBufferCount != 1 ||
            wantsSystem) {
            return DDERR_INVALIDPARAMS;
        }
        auto* front = new DirectDrawSurface(device_, DirectDrawSurface::Kind::OverlayFront);
        auto* back = new DirectDrawSurface(device_, DirectDrawSurface::Kind::OverlayBack);
        for (DirectDrawSurface* s : {front, back}) {
            s->width_ = width;
            s->height_ = height;
            s->yuy2_ = true;
            s->pitch_ = ((width * 2 + 32) + 3) / 4 * 4;
            s->videoMemory_ = true;
        }
        const size_t bytes = static_cast<size_t>(front->pitch_) * height;
        if (!device_->TakeMemory(true, bytes * 2)) {
            front->pitch_ = back->pitch_ = 0;  // nothing to give back
            front->Release();
            back->Release();
            return DDERR_OUTOFVIDEOMEMORY;
        }
        front->AllocateMemory();
        back->AllocateMemory();
        front->back_ = back;
        back->front_ = front;
        *ppSurface = front;
        return DD_OK;
    }

    if ((caps & DDSCAPS_OFFSCREENPLAIN) == 0) {
        return DDERR_INVALIDPARAMS;
    }
    int depth = 0;
    if (fourcc) {
        if (!device_->Caps().yuy2Blit) {
            return DDERR_INVALIDPIXELFORMAT;
        }
    } else if (hasFormat) {
        return DDERR_INVALIDPIXELFORMAT;  // RGB surfaces take the primary's format
    } else {
        if (hWnd == nullptr) {
            return DDERR_NOCOOPERATIVELEVELSET;
        }
        if (target == nullptr) {
            return DDERR_GENERIC;
        }
        depth = target->Depth();
    }
    const int bpp = fourcc ? 2 : px::BytesPerPixelOfDepth(depth);
    // The pitch is wider than the row and a multiple of 4 and of the pixel
    // size, so a writer that assumes a packed row is caught.
    const int unit = bpp == 3 ? 12 : 4;
    const int pitch = (width * bpp + 32 + unit - 1) / unit * unit;
    const size_t bytes = static_cast<size_t>(pitch) * height;

    if (fourcc && !device_->TakeYuy2Surface()) {
        return wantsSystem ? DDERR_OUTOFMEMORY : DDERR_OUTOFVIDEOMEMORY;
    }
    bool video = false;
    if (wantsVideo) {
        video = true;
        if (!device_->TakeMemory(true, bytes)) {
            if (fourcc) {
                device_->GiveYuy2Surface();
            }
            return DDERR_OUTOFVIDEOMEMORY;
        }
    } else if (wantsSystem) {
        if (!device_->TakeMemory(false, bytes)) {
            if (fourcc) {
                device_->GiveYuy2Surface();
            }
            return DDERR_OUTOFMEMORY;
        }
    } else {
        video = device_->TakeMemory(true, bytes);
        if (!video && !device_->TakeMemory(false, bytes)) {
            if (fourcc) {
                device_->GiveYuy2Surface();
            }
            return DDERR_OUTOFMEMORY;
        }
    }
    auto* s = new DirectDrawSurface(device_, DirectDrawSurface::Kind::Offscreen);
    s->width_ = width;
    s->height_ = height;
    s->depth_ = depth;
    s->yuy2_ = fourcc;
    s->pitch_ = pitch;
    s->videoMemory_ = video;
    s->AllocateMemory();
    *ppSurface = s;
    return DD_OK;
}

HRESULT DirectDraw::CreateClipper(uint32_t /*flags*/, DirectDrawClipper** ppClipper,
                                  void* /*outer*/) {
    if (ppClipper == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *ppClipper = new DirectDrawClipper();
    return DD_OK;
}

HRESULT DirectDraw::GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) const {
    const DisplayCaps& caps = device_->Caps();
    uint32_t codes = 0;
    (void)GetFourCCCodes(&codes, nullptr);
    for (DDCAPS* c : {driverCaps, emulationCaps}) {
        if (c == nullptr) {
            continue;
        }
        std::memset(c, 0, sizeof *c);
        c->dwSize = sizeof *c;
    }
    if (driverCaps != nullptr) {
        driverCaps->dwCaps = DDCAPS_BLT | DDCAPS_BLTSTRETCH |
                             (caps.yuy2Blit ? DDCAPS_BLTFOURCC : 0u) |
                             (caps.overlay ? DDCAPS_OVERLAY : 0u);
        driverCaps->dwNumFourCCCodes = codes;
        driverCaps->dwVidMemTotal = static_cast<uint32_t>(caps.videoMemoryBytes);
        driverCaps->dwVidMemFree =
            static_cast<uint32_t>(caps.videoMemoryBytes - device_->VideoMemoryUsed());
    }
    return DD_OK;
}

HRESULT DirectDraw::GetFourCCCodes(uint32_t* count, uint32_t* codes) const {
    if (count == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    const DisplayCaps& caps = device_->Caps();
    // A card that knows YUY2 (for blits or its overlay) lists it after UYVY.
    uint32_t list[2];
    uint32_t n = 0;
    if (caps.yuy2Blit || caps.overlay) {
        list[n++] = FOURCC_UYVY;
        list[n++] = FOURCC_YUY2;
    }
    if (codes == nullptr) {
        *count = n;
        return DD_OK;
    }
    const uint32_t take = std::min(*count, n);
    std::memcpy(codes, list, sizeof(uint32_t) * take);
    *count = take;
    return DD_OK;
}

HRESULT DirectDrawCreate(void* /*guid*/, DirectDraw** ppDD, void* /*outer*/) {
    if (ppDD == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *ppDD = nullptr;
    std::shared_ptr<DisplayDevice> device = GetDefaultDisplayDevice();
    if (device == nullptr) {
        return DDERR_NODIRECTDRAWHW;
    }
    *ppDD = new DirectDraw(std::move(device));
    return DD_OK;
}
