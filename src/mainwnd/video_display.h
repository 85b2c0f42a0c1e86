#pragma once
// The multi-channel renderer of the video wall: one 352 x 288 off-screen
// surface per channel into which each channel converts its newest picture,
// copied and scaled into the channel's rectangle either onto the screen or,
// with a YUY2 overlay, into the overlay's 704 x 576 back buffer, which the
// card shows over the wall wherever the wall holds the key colour
// RGB(8,0,8).
//
// The DrawVideo thread creates it, is its only user and deletes it. Every
// operation fails without doing anything when the objects it needs do not
// exist (after a failed Init).

#include <atomic>
#include <cstdint>

#include "media/pixel_formats.h"
#include "platform/display/direct_draw.h"

// The overlay's destination colour key in the primary's pixel format:
// RGB(8,0,8), which the wall paints, as the screen stores it.
extern std::atomic<uint32_t> g_dwColorKey;
constexpr uint32_t COLOR_KEY_RGB32 = 0x080008;
constexpr uint32_t COLOR_KEY_RGB565 = 0x0801;
constexpr uint32_t COLOR_KEY_RGB555 = 0x0401;

constexpr int MAX_DISPLAY_SURFACES = 16;
constexpr int OVERLAY_WIDTH = 704;
constexpr int OVERLAY_HEIGHT = 576;

// Zeroes a surface description and sets its size field.
void InitSurfaceDesc(DDSURFACEDESC* desc);

class CVideoDisplay {
public:
    // channelCount: surfaces to make, at least 2.
    explicit CVideoDisplay(uint8_t channelCount);
    ~CVideoDisplay();
    CVideoDisplay(const CVideoDisplay&) = delete;
    CVideoDisplay& operator=(const CVideoDisplay&) = delete;

    // Builds every object for the window with channel surfaces of width x
    // height, all blanked; false (everything released) when a step fails.
    bool Init(DisplayWindowHandle hWnd, int width, int height);

    uint8_t GetFormatCode() const { return m_byFormat; }
    int GetPitch() const { return m_nPitch; }
    // Address of surface n as its last lock reported it; null for n outside
    // the surfaces.
    uint8_t* GetSurfacePointer(int n) const;

    // Locks surface n (restoring it once when lost) and records the address
    // and pitch the lock reported.
    bool LockSurface(int n);
    bool UnlockSurface(int n);

    // Copies the surface's top-left width x height pixels into rect (screen
    // coordinates). A size beyond the surface is cut to the surface.
    bool BlitChannel(int n, const RECT& rect, int width, int height);
    // Puts channel k + 1's picture into the bottom right of channel k's
    // surface, then draws channel k (over the whole overlay in format 6,
    // else at mainRect). smallRect plays no part.
    bool BlitPictureInPicture(int k, const RECT& mainRect, int mainWidth, int mainHeight,
                              const RECT& smallRect, int smallWidth, int smallHeight);
    // Flips the overlay; false (and nothing done) without one. A lost
    // overlay is restored, blanked and shown again (false for that pass).
    bool Present();
    // Re-reads the window's place and shows the overlay there again.
    void OnWindowMoved();
    // Blanks both overlay buffers.
    void ClearOverlay();
    // Blanks width x height pixels of a locked surface at address in the
    // current format: YUY2 black, or whole RGB rows of zero.
    void ClearSurface(uint8_t* address, int pitch, int width, int height);

private:
    void Release();
    bool CreatePrimary();
    bool CreateClipper();
    bool CanUseYuy2();
    bool CanUseOverlay();
    bool CreateYuy2Surfaces();
    bool CreateRgbSurfaces();
    bool CreateOverlay();
    static HRESULT EnumBackBuffer(DirectDrawSurface* surface, DDSURFACEDESC* desc, void* context);
    bool ShowOverlay(bool show);
    bool SurfaceExists(int n) const;

    DirectDraw* m_pDD = nullptr;
    DirectDrawSurface* m_pPrimary = nullptr;
    DirectDrawSurface* m_pSurface[MAX_DISPLAY_SURFACES] = {};
    DirectDrawSurface* m_pOverlay[2] = {};
    DirectDrawClipper* m_pClipper = nullptr;
    uint8_t m_nSurfaces = 2;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nOverlayWidth = OVERLAY_WIDTH;
    int m_nOverlayHeight = OVERLAY_HEIGHT;
    int m_nDepth = 0;
    int m_nPitch = 0;
    uint8_t m_byFormat = 0;
    uint8_t m_byBackBuffers = 0;
    uint8_t* m_pSurfaceMem[MAX_DISPLAY_SURFACES] = {};
    DisplayWindowHandle m_hWnd = nullptr;
    RECT m_rcWindow{0, 0, 0, 0};
    int m_bCanYuy2 = 0;
    int m_bCanOverlay = 0;
};
