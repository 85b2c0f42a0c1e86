#pragma once
// Result codes, flags and records of the display surface service, in the
// manner of the card interface the renderers were written against. Only
// what the renderers use is here.

#include <cstdint>
#include "platform/mediacodes/media_codes.h"

#include "platform/wintypes/rect.h"

using HRESULT = int32_t;

constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT DDERR_NODIRECTDRAWHW = static_cast<HRESULT>(0x88760255u);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = static_cast<HRESULT>(0x887600D4u);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = static_cast<HRESULT>(0x88760091u);
constexpr HRESULT DDERR_INVALIDRECT = static_cast<HRESULT>(0x88760096u);
constexpr HRESULT DDERR_NOOVERLAYHW = static_cast<HRESULT>(0x887600B4u);
constexpr HRESULT DDERR_NOTFLIPPABLE = static_cast<HRESULT>(0x8876014Eu);
constexpr HRESULT DDERR_NOTLOCKED = static_cast<HRESULT>(0x88760248u);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = static_cast<HRESULT>(0x8876017Cu);
constexpr HRESULT DDERR_SURFACEBUSY = static_cast<HRESULT>(0x887601AEu);
constexpr HRESULT DDERR_SURFACELOST = static_cast<HRESULT>(0x887601C2u);
constexpr HRESULT DDERR_WASSTILLDRAWING = static_cast<HRESULT>(0x8876021Cu);

inline bool DdSucceeded(HRESULT hr) {
    return hr >= 0;
}

constexpr uint32_t FOURCC_YUY2 = MakeFourCC('Y', 'U', 'Y', '2');  // 0x32595559
constexpr uint32_t FOURCC_UYVY = MakeFourCC('U', 'Y', 'V', 'Y');

// Cooperative levels.
constexpr uint32_t DDSCL_NORMAL = 0x00000008u;

// Surface description fields that are set.
constexpr uint32_t DDSD_CAPS = 0x00000001u;
constexpr uint32_t DDSD_HEIGHT = 0x00000002u;
constexpr uint32_t DDSD_WIDTH = 0x00000004u;
constexpr uint32_t DDSD_PITCH = 0x00000008u;
constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x00000020u;
constexpr uint32_t DDSD_LPSURFACE = 0x00000800u;
constexpr uint32_t DDSD_PIXELFORMAT = 0x00001000u;

// Surface capabilities.
constexpr uint32_t DDSCAPS_BACKBUFFER = 0x00000004u;
constexpr uint32_t DDSCAPS_COMPLEX = 0x00000008u;
constexpr uint32_t DDSCAPS_FLIP = 0x00000010u;
constexpr uint32_t DDSCAPS_FRONTBUFFER = 0x00000020u;
constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x00000040u;
constexpr uint32_t DDSCAPS_OVERLAY = 0x00000080u;
constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x00000200u;
constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x00000800u;
constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x00004000u;

// Pixel format flags.
constexpr uint32_t DDPF_FOURCC = 0x00000004u;
constexpr uint32_t DDPF_PALETTEINDEXED8 = 0x00000020u;
constexpr uint32_t DDPF_RGB = 0x00000040u;

// Driver capabilities.
constexpr uint32_t DDCAPS_BLT = 0x00000040u;
constexpr uint32_t DDCAPS_BLTFOURCC = 0x00000100u;
constexpr uint32_t DDCAPS_BLTSTRETCH = 0x00000200u;
constexpr uint32_t DDCAPS_OVERLAY = 0x00000800u;

// Lock, blit and flip flags.
constexpr uint32_t DDLOCK_WAIT = 0x00000001u;
constexpr uint32_t DDBLT_WAIT = 0x01000000u;
constexpr uint32_t DDFLIP_WAIT = 0x00000001u;

// Overlay update flags.
constexpr uint32_t DDOVER_HIDE = 0x00000200u;
constexpr uint32_t DDOVER_KEYDESTOVERRIDE = 0x00000800u;
constexpr uint32_t DDOVER_SHOW = 0x00004000u;
constexpr uint32_t DDOVER_DDFX = 0x00080000u;

// Enumeration answers.
constexpr HRESULT DDENUMRET_CANCEL = 0;
constexpr HRESULT DDENUMRET_OK = 1;

struct DDPIXELFORMAT {
    uint32_t dwSize;
    uint32_t dwFlags;
    uint32_t dwFourCC;
    uint32_t dwRGBBitCount;  // also the bit count of a FourCC format
    uint32_t dwRBitMask;
    uint32_t dwGBitMask;
    uint32_t dwBBitMask;
    uint32_t dwRGBAlphaBitMask;
};

struct DDSCAPS {
    uint32_t dwCaps;
};

struct DDSURFACEDESC {
    uint32_t dwSize;
    uint32_t dwFlags;
    uint32_t dwHeight;
    uint32_t dwWidth;
    int32_t lPitch;
    uint32_t dwBackBufferCount;
    void* lpSurface;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

struct DDCAPS {
    uint32_t dwSize;
    uint32_t dwCaps;
    uint32_t dwNumFourCCCodes;
    uint32_t dwVidMemTotal;
    uint32_t dwVidMemFree;
};

struct DDCOLORKEY {
    uint32_t dwColorSpaceLowValue;
    uint32_t dwColorSpaceHighValue;
};

struct DDOVERLAYFX {
    uint32_t dwSize;
    DDCOLORKEY dckDestColorkey;
    DDCOLORKEY dckSrcColorkey;
};
