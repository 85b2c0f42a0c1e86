#include "mainwnd/video_display.h"

#include <algorithm>
#include <cstring>

#include "mainwnd/display_flags.h"
#include "mainwnd/display_surface_setup.h"
#include "media/color_yuy2_rgb.h"

std::atomic<uint32_t> g_dwColorKey{COLOR_KEY_RGB32};

void InitSurfaceDesc(DDSURFACEDESC* desc) {
    std::memset(desc, 0, sizeof *desc);
    desc->dwSize = sizeof *desc;
}

namespace {

bool RectHasArea(const RECT& r) {
    return r.right > r.left && r.bottom > r.top;
}

}  // namespace

CVideoDisplay::CVideoDisplay(uint8_t channelCount)
    : m_nSurfaces(static_cast<uint8_t>(std::clamp<int>(channelCount, 2, MAX_DISPLAY_SURFACES))) {}

CVideoDisplay::~CVideoDisplay() {
    Release();
}

bool CVideoDisplay::Init(DisplayWindowHandle hWnd, int width, int height) {
    m_hWnd = hWnd;
    m_nWidth = width;
    m_nHeight = height;
    GetClientRectOnScreen(hWnd, &m_rcWindow);

    if (DirectDrawCreate(nullptr, &m_pDD, nullptr) != DD_OK ||
        m_pDD->SetCooperativeLevel(hWnd, DDSCL_NORMAL) != DD_OK || !CreatePrimary() ||
        !CreateClipper()) {
        Release();
        return false;
    }
    if (CreateYuy2Surfaces()) {
        CreateOverlay();  // without one the YUY2 surfaces go to the screen
    } else if (!CreateRgbSurfaces()) {
        Release();
        return false;
    }
    if (m_byFormat == PIXFMT_YUY2_OVERLAY) {
        ShowOverlay(true);
    }
    for (int n = 0; n < m_nSurfaces; ++n) {
        DDSURFACEDESC desc;
        InitSurfaceDesc(&desc);
        if (m_pSurface[n]->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) == DD_OK) {
            m_nPitch = desc.lPitch;
            m_pSurfaceMem[n] = static_cast<uint8_t*>(desc.lpSurface);
            ClearSurface(m_pSurfaceMem[n], m_nPitch, m_nWidth, m_nHeight);
            m_pSurface[n]->Unlock(nullptr);
        }
    }
    return true;
}

bool CVideoDisplay::CreatePrimary() {
    if (!CreatePrimarySurface(m_pDD, &m_pPrimary, &m_nDepth)) {
        return false;
    }
    // A palette screen (or any other depth) has no display pixel format.
    if (m_nDepth != 15 && m_nDepth != 16 && m_nDepth != 24 && m_nDepth != 32) {
        return false;
    }
    // Set for every depth: a renderer made after one on another screen
    // must not inherit its key.
    g_dwColorKey = m_nDepth == 16   ? COLOR_KEY_RGB565
                   : m_nDepth == 15 ? COLOR_KEY_RGB555
                                    : COLOR_KEY_RGB32;
    m_bCanOverlay = CanUseOverlay();
    m_bCanYuy2 = CanUseYuy2();
    return true;
}

bool CVideoDisplay::CreateClipper() {
    return AttachWindowClipper(m_pDD, m_pPrimary, m_hWnd, &m_pClipper);
}

bool CVideoDisplay::CanUseYuy2() {
    return ReadDisplayFlags().bYuy2 != 0 && DeviceBlitsYuy2(m_pDD);
}

bool CVideoDisplay::CanUseOverlay() {
    if (ReadDisplayFlags().bOverlay == 0) {
        return false;
    }
    DDCAPS caps;
    std::memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    return m_pDD->GetCaps(&caps, nullptr) == DD_OK && (caps.dwCaps & DDCAPS_OVERLAY) != 0;
}

