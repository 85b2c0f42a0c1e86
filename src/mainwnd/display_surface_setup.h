#pragma once
// The steps the video wall and the motion preview take alike to reach the
// screen: the primary surface and its depth, the window's clipper, the
// YUY2 check, off-screen surfaces that fall back to system memory, and a
// lock that restores a lost surface once.

#include <cstdint>

#include "platform/display/direct_draw.h"

template <typename T>
void ReleaseAndClear(T*& p) {
    if (p != nullptr) {
        p->Release();
        p = nullptr;
    }
}

// Gives the window's cooperative level back, then releases dd.
void ReleaseDirectDraw(DirectDraw*& dd);

// Creates the primary surface and reads the screen's depth from it: 15 for a
// 16-bit screen whose red mask is not 5-6-5. False when either step fails.
bool CreatePrimarySurface(DirectDraw* dd, DirectDrawSurface** ppPrimary, int* pDepth);

// Creates a clipper bound to hWnd and attaches it to the primary surface.
bool AttachWindowClipper(DirectDraw* dd, DirectDrawSurface* primary, DisplayWindowHandle hWnd,
                         DirectDrawClipper** ppClipper);

// True when the device blits from YUY2 surfaces.
bool DeviceBlitsYuy2(DirectDraw* dd);

// Creates an off-screen surface in video memory, else in system memory.
// Once video memory fails desc stays on system memory, so the surfaces made
// after it with the same desc do not try video memory again.
bool CreateOffscreenSurface(DirectDraw* dd, DDSURFACEDESC* desc, DirectDrawSurface** ppSurface);

// Locks surface with DDLOCK_WAIT; a lost surface is restored (with the
// primary surface, when there is one) and locked once more.
HRESULT LockRestoringLost(DirectDrawSurface* surface, DirectDrawSurface* primary,
                          DDSURFACEDESC* desc);
