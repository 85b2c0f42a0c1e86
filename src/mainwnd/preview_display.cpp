#include "mainwnd/preview_display.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "mainwnd/video_display.h"
#include "platform/msgbox/message_box.h"

namespace {

template <typename T>
void ReleaseAndClear(T*& p) {
    if (p != nullptr) {
        p->Release();
        p = nullptr;
    }
}

}  // namespace

CPreviewDisplay::~CPreviewDisplay() {
    Release();
}

bool CPreviewDisplay::Init(HWND hWnd, int width, int height) {
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
    DDSURFACEDESC desc;
    InitSurfaceDesc(&desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (m_pDD->CreateSurface(&desc, &m_pPrimary, nullptr) != DD_OK) {
        return false;
    }
    InitSurfaceDesc(&desc);
    if (m_pPrimary->GetSurfaceDesc(&desc) != DD_OK) {
        return false;
    }
    m_nDepth = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount);
    if (m_nDepth == 16 && desc.ddpfPixelFormat.dwRBitMask != 0xF800) {
        m_nDepth = 15;
    }
    m_bCanYuy2 = CanUseYuy2();
    return true;
}

bool CPreviewDisplay::CreateClipper() {
    if (m_pDD->CreateClipper(0, &m_pClipper, nullptr) != DD_OK) {
        return false;
    }
    m_pClipper->SetHWnd(0, m_hWnd);
    return m_pPrimary->SetClipper(m_pClipper) == DD_OK;
}

bool CPreviewDisplay::CanUseYuy2() {
    DDCAPS caps;
    std::memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    if (m_pDD->GetCaps(&caps, nullptr) != DD_OK || caps.dwNumFourCCCodes == 0 ||
        (caps.dwCaps & DDCAPS_BLTFOURCC) == 0) {
        return false;
    }
    uint32_t count = 0;
    if (m_pDD->GetFourCCCodes(&count, nullptr) != DD_OK || count == 0) {
        return false;
    }
    std::vector<uint32_t> codes(count);
    if (m_pDD->GetFourCCCodes(&count, codes.data()) != DD_OK) {
        return false;
    }
    codes.resize(std::min<size_t>(count, codes.size()));
    return std::find(codes.begin(), codes.end(), FOURCC_YUY2) != codes.end();
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
    if (m_pDD->CreateSurface(&desc, &m_pSurface, nullptr) == DD_OK) {
        return true;
    }
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (m_pDD->CreateSurface(&desc, &m_pSurface, nullptr) == DD_OK) {
        return true;
    }
    m_pSurface = nullptr;
    return false;
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
    InitSurfaceDesc(&desc);
    HRESULT hr = m_pSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (hr == DDERR_SURFACELOST) {
        if (m_pPrimary != nullptr) {
            m_pPrimary->Restore();
        }
        m_pSurface->Restore();
        InitSurfaceDesc(&desc);
        hr = m_pSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    }
    if (hr != DD_OK) {
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
    if (m_pDD != nullptr) {
        m_pDD->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
        ReleaseAndClear(m_pDD);
    }
    m_nWidth = 0;
    m_nHeight = 0;
    m_nDepth = 0;
    m_hWnd = nullptr;
}