bool CVideoDisplay::CreateYuy2Surfaces() {
    if (!m_bCanYuy2) {
        return false;
    }
    DDSURFACEDESC desc;
    InitSurfaceDesc(&desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<uint32_t>(m_nWidth);
    desc.dwHeight = static_cast<uint32_t>(m_nHeight);
    desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
    desc.ddpfPixelFormat.dwFlags = DDPF_FOURCC;
    desc.ddpfPixelFormat.dwFourCC = FOURCC_YUY2;
    desc.ddpfPixelFormat.dwRGBBitCount = 16;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
    for (int n = 0; n < m_nSurfaces; ++n) {
        // Once video memory is full the rest go to system memory.
        if (!CreateOffscreenSurface(m_pDD, &desc, &m_pSurface[n])) {
            // The RGB surfaces take every place, and need the memory these
            // hold.
            for (int i = 0; i <= n; ++i) {
                ReleaseAndClear(m_pSurface[i]);
            }
            return false;
        }
    }
    m_byFormat = PIXFMT_YUY2;
    return true;
}

bool CVideoDisplay::CreateRgbSurfaces() {
    DDSURFACEDESC desc;
    InitSurfaceDesc(&desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<uint32_t>(m_nWidth);
    desc.dwHeight = static_cast<uint32_t>(m_nHeight);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
    for (int n = 0; n < m_nSurfaces; ++n) {
        if (!CreateOffscreenSurface(m_pDD, &desc, &m_pSurface[n])) {
            return false;
        }
    }
    switch (m_nDepth) {
        case 15:
            m_byFormat = PIXFMT_RGB555;
            break;
        case 16:
            m_byFormat = PIXFMT_RGB565;
            break;
        case 24:
            m_byFormat = PIXFMT_RGB24;
            break;
        default:
            m_byFormat = PIXFMT_RGB32;
            break;
    }
    return true;
}

bool CVideoDisplay::CreateOverlay() {
    if (!m_bCanOverlay) {
        return false;
    }
    DDSURFACEDESC desc;
    InitSurfaceDesc(&desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_BACKBUFFERCOUNT;
    desc.dwWidth = static_cast<uint32_t>(m_nOverlayWidth);
    desc.dwHeight = static_cast<uint32_t>(m_nOverlayHeight);
    desc.dwBackBufferCount = 1;
    desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
    desc.ddpfPixelFormat.dwFlags = DDPF_FOURCC;
    desc.ddpfPixelFormat.dwFourCC = FOURCC_YUY2;
    desc.ddsCaps.dwCaps = DDSCAPS_COMPLEX | DDSCAPS_FLIP | DDSCAPS_OVERLAY | DDSCAPS_VIDEOMEMORY;
    if (m_pDD->CreateSurface(&desc, &m_pOverlay[0], nullptr) != DD_OK) {
        m_pOverlay[0] = nullptr;
        return false;
    }
    m_byBackBuffers = 0;
    m_pOverlay[0]->EnumAttachedSurfaces(this, &CVideoDisplay::EnumBackBuffer);
    if (m_byBackBuffers == 0) {
        // An overlay that cannot be flipped is no use: stay on the screen.
        ReleaseAndClear(m_pOverlay[0]);
        return false;
    }
    m_byFormat = PIXFMT_YUY2_OVERLAY;
    // The screen shows the overlay through the media layer's converter, the
    // same arithmetic the channels' own RGB conversion uses.
    if (std::shared_ptr<DisplayTarget> target = GetWindowTarget(m_hWnd)) {
        target->SetOverlayConverter(&Yuy2ToBgra32);
    }
    ClearOverlay();
    return true;
}

HRESULT CVideoDisplay::EnumBackBuffer(DirectDrawSurface* surface, DDSURFACEDESC* /*desc*/,
                                      void* context) {
    auto* self = static_cast<CVideoDisplay*>(context);
    if (surface == self->m_pOverlay[0]) {
        surface->Release();  // the walk is back at the front buffer
        return DDENUMRET_OK;
    }
    ++self->m_byBackBuffers;
    if (self->m_byBackBuffers < 2) {
        self->m_pOverlay[self->m_byBackBuffers] = surface;
    } else {
        surface->Release();  // room for one back buffer only
        return DDENUMRET_OK;
    }
    surface->EnumAttachedSurfaces(context, &CVideoDisplay::EnumBackBuffer);
    return DDENUMRET_OK;
}

bool CVideoDisplay::ShowOverlay(bool show) {
    if (m_byFormat != PIXFMT_YUY2_OVERLAY || m_pOverlay[0] == nullptr || m_pPrimary == nullptr) {
        return false;
    }
    DDOVERLAYFX fx;
    std::memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    uint32_t flags = DDOVER_HIDE;
    if (show) {
        flags = DDOVER_SHOW | DDOVER_KEYDESTOVERRIDE | DDOVER_DDFX;
        fx.dckDestColorkey.dwColorSpaceLowValue = g_dwColorKey;
        fx.dckDestColorkey.dwColorSpaceHighValue = g_dwColorKey;
    }
    const RECT src{0, 0, m_nOverlayWidth, m_nOverlayHeight};
    return m_pOverlay[0]->UpdateOverlay(&src, m_pPrimary, &m_rcWindow, flags, &fx) == DD_OK;
}

bool CVideoDisplay::SurfaceExists(int n) const {
    return n >= 0 && n < m_nSurfaces && m_pSurface[n] != nullptr;
}

uint8_t* CVideoDisplay::GetSurfacePointer(int n) const {
    if (n < 0 || n >= m_nSurfaces) {
        return nullptr;
    }
    return m_pSurfaceMem[n];
}

bool CVideoDisplay::LockSurface(int n) {
    if (!SurfaceExists(n)) {
        return false;
    }
    DDSURFACEDESC desc;
    if (LockRestoringLost(m_pSurface[n], m_pPrimary, &desc) != DD_OK) {
        return false;
    }
    m_pSurfaceMem[n] = static_cast<uint8_t*>(desc.lpSurface);
    m_nPitch = desc.lPitch;
    return true;
}

bool CVideoDisplay::UnlockSurface(int n) {
    return SurfaceExists(n) && m_pSurface[n]->Unlock(nullptr) == DD_OK;
}

bool CVideoDisplay::BlitChannel(int n, const RECT& rect, int width, int height) {
    if (!SurfaceExists(n)) {
        return false;
    }
    // A peer may announce a picture larger than the surface; only the
    // surface is ever read.
    width = std::min(width, m_nWidth);
    height = std::min(height, m_nHeight);
    if (width <= 0 || height <= 0) {
        return false;
    }
    const RECT src{0, 0, width, height};
    if (m_byFormat == PIXFMT_YUY2_OVERLAY) {
        if (m_pOverlay[1] == nullptr) {
            return false;
        }
        const int W = m_rcWindow.right - m_rcWindow.left;
        const int H = m_rcWindow.bottom - m_rcWindow.top;
        const int rw = rect.right - rect.left;
        const int rh = rect.bottom - rect.top;
        if (W < 2 || H < 2 || rw < 2 || rh < 2 || rw > W || rh > H) {
            return false;
        }
        const int x = rect.left - m_rcWindow.left;
        const int y = rect.top - m_rcWindow.top;
        if (x < 0 || y < 0) {
            return false;
        }
        RECT dst;
        dst.left = x * m_nOverlayWidth / W / 4 * 4;
        dst.right = dst.left + rw * m_nOverlayWidth / W;
        dst.top = y * m_nOverlayHeight / H / 4 * 4;
        dst.bottom = dst.top + rh * m_nOverlayHeight / H;
        if (dst.top == 288) {
            dst.top = 290;
        } else if (dst.top == 0) {
            dst.top = 2;
        }
        return m_pOverlay[1]->Blt(&dst, m_pSurface[n], &src, DDBLT_WAIT, nullptr) == DD_OK;
    }
    if (m_pPrimary == nullptr) {
        return false;
    }
    return m_pPrimary->Blt(&rect, m_pSurface[n], &src, DDBLT_WAIT, nullptr) == DD_OK;
}

bool CVideoDisplay::BlitPictureInPicture(int k, const RECT& mainRect, int mainWidth, int mainHeight,
                                         const RECT& /*smallRect*/, int smallWidth,
                                         int smallHeight) {
    if (!SurfaceExists(k) || !SurfaceExists(k + 1)) {
        return false;
    }
    // The small picture goes inside the main surface, so neither size may
    // pass the surface's edge.
    mainWidth = std::min(mainWidth, m_nWidth);
    mainHeight = std::min(mainHeight, m_nHeight);
    smallWidth = std::min(smallWidth, m_nWidth);
    smallHeight = std::min(smallHeight, m_nHeight);
    if (smallWidth > 0 && smallHeight > 0) {
        const RECT small{0, 0, smallWidth, smallHeight};
        const RECT inset{mainWidth * 3 / 5, mainHeight * 3 / 5, mainWidth - 2, mainHeight - 2};
        if (RectHasArea(inset)) {
            m_pSurface[k]->Blt(&inset, m_pSurface[k + 1], &small, DDBLT_WAIT, nullptr);
        }
    }
    if (mainWidth <= 0 || mainHeight <= 0) {
        return false;
    }
    const RECT src{0, 0, mainWidth, mainHeight};
    if (m_byFormat == PIXFMT_YUY2_OVERLAY) {
        if (m_pOverlay[1] == nullptr) {
            return false;
        }
        const RECT whole{0, 0, m_nOverlayWidth, m_nOverlayHeight};
        return m_pOverlay[1]->Blt(&whole, m_pSurface[k], &src, DDBLT_WAIT, nullptr) == DD_OK;
    }
    if (m_pPrimary == nullptr) {
        return false;
    }
    return m_pPrimary->Blt(&mainRect, m_pSurface[k], &src, DDBLT_WAIT, nullptr) == DD_OK;
}

bool CVideoDisplay::Present() {
    if (m_byFormat != PIXFMT_YUY2_OVERLAY || m_pOverlay[0] == nullptr) {
        return false;
    }
    const HRESULT hr = m_pOverlay[0]->Flip(nullptr, DDFLIP_WAIT);
    if (hr == DDERR_SURFACELOST) {
        // Nothing else restores the overlay: without this it would stay
        // dark for the rest of the run. The blits of the next pass refill
        // it.
        if (m_pPrimary != nullptr) {
            m_pPrimary->Restore();
        }
        if (m_pOverlay[0]->Restore() == DD_OK) {
            ClearOverlay();
            ShowOverlay(true);
        }
    }
    return hr == DD_OK;
}

void CVideoDisplay::OnWindowMoved() {
    if (!GetClientRectOnScreen(m_hWnd, &m_rcWindow)) {
        m_rcWindow = RECT{0, 0, 0, 0};
    }
    if (m_byFormat == PIXFMT_YUY2_OVERLAY) {
        ShowOverlay(true);
    }
}

void CVideoDisplay::ClearOverlay() {
    for (DirectDrawSurface* buffer : m_pOverlay) {
        if (buffer == nullptr) {
            continue;
        }
        DDSURFACEDESC desc;
        InitSurfaceDesc(&desc);
        if (buffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) == DD_OK) {
            ClearSurface(static_cast<uint8_t*>(desc.lpSurface), desc.lPitch, m_nOverlayWidth,
                         m_nOverlayHeight);
            buffer->Unlock(nullptr);
        }
    }
}

void CVideoDisplay::ClearSurface(uint8_t* address, int pitch, int width, int height) {
    if (address == nullptr || pitch <= 0 || width <= 0 || height <= 0) {
        return;
    }
    switch (m_byFormat) {
        case PIXFMT_YUY2:
        case PIXFMT_YUY2_OVERLAY:
            for (int y = 0; y < height; ++y) {
                uint8_t* row = address + static_cast<size_t>(y) * pitch;
                for (int x = 0; x < width; ++x) {
                    row[2 * x] = 0x00;
                    row[2 * x + 1] = 0x80;
                }
            }
            break;
        case PIXFMT_RGB32:
        case PIXFMT_RGB24:
        case PIXFMT_RGB565:
        case PIXFMT_RGB555:
            for (int y = 0; y < height; ++y) {
                std::memset(address + static_cast<size_t>(y) * pitch, 0,
                            static_cast<size_t>(pitch));
            }
            break;
        default:
            break;
    }
}

void CVideoDisplay::Release() {
    ReleaseAndClear(m_pClipper);
    ReleaseAndClear(m_pPrimary);
    for (int n = 0; n < m_nSurfaces; ++n) {
        ReleaseAndClear(m_pSurface[n]);
        m_pSurfaceMem[n] = nullptr;
    }
    ReleaseAndClear(m_pOverlay[0]);
    ReleaseAndClear(m_pOverlay[1]);
    ReleaseDirectDraw(m_pDD);
    m_nWidth = 0;
    m_nHeight = 0;
    m_nDepth = 0;
    m_hWnd = nullptr;
}
