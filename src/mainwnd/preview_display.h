#pragma once
// The single-surface renderer of the motion dialog's live preview: one
// off-screen surface, YUY2 whenever the card can blit YUY2, otherwise the
// primary's RGB format, stretched onto the preview window. No overlay.
// Used by the user-interface thread only.

#include <cstdint>

#include "platform/display/direct_draw.h"

// Format codes Lock reports: high byte the display pixel format code, low
// byte the bytes per pixel.
constexpr uint16_t PREVIEW_FORMAT_YUY2 = 0x0102;
constexpr uint16_t PREVIEW_FORMAT_RGB32 = 0x0204;
constexpr uint16_t PREVIEW_FORMAT_RGB24 = 0x0303;
constexpr uint16_t PREVIEW_FORMAT_RGB565 = 0x0402;
constexpr uint16_t PREVIEW_FORMAT_RGB555 = 0x0502;

class CPreviewDisplay {
public:
    CPreviewDisplay() = default;
    ~CPreviewDisplay();
    CPreviewDisplay(const CPreviewDisplay&) = delete;
    CPreviewDisplay& operator=(const CPreviewDisplay&) = delete;

    // Builds the objects for the window with a width x height surface.
    // False without display hardware (silently) or without memory for any
    // surface ("display memory error!").
    bool Init(HWND hWnd, int width, int height);
    // The surface's address as a lock without waiting reports it; null when
    // that lock fails.
    uint8_t* GetSurfacePointer();
    // Locks the surface (restoring it once when lost); pitch and code are 0
    // on failure.
    bool Lock(int* pPitch, uint16_t* pFormatCode, uint8_t** ppAddress);
    bool Unlock();
    // Stretches the surface's top-left width x height pixels onto the whole
    // window; false only when there is nothing to draw onto.
    bool Blit(int width, int height);
    // Re-reads the window's place; a window that is gone empties it.
    void UpdateWindowRect();

private:
    void Release();
    bool CreatePrimary();
    bool CreateClipper();
    bool CreateSurface(int width, int height);
    bool CanUseYuy2();

    DirectDrawSurface* m_pPrimary = nullptr;
    DirectDrawSurface* m_pSurface = nullptr;
    DirectDrawClipper* m_pClipper = nullptr;
    DirectDraw* m_pDD = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nDepth = 0;
    HWND m_hWnd = nullptr;
    RECT m_rcWindow{0, 0, 0, 0};
    int m_bCanYuy2 = 0;
};
