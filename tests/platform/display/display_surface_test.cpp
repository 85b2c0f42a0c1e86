#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/display/direct_draw.h"
#include "platform/display/faulty_display_device.h"
#include "platform/display/pixel_math.h"

namespace px = display_pixels;

namespace {

// A 320 x 240 screen with one window whose client area is (20, 10)-(220, 160).
class SurfaceTest : public ::testing::Test {
protected:
    void Open(DisplayCaps caps, int depth = 32) {
        caps.checkWritesOutsideLock = true;
        device_ = std::make_shared<FaultyDisplayDevice>(caps);
        SetDefaultDisplayDevice(device_);
        target_ = std::make_shared<DisplayTarget>(320, 240, depth);
        window_ = std::make_unique<DisplayWindow>(target_, RECT{20, 10, 220, 160}, 1);
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd_, nullptr), DD_OK);
        ASSERT_EQ(dd_->SetCooperativeLevel(window_.get(), DDSCL_NORMAL), DD_OK);
    }
    void TearDown() override {
        for (DirectDrawSurface* s : made_) {
            s->Release();
        }
        if (dd_ != nullptr) {
            dd_->Release();
        }
        if (device_ != nullptr) {
            EXPECT_EQ(device_->LiveSurfaces(), 0);
            EXPECT_EQ(device_->GuardViolations(), 0);
        }
        SetDefaultDisplayDevice(nullptr);
    }

    DirectDrawSurface* Make(uint32_t caps, bool yuy2, int w = 16, int h = 8) {
        DDSURFACEDESC d{};
        d.dwSize = sizeof d;
        d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        d.dwWidth = w;
        d.dwHeight = h;
        d.ddsCaps.dwCaps = caps;
        if (yuy2) {
            d.dwFlags |= DDSD_PIXELFORMAT;
            d.ddpfPixelFormat.dwFlags = DDPF_FOURCC;
            d.ddpfPixelFormat.dwFourCC = FOURCC_YUY2;
            d.ddpfPixelFormat.dwRGBBitCount = 16;
        }
        DirectDrawSurface* s = nullptr;
        if (dd_->CreateSurface(&d, &s, nullptr) != DD_OK) {
            return nullptr;
        }
        made_.push_back(s);
        return s;
    }
    // A flippable YUY2 overlay with one back buffer.
    static DDSURFACEDESC OverlayDesc(int w, int h) {
        DDSURFACEDESC d{};
        d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_BACKBUFFERCOUNT;
        d.dwWidth = w;
        d.dwHeight = h;
        d.dwBackBufferCount = 1;
        d.ddpfPixelFormat.dwFlags = DDPF_FOURCC;
        d.ddpfPixelFormat.dwFourCC = FOURCC_YUY2;
        d.ddsCaps.dwCaps = DDSCAPS_OVERLAY | DDSCAPS_COMPLEX | DDSCAPS_FLIP | DDSCAPS_VIDEOMEMORY;
        return d;
    }
    DirectDrawSurface* Primary() {
        DDSURFACEDESC d{};
        d.dwSize = sizeof d;
        d.dwFlags = DDSD_CAPS;
        d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        DirectDrawSurface* s = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&d, &s, nullptr), DD_OK);
        made_.push_back(s);
        return s;
    }
    // Fills a YUY2 surface with one luma/chroma value per half (left, right).
    void FillYuy2Halves(DirectDrawSurface* s, uint8_t yl, uint8_t yr) {
        DDSURFACEDESC d{};
        ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
        auto* p = static_cast<uint8_t*>(d.lpSurface);
        for (uint32_t y = 0; y < d.dwHeight; ++y) {
            for (uint32_t x = 0; x < d.dwWidth; ++x) {
                uint8_t* q = p + y * d.lPitch + x * 2;
                q[0] = x < d.dwWidth / 2 ? yl : yr;
                q[1] = 128;
            }
        }
        ASSERT_EQ(s->Unlock(nullptr), DD_OK);
    }

    std::shared_ptr<FaultyDisplayDevice> device_;
    std::shared_ptr<DisplayTarget> target_;
    std::unique_ptr<DisplayWindow> window_;
    DirectDraw* dd_ = nullptr;
    std::vector<DirectDrawSurface*> made_;
};

