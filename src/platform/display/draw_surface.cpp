#include <algorithm>
#include <cstring>

#include "platform/display/direct_draw.h"
#include "platform/display/surface_blit.h"

namespace {

uint64_t Checksum(const uint8_t* p, size_t n) {
    uint64_t h = 1469598103934665603ull;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        h = (h ^ w) * 1099511628211ull;
    }
    for (; i < n; ++i) {
        h = (h ^ p[i]) * 1099511628211ull;
    }
    return h;
}

bool RectInside(const RECT& r, int width, int height) {
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height &&
           r.left < r.right && r.top < r.bottom;
}

}  // namespace

bool DirectDrawSurface::Memory::GuardsIntact() const {
    if (bytes.size() < 2 * kGuardBytes) {
        return true;
    }
    auto intact = [](const uint8_t* p) {
        return std::all_of(p, p + kGuardBytes, [](uint8_t b) { return b == kGuardValue; });
    };
    return intact(bytes.data()) && intact(bytes.data() + bytes.size() - kGuardBytes);
}

DirectDrawSurface::DirectDrawSurface(std::shared_ptr<DisplayDevice> device, Kind kind)
    : device_(std::move(device)), kind_(kind) {
    device_->Register(this);
}

DirectDrawSurface::~DirectDrawSurface() {
    if (kind_ == Kind::OverlayFront) {
        if (auto target = overlayTarget_.lock()) {
            if (overlayShown_) {
                target->SetOverlayPosition(false, RECT{}, RECT{}, 0);
            }
        }
        if (back_ != nullptr) {
            back_->front_ = nullptr;
            back_->Release();
        }
    }
    if (kind_ == Kind::OverlayBack && front_ != nullptr) {
        front_->back_ = nullptr;
    }
    if (clipper_ != nullptr) {
        clipper_->Release();
    }
    ChecksumsHold();
    bool intact = memory_.GuardsIntact();
    for (const Memory& m : retired_) {
        intact = intact && m.GuardsIntact();
    }
    if (!memory_.bytes.empty()) {
        device_->GiveMemory(videoMemory_, static_cast<size_t>(pitch_) * height_);
    }
    if (kind_ == Kind::Offscreen && yuy2_) {
        device_->GiveYuy2Surface();
    }
    device_->Unregister(this, intact);
}

uint32_t DirectDrawSurface::AddRef() {
    return ++refs_;
}

uint32_t DirectDrawSurface::Release() {
    const uint32_t left = --refs_;
    if (left == 0) {
        delete this;
    }
    return left;
}

void DirectDrawSurface::AllocateMemory() {
    memory_.bytes.assign(static_cast<size_t>(pitch_) * height_ + 2 * kGuardBytes, 0);
    std::fill(memory_.bytes.begin(), memory_.bytes.begin() + kGuardBytes, kGuardValue);
    std::fill(memory_.bytes.end() - kGuardBytes, memory_.bytes.end(), kGuardValue);
    Seal();
}

void DirectDrawSurface::Seal() {
    if (device_->Caps().checkWritesOutsideLock && !memory_.bytes.empty()) {
        memory_.checksum = Checksum(memory_.Pixels(), static_cast<size_t>(pitch_) * height_);
    }
}

bool DirectDrawSurface::ChecksumsHold() {
    if (!device_->Caps().checkWritesOutsideLock || locked_) {
        return true;
    }
    bool held = true;
    auto check = [&](Memory& m) {
        if (m.bytes.empty()) {
            return;
        }
        const uint64_t now = Checksum(m.Pixels(), static_cast<size_t>(pitch_) * height_);
        if (now != m.checksum) {
            m.checksum = now;  // counted once
            device_->CountWriteOutsideLock();
            held = false;
        }
    };
    check(memory_);
    for (Memory& m : retired_) {
        check(m);
    }
    return held;
}

bool DirectDrawSurface::GuardsIntact() const {
    bool intact = memory_.GuardsIntact();
    for (const Memory& m : retired_) {
        intact = intact && m.GuardsIntact();
    }
    return intact;
}

