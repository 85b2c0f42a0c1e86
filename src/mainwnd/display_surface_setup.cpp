#include "mainwnd/display_surface_setup.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "mainwnd/video_display.h"

void ReleaseDirectDraw(DirectDraw*& dd) {
    if (dd != nullptr) {
        dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
        ReleaseAndClear(dd);
    }
}

bool CreatePrimarySurface(DirectDraw* dd, DirectDrawSurface** ppPrimary, int* pDepth) {
    DDSURFACEDESC desc;
    InitSurfaceDesc(&desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (dd->CreateSurface(&desc, ppPrimary, nullptr) != DD_OK) {
        return false;
    }
    InitSurfaceDesc(&desc);
    if ((*ppPrimary)->GetSurfaceDesc(&desc) != DD_OK) {
        return false;
    }
    *pDepth = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount);
    if (*pDepth == 16 && desc.ddpfPixelFormat.dwRBitMask != 0xF800) {
        *pDepth = 15;
    }
    return true;
}

bool AttachWindowClipper(DirectDraw* dd, DirectDrawSurface* primary, DisplayWindowHandle hWnd,
                         DirectDrawClipper** ppClipper) {
    if (dd->CreateClipper(0, ppClipper, nullptr) != DD_OK) {
        return false;
    }
    (*ppClipper)->SetHWnd(0, hWnd);
    return primary->SetClipper(*ppClipper) == DD_OK;
}

bool DeviceBlitsYuy2(DirectDraw* dd) {
    DDCAPS caps;
    std::memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    if (dd->GetCaps(&caps, nullptr) != DD_OK || caps.dwNumFourCCCodes == 0 ||
        (caps.dwCaps & DDCAPS_BLTFOURCC) == 0) {
        return false;
    }
    uint32_t count = 0;
    if (dd->GetFourCCCodes(&count, nullptr) != DD_OK || count == 0) {
        return false;
    }
    std::vector<uint32_t> codes(count);
    if (dd->GetFourCCCodes(&count, codes.data()) != DD_OK) {
        return false;
    }
    codes.resize(std::min<size_t>(count, codes.size()));
    return std::find(codes.begin(), codes.end(), FOURCC_YUY2) != codes.end();
}

bool CreateOffscreenSurface(DirectDraw* dd, DDSURFACEDESC* desc, DirectDrawSurface** ppSurface) {
    if (dd->CreateSurface(desc, ppSurface, nullptr) == DD_OK) {
        return true;
    }
    desc->ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (dd->CreateSurface(desc, ppSurface, nullptr) == DD_OK) {
        return true;
    }
    *ppSurface = nullptr;
    return false;
}

HRESULT LockRestoringLost(DirectDrawSurface* surface, DirectDrawSurface* primary,
                          DDSURFACEDESC* desc) {
    InitSurfaceDesc(desc);
    HRESULT hr = surface->Lock(nullptr, desc, DDLOCK_WAIT, nullptr);
    if (hr == DDERR_SURFACELOST) {
        if (primary != nullptr) {
            primary->Restore();
        }
        surface->Restore();
        InitSurfaceDesc(desc);
        hr = surface->Lock(nullptr, desc, DDLOCK_WAIT, nullptr);
    }
    return hr;
}