TEST(DisplayCreateTest, NoDeviceMeansNoHardware) {
    SetDefaultDisplayDevice(nullptr);
    DirectDraw* dd = reinterpret_cast<DirectDraw*>(1);
    EXPECT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DDERR_NODIRECTDRAWHW);
    EXPECT_EQ(dd, nullptr);
}

TEST_F(SurfaceTest, RgbSurfacesTakeTheScreenFormatWithAnAlignedPitch) {
    struct Case {
        int depth;
        uint32_t bits;
        uint32_t redMask;
        int bpp;
    };
    for (const Case& c : {Case{15, 16, 0x7C00, 2}, Case{16, 16, 0xF800, 2},
                          Case{24, 24, 0xFF0000, 3}, Case{32, 32, 0xFF0000, 4}}) {
        SCOPED_TRACE(c.depth);
        TearDown();
        made_.clear();
        dd_ = nullptr;
        Open({}, c.depth);
        DDSURFACEDESC pd{};
        ASSERT_EQ(Primary()->GetSurfaceDesc(&pd), DD_OK);
        EXPECT_EQ(pd.ddpfPixelFormat.dwRGBBitCount, c.bits);
        EXPECT_EQ(pd.ddpfPixelFormat.dwRBitMask, c.redMask);

        DirectDrawSurface* s = Make(DDSCAPS_OFFSCREENPLAIN, false, 352, 288);
        ASSERT_NE(s, nullptr);
        DDSURFACEDESC d{};
        ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
        EXPECT_EQ(d.ddpfPixelFormat.dwRBitMask, c.redMask);
        EXPECT_EQ(d.lPitch % 4, 0);
        EXPECT_EQ(d.lPitch % c.bpp, 0);
        EXPECT_GT(d.lPitch, 352 * c.bpp);  // never a packed row
        EXPECT_EQ(s->Unlock(nullptr), DD_OK);
    }
}

TEST_F(SurfaceTest, CardCapabilitiesDecideWhatCanBeMade) {
    DisplayCaps caps;
    caps.yuy2Blit = false;
    caps.overlay = false;
    Open(caps);
    EXPECT_EQ(Make(DDSCAPS_OFFSCREENPLAIN, true), nullptr);
    DDCAPS c{};
    ASSERT_EQ(dd_->GetCaps(&c, nullptr), DD_OK);
    EXPECT_EQ(c.dwCaps & (DDCAPS_OVERLAY | DDCAPS_BLTFOURCC), 0u);
    EXPECT_EQ(c.dwNumFourCCCodes, 0u);

    DDSURFACEDESC d = OverlayDesc(704, 576);
    DirectDrawSurface* ov = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&d, &ov, nullptr), DDERR_NOOVERLAYHW);
}

TEST_F(SurfaceTest, FourCCListIsAskedForItsLengthThenFilled) {
    Open({});
    uint32_t n = 0;
    ASSERT_EQ(dd_->GetFourCCCodes(&n, nullptr), DD_OK);
    ASSERT_EQ(n, 2u);
    uint32_t codes[2] = {};
    ASSERT_EQ(dd_->GetFourCCCodes(&n, codes), DD_OK);
    EXPECT_EQ(codes[1], 0x32595559u);
}

TEST_F(SurfaceTest, MemoryRunsOutVideoFirst) {
    DisplayCaps caps;
    caps.videoMemoryBytes = 1000;  // one 16 x 8 RGB32 surface of 96-byte rows each
    caps.systemMemoryBytes = 1000;
    Open(caps);
    EXPECT_NE(Make(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY, false), nullptr);
    EXPECT_EQ(Make(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY, false), nullptr);
    EXPECT_NE(Make(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, false), nullptr);
    EXPECT_EQ(Make(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, false), nullptr);
    made_.front()->Release();  // gives its video memory back
    made_.erase(made_.begin());
    EXPECT_NE(Make(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY, false), nullptr);
}

