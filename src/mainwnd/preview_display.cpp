#include "mainwnd/preview_display.h"

#include <algorithm>

#include "mainwnd/display_surface_setup.h"
#include "mainwnd/video_display.h"
#include "platform/msgbox/message_box.h"

CPreviewDisplay::~CPreviewDisplay() {
    Release();
}

bool CPreviewDisplay::Init(DisplayWindowHandle hWnd, int width, int height) {
    GetWindowRect(hWnd, &m_rcWindow);
    m_hWnd = hWnd;
    m_nWidth = width;
    m_nHeight = height;
    if (DirectDrawCreate(nullptr, &m_pDD, nullptr) != DD_OK ||
        m_pDD->SetCooperativeLevel(hWnd, DDSCL_NORMAL) != DD_OK || !CreatePrimary() ||
        !CreateClipper()) {
        Release();
        return false;
    }
    if (CreateSurface(width, height)) {
        return true;
    }
    ReleaseAndClear(m_pSurface);
    m_bCanYuy2 = 0;
    if (CreateSurface(width, height)) {
        return true;
    }
    Release();
    ShowMessageBox("display memory error!", "ERROR", MB_OK);
    return false;
}

bool CPreviewDisplay::CreatePrimary() {
    if (!CreatePrimarySurface(m_pDD, &m_pPrimary, &m_nDepth)) {
        return false;
    }
    m_bCanYuy2 = CanUseYuy2();
    return true;
}

bool CPreviewDisplay::CreateClipper() {
    return AttachWindowClipper(m_pDD, m_pPrimary, m_hWnd, &m_pClipper);
}

bool CPreviewDisplay::CanUseYuy2() {
    return DeviceBlitsYuy2(m_pDD);
}

bool CPreviewDisplay::CreateSurface(int width, int height) {
    DDSURFACEDESC desc;
    InitSurfaceDesc(&desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<uint32_t>(std::max(width, 0));
    desc.dwHeight = static_cast<uint32_t>(std::max(height, 0));
    if (m_bCanYuy2) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
        desc.ddpfPixelFormat.dwFlags = DDPF_FOURCC;
        desc.ddpfPixelFormat.dwFourCC = FOURCC_YUY2;
        desc.ddpfPixelFormat.dwRGBBitCount = 16;
    }
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
    return CreateOffscreenSurface(m_pDD, &desc, &m_pSurface);
}

uint8_t* CPreviewDisplay::GetSurfacePointer() {
    if (m_pSurface == nullptr) {
        return nullptr;
    }
    DDSURFACEDESC desc;
    InitSurfaceDesc(&desc);
    if (m_pSurface->Lock(nullptr, &desc, 0, nullptr) != DD_OK) {
        return nullptr;
    }
    auto* address = static_cast<uint8_t*>(desc.lpSurface);
    m_pSurface->Unlock(nullptr);
    return address;
}

bool CPreviewDisplay::Lock(int* pPitch, uint16_t* pFormatCode, uint8_t** ppAddress) {
    if (pPitch != nullptr) {
        *pPitch = 0;
    }
    if (pFormatCode != nullptr) {
        *pFormatCode = 0;
    }
    if (m_pSurface == nullptr) {
        return false;
    }
    uint16_t code = PREVIEW_FORMAT_YUY2;
    if (!m_bCanYuy2) {
        switch (m_nDepth) {
            case 15:
                code = PREVIEW_FORMAT_RGB555;
                break;
            case 16:
                code = PREVIEW_FORMAT_RGB565;
                break;
            case 24:
                code = PREVIEW_FORMAT_RGB24;
                break;
            case 32:
                code = PREVIEW_FORMAT_RGB32;
                break;
            default:
                return false;  // a palette screen has no format to convert into
        }
    }
    DDSURFACEDESC desc;
    if (LockRestoringLost(m_pSurface, m_pPrimary, &desc) != DD_OK) {
        return false;
    }
    if (pPitch != nullptr) {
        *pPitch = desc.lPitch;
    }
    if (pFormatCode != nullptr) {
        *pFormatCode = code;
    }
    if (ppAddress != nullptr) {
        *ppAddress = static_cast<uint8_t*>(desc.lpSurface);
    }
    return true;
}

bool CPreviewDisplay::Unlock() {
    return m_pSurface != nullptr && m_pSurface->Unlock(nullptr) == DD_OK;
}

bool CPreviewDisplay::Blit(int width, int height) {
    if (m_pPrimary == nullptr || m_pSurface == nullptr || m_rcWindow.right <= m_rcWindow.left) {
        return false;
    }
    const RECT src{0, 0, width, height};
    m_pPrimary->Blt(&m_rcWindow, m_pSurface, &src, DDBLT_WAIT, nullptr);
    return true;
}

void CPreviewDisplay::UpdateWindowRect() {
    if (!GetWindowRect(m_hWnd, &m_rcWindow)) {
        m_rcWindow = RECT{0, 0, 0, 0};
    }
}

void CPreviewDisplay::Release() {
    ReleaseAndClear(m_pClipper);
    ReleaseAndClear(m_pPrimary);
    ReleaseAndClear(m_pSurface);
    ReleaseDirectDraw(m_pDD);
    m_nWidth = 0;
    m_nHeight = 0;
    m_nDepth = 0;
    m_hWnd = nullptr;
}