HRESULT DirectDrawSurface::Lock(const RECT* rect, DDSURFACEDESC* desc, uint32_t flags,
                                void* /*event*/) {
    if (desc == nullptr || rect != nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    if (kind_ == Kind::Primary) {
        return DDERR_UNSUPPORTED;  // the screen is drawn by blits only
    }
    if (lost_) {
        return DDERR_SURFACELOST;
    }
    if (locked_) {
        return DDERR_SURFACEBUSY;
    }
    const HRESULT fault = device_->NextLockFault();
    if (fault != DD_OK) {
        return fault;
    }
    (void)flags;  // the card is never busy for long; DDLOCK_WAIT changes nothing
    ChecksumsHold();
    HRESULT hr = GetSurfaceDesc(desc);
    if (hr != DD_OK) {
        return hr;
    }
    desc->lpSurface = memory_.Pixels();
    desc->dwFlags |= DDSD_LPSURFACE;
    locked_ = true;
    return DD_OK;
}

HRESULT DirectDrawSurface::Unlock(void* /*rect*/) {
    if (!locked_) {
        return DDERR_NOTLOCKED;
    }
    locked_ = false;
    Seal();
    if (kind_ == Kind::OverlayFront) {
        PublishOverlay();
    }
    return DD_OK;
}

HRESULT DirectDrawSurface::Restore() {
    if (!lost_) {
        return DD_OK;
    }
    if (device_->RestoreFails()) {
        return DDERR_GENERIC;
    }
    if (locked_) {
        locked_ = false;
    }
    if (kind_ != Kind::Primary) {
        // Restored memory lies elsewhere and holds nothing of the old
        // picture; the old memory stays watched for late writers.
        ChecksumsHold();
        retired_.push_back(std::move(memory_));
        memory_ = Memory{};
        AllocateMemory();
        std::memset(memory_.Pixels(), 0xCD, static_cast<size_t>(pitch_) * height_);
        Seal();
    }
    lost_ = false;
    if (kind_ == Kind::OverlayFront && back_ != nullptr) {
        back_->Restore();
    }
    return DD_OK;
}

HRESULT DirectDrawSurface::IsLost() const {
    return lost_ ? DDERR_SURFACELOST : DD_OK;
}

HRESULT DirectDrawSurface::GetSurfaceDesc(DDSURFACEDESC* desc) const {
    if (desc == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    std::memset(desc, 0, sizeof *desc);
    desc->dwSize = sizeof *desc;
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = static_cast<uint32_t>(width_);
    desc->dwHeight = static_cast<uint32_t>(height_);
    desc->lPitch = pitch_;
    DDPIXELFORMAT& pf = desc->ddpfPixelFormat;
    pf.dwSize = sizeof pf;
    if (yuy2_) {
        pf.dwFlags = DDPF_FOURCC;
        pf.dwFourCC = FOURCC_YUY2;
        pf.dwRGBBitCount = 16;
    } else if (depth_ == 8) {
        pf.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
        pf.dwRGBBitCount = 8;
    } else {
        pf.dwFlags = DDPF_RGB;
        switch (depth_) {
            case 15:
                pf.dwRGBBitCount = 16;
                pf.dwRBitMask = 0x7C00;
                pf.dwGBitMask = 0x03E0;
                pf.dwBBitMask = 0x001F;
                break;
            case 16:
                pf.dwRGBBitCount = 16;
                pf.dwRBitMask = 0xF800;
                pf.dwGBitMask = 0x07E0;
                pf.dwBBitMask = 0x001F;
                break;
            default:
                pf.dwRGBBitCount = static_cast<uint32_t>(depth_);
                pf.dwRBitMask = 0xFF0000;
                pf.dwGBitMask = 0x00FF00;
                pf.dwBBitMask = 0x0000FF;
                break;
        }
    }
    uint32_t caps = videoMemory_ ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
    switch (kind_) {
        case Kind::Primary:
            caps |= DDSCAPS_PRIMARYSURFACE;
            break;
        case Kind::Offscreen:
            caps |= DDSCAPS_OFFSCREENPLAIN;
            break;
        case Kind::OverlayFront:
            caps |= DDSCAPS_OVERLAY | DDSCAPS_COMPLEX | DDSCAPS_FLIP | DDSCAPS_FRONTBUFFER;
            break;
        case Kind::OverlayBack:
            caps |= DDSCAPS_OVERLAY | DDSCAPS_COMPLEX | DDSCAPS_FLIP | DDSCAPS_BACKBUFFER;
            break;
    }
    desc->ddsCaps.dwCaps = caps;
    return DD_OK;
}

HRESULT DirectDrawSurface::SetClipper(DirectDrawClipper* clipper) {
    if (kind_ != Kind::Primary) {
        return DDERR_UNSUPPORTED;
    }
    if (clipper != nullptr) {
        clipper->AddRef();
    }
    if (clipper_ != nullptr) {
        clipper_->Release();
    }
    clipper_ = clipper;
    return DD_OK;
}

HRESULT DirectDrawSurface::Blt(const RECT* dstRect, DirectDrawSurface* src, const RECT* srcRect,
                               uint32_t /*flags*/, void* /*fx*/) {
    if (src == nullptr || src->kind_ == Kind::Primary) {
        return DDERR_INVALIDPARAMS;
    }
    if (lost_ || src->lost_) {
        return DDERR_SURFACELOST;
    }
    if (locked_ || src->locked_) {
        return DDERR_SURFACEBUSY;
    }
    const RECT s = srcRect != nullptr ? *srcRect : RECT{0, 0, src->width_, src->height_};
    if (!RectInside(s, src->width_, src->height_)) {
        return DDERR_INVALIDRECT;
    }
    src->ChecksumsHold();
    if (kind_ == Kind::Primary) {
        return BltOntoPrimary(dstRect, src, s);
    }
    const RECT d = dstRect != nullptr ? *dstRect : RECT{0, 0, width_, height_};
    if (!RectInside(d, width_, height_)) {
        return DDERR_INVALIDRECT;
    }
    if (!yuy2_ || !src->yuy2_) {
        if (yuy2_ != src->yuy2_ || depth_ != src->depth_) {
            return DDERR_INVALIDPIXELFORMAT;
        }
    }
    ChecksumsHold();
    SurfaceImage from{src->memory_.Pixels(), src->pitch_, src->width_, src->height_,
                      src->yuy2_ ? 0 : src->depth_};
    SurfaceImage to{memory_.Pixels(), pitch_, width_, height_, yuy2_ ? 0 : depth_};
    StretchBetweenSurfaces(from, s, to, d);
    Seal();
    if (kind_ == Kind::OverlayFront) {
        PublishOverlay();
    }
    return DD_OK;
}

HRESULT DirectDrawSurface::BltOntoPrimary(const RECT* dstRect, DirectDrawSurface* src,
                                          const RECT& s) {
    const RECT d = dstRect != nullptr ? *dstRect : RECT{0, 0, width_, height_};
    if (d.left >= d.right || d.top >= d.bottom) {
        return DDERR_INVALIDRECT;
    }
    if (src->yuy2_ ? !device_->Caps().yuy2Blit : src->depth_ != depth_) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    RECT clip{0, 0, width_, height_};
    if (clipper_ != nullptr) {
        HWND hWnd = nullptr;
        clipper_->GetHWnd(&hWnd);
        if (hWnd != nullptr) {
            RECT client{};
            GetClientRectOnScreen(hWnd, &client);  // empty once the window is gone
            clip.left = std::max(clip.left, client.left);
            clip.top = std::max(clip.top, client.top);
            clip.right = std::min(clip.right, client.right);
            clip.bottom = std::min(clip.bottom, client.bottom);
        }
    } else if (!RectInside(d, width_, height_)) {
        return DDERR_INVALIDRECT;
    }
    SurfaceImage from{src->memory_.Pixels(), src->pitch_, src->width_, src->height_,
                      src->yuy2_ ? 0 : src->depth_};
    auto lock = target_->Lock();
    StretchOntoScreen(from, s, *target_, d, clip);
    return DD_OK;
}

HRESULT DirectDrawSurface::Flip(DirectDrawSurface* /*target*/, uint32_t /*flags*/) {
    if (kind_ != Kind::OverlayFront || back_ == nullptr) {
        return DDERR_NOTFLIPPABLE;
    }
    if (lost_ || back_->lost_) {
        return DDERR_SURFACELOST;
    }
    if (locked_ || back_->locked_) {
        return DDERR_SURFACEBUSY;
    }
    ChecksumsHold();
    back_->ChecksumsHold();
    std::swap(memory_, back_->memory_);
    PublishOverlay();
    return DD_OK;
}

HRESULT DirectDrawSurface::EnumAttachedSurfaces(void* context, LPDDENUMSURFACESCALLBACK callback) {
    if (callback == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    DirectDrawSurface* attached = nullptr;
    if (kind_ == Kind::OverlayFront) {
        attached = back_;
    } else if (kind_ == Kind::OverlayBack) {
        attached = front_;
    }
    if (attached != nullptr) {
        attached->AddRef();
        DDSURFACEDESC desc;
        attached->GetSurfaceDesc(&desc);
        callback(attached, &desc, context);
    }
    return DD_OK;
}

HRESULT DirectDrawSurface::UpdateOverlay(const RECT* srcRect, DirectDrawSurface* primary,
                                         const RECT* dstRect, uint32_t flags,
                                         const DDOVERLAYFX* fx) {
    if (kind_ != Kind::OverlayFront) {
        return DDERR_NOTFLIPPABLE;
    }
    if (primary == nullptr || primary->kind_ != Kind::Primary) {
        return DDERR_INVALIDPARAMS;
    }
    if (lost_ || primary->lost_) {
        return DDERR_SURFACELOST;
    }
    if ((flags & DDOVER_HIDE) != 0) {
        overlayShown_ = false;
        primary->target_->SetOverlayPosition(false, overlaySrc_, overlayDst_, overlayKey_);
        overlayTarget_ = primary->target_;
        return DD_OK;
    }
    if ((flags & DDOVER_SHOW) == 0) {
        return DDERR_INVALIDPARAMS;
    }
    const RECT s = srcRect != nullptr ? *srcRect : RECT{0, 0, width_, height_};
    if (!RectInside(s, width_, height_) || dstRect == nullptr || dstRect->left >= dstRect->right ||
        dstRect->top >= dstRect->bottom) {
        return DDERR_INVALIDRECT;
    }
    uint32_t key = 0;
    if ((flags & DDOVER_KEYDESTOVERRIDE) != 0) {
        if (fx == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        key = fx->dckDestColorkey.dwColorSpaceLowValue;
    }
    overlayShown_ = true;
    overlaySrc_ = s;
    overlayDst_ = *dstRect;
    overlayKey_ = key;
    overlayTarget_ = primary->target_;
    primary->target_->SetOverlayPosition(true, s, *dstRect, key);
    PublishOverlay();
    return DD_OK;
}

void DirectDrawSurface::PublishOverlay() {
    if (kind_ != Kind::OverlayFront) {
        return;
    }
    if (auto target = overlayTarget_.lock()) {
        target->SetOverlayPicture(memory_.Pixels(), width_, height_, pitch_);
    }
}