TEST_F(SurfaceTest, LockedAndBusyStatesAreEnforced) {
    Open({});
    DirectDrawSurface* a = Make(DDSCAPS_OFFSCREENPLAIN, true);
    DirectDrawSurface* b = Make(DDSCAPS_OFFSCREENPLAIN, true);
    DirectDrawSurface* primary = Primary();
    DDSURFACEDESC d{};
    EXPECT_EQ(a->Unlock(nullptr), DDERR_NOTLOCKED);
    ASSERT_EQ(a->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(a->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(b->Blt(nullptr, a, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(a->Blt(nullptr, b, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(primary->Blt(nullptr, a, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(device_->LockedSurfaces(), 1);
    EXPECT_EQ(a->Unlock(nullptr), DD_OK);
    EXPECT_EQ(a->Unlock(nullptr), DDERR_NOTLOCKED);
    EXPECT_EQ(primary->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DDERR_UNSUPPORTED);
    EXPECT_EQ(b->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);

    device_->FailNextLocks(1);
    EXPECT_EQ(a->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(a->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(a->Unlock(nullptr), DD_OK);
}

TEST_F(SurfaceTest, RectanglesOutsideASurfaceAreRefused) {
    Open({});
    DirectDrawSurface* a = Make(DDSCAPS_OFFSCREENPLAIN, true, 16, 8);
    DirectDrawSurface* b = Make(DDSCAPS_OFFSCREENPLAIN, true, 16, 8);
    const RECT bad[] = {{0, 0, 17, 8}, {-1, 0, 4, 4}, {0, 0, 0, 8}, {4, 4, 4, 6}};
    for (const RECT& r : bad) {
        EXPECT_EQ(b->Blt(&r, a, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
        EXPECT_EQ(b->Blt(nullptr, a, &r, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    }
}

TEST_F(SurfaceTest, LostSurfacesComeBackElsewhereAfterRestore) {
    Open({});
    DirectDrawSurface* a = Make(DDSCAPS_OFFSCREENPLAIN, true);
    DirectDrawSurface* primary = Primary();
    DDSURFACEDESC d{};
    ASSERT_EQ(a->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    void* before = d.lpSurface;
    ASSERT_EQ(a->Unlock(nullptr), DD_OK);

    device_->LoseAllSurfaces();
    EXPECT_EQ(a->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(a->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Blt(nullptr, a, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);

    device_->SetRestoreFails(true);
    EXPECT_NE(a->Restore(), DD_OK);
    device_->SetRestoreFails(false);
    EXPECT_EQ(primary->Restore(), DD_OK);
    EXPECT_EQ(a->Restore(), DD_OK);
    ASSERT_EQ(a->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_NE(d.lpSurface, before);
    ASSERT_EQ(a->Unlock(nullptr), DD_OK);
}

TEST_F(SurfaceTest, WritesOutsideALockAndPastTheEndAreFound) {
    Open({});
    DirectDrawSurface* a = Make(DDSCAPS_OFFSCREENPLAIN, true);
    DDSURFACEDESC d{};
    ASSERT_EQ(a->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    auto* p = static_cast<uint8_t*>(d.lpSurface);
    ASSERT_EQ(a->Unlock(nullptr), DD_OK);
    p[5] = 0x42;  // after the unlock
    ASSERT_EQ(a->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(device_->WritesOutsideLock(), 1);
    ASSERT_EQ(a->Unlock(nullptr), DD_OK);

    device_->LoseAllSurfaces();
    ASSERT_EQ(a->Restore(), DD_OK);
    p[6] = 0x43;  // at the address the old lock reported
    ASSERT_EQ(a->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(device_->WritesOutsideLock(), 2);
    static_cast<uint8_t*>(d.lpSurface)[d.lPitch * d.dwHeight] = 0;  // one past the end
    ASSERT_EQ(a->Unlock(nullptr), DD_OK);
    EXPECT_FALSE(a->GuardsIntact());
    EXPECT_EQ(device_->GuardViolations(), 1);
    static_cast<uint8_t*>(d.lpSurface)[d.lPitch * d.dwHeight] = 0xA5;  // for TearDown
}

TEST_F(SurfaceTest, Yuy2IsStretchedOntoTheScreenAndClippedToTheWindow) {
    Open({});
    DirectDrawSurface* primary = Primary();
    DirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(dd_->CreateClipper(0, &clipper, nullptr), DD_OK);
    clipper->SetHWnd(0, window_.get());
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    clipper->Release();

    DirectDrawSurface* a = Make(DDSCAPS_OFFSCREENPLAIN, true, 16, 8);
    FillYuy2Halves(a, 16, 235);  // black | white
    // 40 x 20 from (190, 100), scaled from 16 x 8: the right quarter lies
    // outside the window.
    const RECT dst{190, 100, 230, 120};
    ASSERT_EQ(primary->Blt(&dst, a, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(target_->Pixel(205, 110), px::MakeRgb(0, 0, 0));
    EXPECT_EQ(target_->Pixel(219, 119), px::MakeRgb(253, 253, 253));
    EXPECT_EQ(target_->Pixel(220, 110), px::kOpaque);  // clipped
    EXPECT_EQ(target_->Pixel(189, 110), px::kOpaque);

    // A window that is gone takes nothing.
    window_.reset();
    FillYuy2Halves(a, 235, 235);
    ASSERT_EQ(primary->Blt(&dst, a, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(target_->Pixel(205, 110), px::MakeRgb(0, 0, 0));
}

TEST_F(SurfaceTest, OverlayShowsItsFrontBufferWhereTheScreenHoldsTheKey) {
    Open({}, 16);
    DirectDrawSurface* primary = Primary();
    DDSURFACEDESC d = OverlayDesc(32, 16);
    DirectDrawSurface* front = nullptr;
    ASSERT_EQ(dd_->CreateSurface(&d, &front, nullptr), DD_OK);
    made_.push_back(front);
    DirectDrawSurface* back = nullptr;
    front->EnumAttachedSurfaces(&back, [](DirectDrawSurface* s, DDSURFACEDESC*, void* ctx) {
        *static_cast<DirectDrawSurface**>(ctx) = s;
        return DDENUMRET_OK;
    });
    ASSERT_NE(back, nullptr);
    made_.push_back(back);

    DirectDrawSurface* pic = Make(DDSCAPS_OFFSCREENPLAIN, true, 16, 8);
    FillYuy2Halves(pic, 16, 235);
    ASSERT_EQ(back->Blt(nullptr, pic, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);

    // The screen: key colour RGB(8,0,8) in the window, a green frame column.
    target_->FillRect(RECT{20, 10, 220, 160}, px::MakeRgb(8, 0, 8));
    target_->FillRect(RECT{200, 10, 201, 160}, px::MakeRgb(0, 250, 0));
    DDOVERLAYFX fx{};
    fx.dwSize = sizeof fx;
    fx.dckDestColorkey = {0x0801, 0x0801};
    const RECT src{0, 0, 32, 16};
    const RECT onScreen{20, 10, 220, 160};
    ASSERT_EQ(front->UpdateOverlay(&src, primary, &onScreen,
                                   DDOVER_SHOW | DDOVER_KEYDESTOVERRIDE | DDOVER_DDFX, &fx),
              DD_OK);
    std::vector<uint32_t> seen = target_->Compose();
    auto at = [&](int x, int y) { return seen[static_cast<size_t>(y) * 320 + x]; };
    EXPECT_EQ(at(60, 50), px::MakeRgb(0, 0, 0));                              // left: black
    EXPECT_EQ(at(180, 50), px::QuantizeRgb(px::MakeRgb(253, 253, 253), 16));  // right: white
    EXPECT_EQ(at(200, 50), px::QuantizeRgb(px::MakeRgb(0, 250, 0), 16));      // the frame stays
    EXPECT_EQ(at(10, 5), px::kOpaque);                                        // outside

    ASSERT_EQ(front->UpdateOverlay(nullptr, primary, nullptr, DDOVER_HIDE, nullptr), DD_OK);
    EXPECT_EQ(target_->Compose()[50 * 320 + 180], px::QuantizeRgb(px::MakeRgb(8, 0, 8), 16));
}

}  // namespace
