#include "mainwnd/video_display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "display_test_support.h"
#include "mainwnd/display_flags.h"
#include "media/color_convert.h"

using namespace display_test;

namespace {

constexpr uint32_t kKey = 0xFF080008;  // RGB(8,0,8)
constexpr uint32_t kGreen = 0xFF00FA00;
constexpr uint32_t kRed = 0xFFFF0000;

// Each channel's picture: two halves in colours of its own.
Yuv LeftColour(int n) {
    return Yuv{static_cast<uint8_t>(60 + 20 * n), 90, 200};
}
Yuv RightColour(int n) {
    return Yuv{static_cast<uint8_t>(150 + 10 * n), 60, 60};
}

// Cell i of the 3 x 3 grid of the wall, in screen coordinates.
RECT Cell(int i) {
    const int cw = 790 / 3;
    const int ch = 646 / 3;
    const int left = kWallClient.left + (i % 3) * cw;
    const int top = kWallClient.top + (i / 3) * ch;
    return RECT{left, top, left + cw, top + ch};
}

// The wall as it paints itself: key colour, a green frame along the inside
// of each shown rectangle, a red outline 2 pixels wide around the selected.
void PaintWall(DisplayTarget& t, int shown, int selected) {
    t.FillRect(kWallClient, kKey);
    for (int n = 0; n < shown; ++n) {
        const RECT r = Cell(n);
        t.FillRect(RECT{r.left, r.top, r.right, r.top + 1}, kGreen);
        t.FillRect(RECT{r.left, r.bottom - 1, r.right, r.bottom}, kGreen);
        t.FillRect(RECT{r.left, r.top, r.left + 1, r.bottom}, kGreen);
        t.FillRect(RECT{r.right - 1, r.top, r.right, r.bottom}, kGreen);
    }
    const RECT s = Cell(selected);
    t.FillRect(RECT{s.left - 1, s.top - 1, s.right + 1, s.top + 1}, kRed);
    t.FillRect(RECT{s.left - 1, s.top - 1, s.left + 1, s.bottom + 1}, kRed);
}

class ScopedDisplayFlags {
public:
    ScopedDisplayFlags(int overlay, int yuy2) {
        SetDisplayFlagsReader([=] { return DisplayFlags{overlay, yuy2}; });
    }
    ~ScopedDisplayFlags() { SetDisplayFlagsReader(nullptr); }
};

struct FormatCase {
    const char* name;
    int depth;
    bool yuy2Blit;
    bool overlay;
    int flagOverlay;
    int flagYuy2;
    uint8_t format;
    uint32_t colorKey;
};

class RendererFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(RendererFormatTest, PicturesLandScaledInTheirRectangles) {
    const FormatCase& c = GetParam();
    DisplayCaps caps;
    caps.yuy2Blit = c.yuy2Blit;
    caps.overlay = c.overlay;
    Screen screen(c.depth, caps);
    ScopedDisplayFlags flags(c.flagOverlay, c.flagYuy2);
    constexpr int kShown = 4;
    PaintWall(*screen.target, kShown, 1);
    {
        CVideoDisplay display(kShown);
        ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
        ASSERT_EQ(display.GetFormatCode(), c.format);
        EXPECT_EQ(g_dwColorKey.load(), c.colorKey);

        const int bpp = BytesPerPixelOfFormat(c.format);
        ASSERT_TRUE(display.LockSurface(0));
        EXPECT_EQ(display.GetPitch() % 4, 0);
        EXPECT_EQ(display.GetPitch() % bpp, 0);
        const uint8_t* blank = display.GetSurfacePointer(0);
        const bool yuy2 = c.format == PIXFMT_YUY2 || c.format == PIXFMT_YUY2_OVERLAY;
        EXPECT_EQ(blank[0], 0);
        EXPECT_EQ(blank[1], yuy2 ? 0x80 : 0);
        ASSERT_TRUE(display.UnlockSurface(0));

        for (int n = 0; n < kShown; ++n) {
            ASSERT_TRUE(display.LockSurface(n));
            WritePicture(display.GetSurfacePointer(n), display.GetPitch(), c.format, 352, 288,
                         LeftColour(n), RightColour(n));
            ASSERT_TRUE(display.UnlockSurface(n));
            EXPECT_TRUE(display.BlitChannel(n, Cell(n), 352, 288)) << n;
        }
        EXPECT_EQ(display.Present(), c.format == PIXFMT_YUY2_OVERLAY);

        const std::vector<uint32_t> seen = screen.target->Compose();
        for (int n = 0; n < kShown; ++n) {
            SCOPED_TRACE(n);
            const RECT r = Cell(n);
            const int w = r.right - r.left;
            const int midY = (r.top + r.bottom) / 2;
            EXPECT_EQ(screen.Seen(seen, r.left + w / 4, midY),
                      ShownColour(LeftColour(n), c.format, c.depth));
            EXPECT_EQ(screen.Seen(seen, r.left + 3 * w / 4, midY),
                      ShownColour(RightColour(n), c.format, c.depth));
            const uint32_t edge = screen.Seen(seen, r.left + 3 * w / 4, r.bottom - 1);
            if (c.format == PIXFMT_YUY2_OVERLAY) {
                // Over the overlay the wall's frames stay on top.
                EXPECT_EQ(edge, px::QuantizeRgb(kGreen, c.depth));
            } else {
                // Without it the blit covers the whole rectangle.
                EXPECT_EQ(edge, ShownColour(RightColour(n), c.format, c.depth));
            }
        }
        const RECT sel = Cell(1);
        const uint32_t outline = screen.Seen(seen, sel.left, (sel.top + sel.bottom) / 2);
        if (c.format == PIXFMT_YUY2_OVERLAY) {
            EXPECT_EQ(outline, px::QuantizeRgb(kRed, c.depth));
        }
        // A cell without a channel shows the wall, or the overlay's black.
        const RECT empty = Cell(7);
        EXPECT_EQ(screen.Seen(seen, (empty.left + empty.right) / 2, (empty.top + empty.bottom) / 2),
                  c.format == PIXFMT_YUY2_OVERLAY ? px::MakeRgb(0, 0, 0)
                                                  : px::QuantizeRgb(kKey, c.depth));
        // Nothing outside the wall was touched.
        EXPECT_EQ(screen.Seen(seen, 5, 5), px::kOpaque);
        EXPECT_EQ(screen.Seen(seen, 900, 300), px::kOpaque);
    }
    EXPECT_EQ(screen.device->LiveSurfaces(), 0);
    EXPECT_EQ(screen.device->GuardViolations(), 0);
    EXPECT_EQ(screen.device->WritesOutsideLock(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    AllFormats, RendererFormatTest,
    ::testing::Values(FormatCase{"Rgb32", 32, false, false, 1, 1, PIXFMT_RGB32, 0x080008},
                      FormatCase{"Rgb24", 24, false, false, 1, 1, PIXFMT_RGB24, 0x080008},
                      FormatCase{"Rgb565", 16, false, false, 1, 1, PIXFMT_RGB565, 0x0801},
                      FormatCase{"Rgb555", 15, false, false, 1, 1, PIXFMT_RGB555, 0x0401},
                      FormatCase{"Yuy2", 32, true, false, 1, 1, PIXFMT_YUY2, 0x080008},
                      FormatCase{"Yuy2On565", 16, true, false, 1, 1, PIXFMT_YUY2, 0x0801},
                      FormatCase{"Overlay32", 32, true, true, 1, 1, PIXFMT_YUY2_OVERLAY, 0x080008},
                      FormatCase{"Overlay565", 16, true, true, 1, 1, PIXFMT_YUY2_OVERLAY, 0x0801},
                      FormatCase{"Overlay555", 15, true, true, 1, 1, PIXFMT_YUY2_OVERLAY, 0x0401},
                      FormatCase{"OverlayFlagOff", 32, true, true, 0, 1, PIXFMT_YUY2, 0x080008},
                      FormatCase{"Yuy2FlagOff", 32, true, true, 1, 0, PIXFMT_RGB32, 0x080008}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

// The channel's own step: a YUV 4:2:0 picture converted straight into the
// locked surface, rows pitch / bytes-per-pixel pixels apart.
TEST(RendererTest, ConvertedPicturesShowInEveryFormat) {
    struct Case {
        int depth;
        bool yuy2;
        bool overlay;
    };
    for (const Case& c : {Case{32, true, true}, Case{32, true, false}, Case{32, false, false},
                          Case{24, false, false}, Case{16, false, false}, Case{15, false, false}}) {
        DisplayCaps caps;
        caps.yuy2Blit = c.yuy2;
        caps.overlay = c.overlay;
        Screen screen(c.depth, caps);
        screen.target->FillRect(kWallClient, kKey);
        CVideoDisplay display(1);
        ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
        const uint8_t format = display.GetFormatCode();
        SCOPED_TRACE(static_cast<int>(format));
        // Left half black (Y 16), right half white (Y 235), no colour.
        std::vector<uint8_t> pic(352 * 288 * 3 / 2, 128);
        for (int y = 0; y < 288; ++y) {
            for (int x = 0; x < 352; ++x) {
                pic[y * 352 + x] = x < 176 ? 16 : 235;
            }
        }
        ASSERT_TRUE(display.LockSurface(0));
        Yv12ConverterFor(format)(
            display.GetSurfacePointer(0), display.GetPitch() / BytesPerPixelOfFormat(format),
            pic.data(), pic.data() + 352 * 288, pic.data() + 352 * 288 * 5 / 4, 352, 176, 352, 288);
        ASSERT_TRUE(display.UnlockSurface(0));
        ASSERT_TRUE(display.BlitChannel(0, kWallClient, 352, 288));
        display.Present();
        const std::vector<uint32_t> seen = screen.target->Compose();
        const uint32_t dark = screen.Seen(seen, kWallClient.left + 100, kWallClient.top + 300);
        const uint32_t light = screen.Seen(seen, kWallClient.left + 600, kWallClient.top + 300);
        EXPECT_LE(px::RedOf(dark), 8);
        EXPECT_LE(px::BlueOf(dark), 8);
        EXPECT_GE(px::GreenOf(light), 240);
        EXPECT_GE(px::RedOf(light), 240);
        EXPECT_EQ(screen.device->GuardViolations(), 0);
    }
}

TEST(RendererTest, WithoutDisplayHardwareNothingExistsAndNothingIsDone) {
    SetDefaultDisplayDevice(nullptr);
    auto target = std::make_shared<DisplayTarget>(1024, 768);
    DisplayWindow wall(target, kWallClient, 1);
    CVideoDisplay display(16);
    EXPECT_FALSE(display.Init(&wall, 352, 288));
    EXPECT_EQ(display.GetFormatCode(), 0);
    EXPECT_FALSE(display.LockSurface(0));
    EXPECT_EQ(display.GetSurfacePointer(0), nullptr);
    EXPECT_FALSE(display.BlitChannel(0, Cell(0), 352, 288));
    EXPECT_FALSE(display.BlitPictureInPicture(0, Cell(0), 352, 288, Cell(1), 352, 288));
    EXPECT_FALSE(display.Present());
    display.OnWindowMoved();
    display.ClearOverlay();
}

TEST(RendererTest, APaletteScreenHasNoFormat) {
    Screen screen(8);
    CVideoDisplay display(4);
    EXPECT_FALSE(display.Init(screen.wall.get(), 352, 288));
    EXPECT_EQ(display.GetFormatCode(), 0);
    EXPECT_EQ(screen.device->LiveSurfaces(), 0);
}

TEST(RendererTest, FewerThanTwoChannelsStillMakeTwoSurfaces) {
    DisplayCaps caps;
    caps.overlay = false;
    for (uint8_t count : {0, 1}) {
        Screen screen(32, caps);
        CVideoDisplay display(count);
        ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
        EXPECT_EQ(screen.device->LiveSurfaces(), 1 + 2);  // primary and two channels
        EXPECT_TRUE(display.LockSurface(1));
        EXPECT_TRUE(display.UnlockSurface(1));
        EXPECT_FALSE(display.LockSurface(2));
    }
}

TEST(RendererTest, LockMisuseFails) {
    Screen screen;
    CVideoDisplay display(4);
    ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
    EXPECT_FALSE(display.UnlockSurface(0));  // not locked
    ASSERT_TRUE(display.LockSurface(0));
    EXPECT_FALSE(display.LockSurface(0));                     // locked already
    EXPECT_FALSE(display.BlitChannel(0, Cell(0), 352, 288));  // busy while locked
    EXPECT_TRUE(display.UnlockSurface(0));
    for (int n : {-1, 4, 16}) {
        EXPECT_FALSE(display.LockSurface(n)) << n;
        EXPECT_FALSE(display.UnlockSurface(n)) << n;
        EXPECT_EQ(display.GetSurfacePointer(n), nullptr) << n;
    }
    // A transient failure skips one lock only.
    screen.device->FailNextLocks(1);
    EXPECT_FALSE(display.LockSurface(1));
    EXPECT_TRUE(display.LockSurface(1));
    EXPECT_TRUE(display.UnlockSurface(1));
}

TEST(RendererTest, ALostSurfaceIsRestoredByTheLockAndWrittenAtItsNewAddress) {
    DisplayCaps caps;
    caps.overlay = false;
    Screen screen(32, caps);
    CVideoDisplay display(2);
    ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
    ASSERT_TRUE(display.LockSurface(0));
    uint8_t* before = display.GetSurfacePointer(0);
    ASSERT_TRUE(display.UnlockSurface(0));

    screen.device->LoseAllSurfaces();
    EXPECT_FALSE(display.BlitChannel(1, Cell(1), 352, 288));  // lost primary: nothing drawn
    screen.device->SetRestoreFails(true);
    EXPECT_FALSE(display.LockSurface(0));
    screen.device->SetRestoreFails(false);
    ASSERT_TRUE(display.LockSurface(0));
    EXPECT_NE(display.GetSurfacePointer(0), before);
    WritePicture(display.GetSurfacePointer(0), display.GetPitch(), display.GetFormatCode(), 352,
                 288, LeftColour(0), RightColour(0));
    ASSERT_TRUE(display.UnlockSurface(0));
    EXPECT_TRUE(display.BlitChannel(0, Cell(0), 352, 288));
    EXPECT_EQ(screen.device->WritesOutsideLock(), 0);
}

TEST(RendererTest, ALostOverlayComesBackAtTheNextPresent) {
    Screen screen(32);
    CVideoDisplay display(2);
    ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
    ASSERT_EQ(display.GetFormatCode(), PIXFMT_YUY2_OVERLAY);
    screen.target->FillRect(kWallClient, kKey);
    auto pass = [&] {
        if (display.LockSurface(0)) {
            WritePicture(display.GetSurfacePointer(0), display.GetPitch(), PIXFMT_YUY2, 352, 288,
                         LeftColour(0), LeftColour(0));
            display.UnlockSurface(0);
        }
        const bool drawn = display.BlitChannel(0, kWallClient, 352, 288);
        return display.Present() && drawn;
    };
    const uint32_t c0 = ShownColour(LeftColour(0), PIXFMT_YUY2, 32);
    ASSERT_TRUE(pass());
    EXPECT_EQ(screen.target->Compose()[300 * 1024 + 300], c0);

    screen.device->LoseAllSurfaces();
    EXPECT_FALSE(pass());  // the overlay was lost: restored and blanked
    EXPECT_TRUE(screen.target->OverlayShown());
    EXPECT_TRUE(pass());
    EXPECT_EQ(screen.target->Compose()[300 * 1024 + 300], c0);
    EXPECT_EQ(screen.device->WritesOutsideLock(), 0);
}

TEST(RendererTest, Yuy2SurfacesMadeBeforeAFailureAreGivenBackForTheRgbOnes) {
    // Room for exactly 16 channel surfaces; the card makes only 9 in YUY2.
    DisplayCaps caps;
    caps.overlay = false;
    caps.videoMemoryBytes = 0;
    caps.systemMemoryBytes = size_t{16} * (352 * 2 + 32) * 288;
    caps.maxYuy2Surfaces = 9;
    Screen screen(16, caps);
    CVideoDisplay display(16);
    ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
    EXPECT_EQ(display.GetFormatCode(), PIXFMT_RGB565);
    EXPECT_EQ(screen.device->Yuy2SurfacesLive(), 0);
    EXPECT_EQ(screen.device->LiveSurfaces(), 1 + 16);
}

TEST(RendererTest, NoSurfaceInAnyFormatFailsInit) {
    DisplayCaps caps;
    caps.videoMemoryBytes = 0;
    caps.systemMemoryBytes = 100000;
    Screen screen(32, caps);
    CVideoDisplay display(4);
    EXPECT_FALSE(display.Init(screen.wall.get(), 352, 288));
    EXPECT_EQ(display.GetFormatCode(), 0);
    EXPECT_EQ(screen.device->LiveSurfaces(), 0);
    EXPECT_EQ(screen.device->SystemMemoryUsed(), 0u);
}

// In format 6 the rectangle's place in the window becomes a place in the
// 704 x 576 back buffer: left and top rounded down to a multiple of 4, top
// 0 moved to 2 and top 288 to 290.
TEST(RendererTest, OverlayArithmeticPlacesAndRefusesRectangles) {
    Screen screen(32);
    CVideoDisplay display(2);
    ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
    ASSERT_EQ(display.GetFormatCode(), PIXFMT_YUY2_OVERLAY);
    screen.target->FillRect(kWallClient, kKey);
    for (int n = 0; n < 2; ++n) {
        ASSERT_TRUE(display.LockSurface(n));
        WritePicture(display.GetSurfacePointer(n), display.GetPitch(), PIXFMT_YUY2, 352, 288,
                     LeftColour(n), LeftColour(n));
        ASSERT_TRUE(display.UnlockSurface(n));
    }
    const int l = kWallClient.left;
    const int t = kWallClient.top;
    // Bottom right quarter: back buffer (352, 290)-(704, 576).
    EXPECT_TRUE(display.BlitChannel(0, RECT{l + 395, t + 323, l + 790, t + 646}, 352, 288));
    // Top left corner: starts at back buffer line 2.
    EXPECT_TRUE(display.BlitChannel(1, RECT{l, t, l + 100, t + 100}, 352, 288));
    ASSERT_TRUE(display.Present());
    const std::vector<uint32_t> seen = screen.target->Compose();
    const uint32_t black = px::MakeRgb(0, 0, 0);
    const uint32_t c0 = ShownColour(LeftColour(0), PIXFMT_YUY2, 32);
    const uint32_t c1 = ShownColour(LeftColour(1), PIXFMT_YUY2, 32);
    // Screen rows map to back buffer rows as y * 576 / 646.
    EXPECT_EQ(screen.Seen(seen, l + 600, t + 324), black);  // line 288
    EXPECT_EQ(screen.Seen(seen, l + 600, t + 325), black);  // line 289
    EXPECT_EQ(screen.Seen(seen, l + 600, t + 326), c0);     // line 290
    EXPECT_EQ(screen.Seen(seen, l + 394, t + 500), black);  // column 351
    EXPECT_EQ(screen.Seen(seen, l + 396, t + 500), c0);     // column 353
    EXPECT_EQ(screen.Seen(seen, l + 789, t + 645), c0);
    EXPECT_EQ(screen.Seen(seen, l + 50, t + 1), black);  // line 0
    EXPECT_EQ(screen.Seen(seen, l + 50, t + 3), c1);     // line 2

    const RECT refused[] = {
        {l - 1, t, l + 100, t + 100},        // starts left of the window
        {l, t - 1, l + 100, t + 100},        // starts above it
        {l, t, l + 791, t + 100},            // wider than the window
        {l, t, l + 100, t + 647},            // taller
        {l + 10, t + 10, l + 11, t + 100},   // 1 pixel wide
        {l + 500, t + 10, l + 900, t + 100}  // would end past the back buffer
    };
    for (const RECT& r : refused) {
        EXPECT_FALSE(display.BlitChannel(0, r, 352, 288)) << r.left << "," << r.top;
    }
    // A window that is gone refuses everything.
    screen.wall.reset();
    display.OnWindowMoved();
    EXPECT_FALSE(display.BlitChannel(0, Cell(0), 352, 288));
}

TEST(RendererTest, TheOverlayFollowsTheWindow) {
    Screen screen(32);
    CVideoDisplay display(2);
    ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
    screen.target->FillRect(RECT{0, 0, 1024, 768}, kKey);
    ASSERT_TRUE(display.LockSurface(0));
    WritePicture(display.GetSurfacePointer(0), display.GetPitch(), PIXFMT_YUY2, 352, 288,
                 LeftColour(0), LeftColour(0));
    ASSERT_TRUE(display.UnlockSurface(0));
    const RECT whole = kWallClient;
    ASSERT_TRUE(display.BlitChannel(0, whole, 352, 288));
    ASSERT_TRUE(display.Present());
    const uint32_t c0 = ShownColour(LeftColour(0), PIXFMT_YUY2, 32);
    EXPECT_EQ(screen.target->Compose()[400 * 1024 + 400], c0);
    EXPECT_EQ(screen.target->Compose()[700 * 1024 + 900], px::QuantizeRgb(kKey, 32));

    screen.wall->MoveTo(RECT{200, 100, 990, 746});
    display.OnWindowMoved();
    EXPECT_EQ(screen.target->Compose()[700 * 1024 + 900], c0);
    EXPECT_EQ(screen.target->Compose()[50 * 1024 + 50], px::QuantizeRgb(kKey, 32));
}

struct PipCase {
    bool overlay;
};

class PictureInPictureTest : public ::testing::TestWithParam<PipCase> {};

TEST_P(PictureInPictureTest, TheSmallPictureGoesIntoTheMainSurfaceAndNeverPastIt) {
    DisplayCaps caps;
    caps.overlay = GetParam().overlay;
    Screen screen(32, caps);
    CVideoDisplay display(2);
    ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
    const uint8_t format = display.GetFormatCode();
    screen.target->FillRect(kWallClient, kKey);
    for (int n = 0; n < 2; ++n) {
        ASSERT_TRUE(display.LockSurface(n));
        WritePicture(display.GetSurfacePointer(n), display.GetPitch(), format, 352, 288,
                     LeftColour(n), LeftColour(n));
        ASSERT_TRUE(display.UnlockSurface(n));
    }
    // Sizes as a peer might announce them, far beyond the surfaces.
    const RECT mainRect = kWallClient;
    const RECT smallRect{kWallClient.left + 474, kWallClient.top + 387, kWallClient.right - 6,
                         kWallClient.bottom - 6};
    EXPECT_TRUE(display.BlitPictureInPicture(0, mainRect, 704, 576, smallRect, 704, 576));
    EXPECT_TRUE(display.BlitChannel(1, smallRect, 704, 576));
    display.Present();
    EXPECT_EQ(screen.device->GuardViolations(), 0);

    // The main surface holds the small picture at (211, 172)-(350, 286).
    ASSERT_TRUE(display.LockSurface(0));
    const uint8_t* s = display.GetSurfacePointer(0);
    const int pitch = display.GetPitch();
    const int bpp = BytesPerPixelOfFormat(format);
    auto firstByte = [&](int x, int y) { return s[y * pitch + x * bpp]; };
    const uint8_t mainByte = firstByte(10, 10);
    const uint8_t smallByte = firstByte(300, 250);
    EXPECT_NE(mainByte, smallByte);
    EXPECT_EQ(firstByte(211, 172), smallByte);
    EXPECT_EQ(firstByte(349, 285), smallByte);
    EXPECT_EQ(firstByte(210, 172), mainByte);
    EXPECT_EQ(firstByte(211, 171), mainByte);
    EXPECT_EQ(firstByte(350, 285), mainByte);
    EXPECT_EQ(firstByte(349, 286), mainByte);
    ASSERT_TRUE(display.UnlockSurface(0));

    const std::vector<uint32_t> seen = screen.target->Compose();
    const uint32_t c0 = ShownColour(LeftColour(0), format, 32);
    const uint32_t c1 = ShownColour(LeftColour(1), format, 32);
    EXPECT_EQ(screen.Seen(seen, kWallClient.left + 100, kWallClient.top + 100), c0);
    EXPECT_EQ(screen.Seen(seen, smallRect.left + 100, smallRect.top + 100), c1);
    EXPECT_EQ(screen.device->WritesOutsideLock(), 0);
}

INSTANTIATE_TEST_SUITE_P(Paths, PictureInPictureTest,
                         ::testing::Values(PipCase{false}, PipCase{true}),
                         [](const ::testing::TestParamInfo<PipCase>& info) {
                             return info.param.overlay ? "Overlay" : "Screen";
                         });

// A stopped channel is blanked: YUY2 black over the picture's width only,
// RGB rows of zero over the whole pitch.
TEST(RendererTest, ClearSurfaceBlanksInTheSurfaceFormat) {
    struct Case {
        bool yuy2;
        uint8_t format;
    };
    for (const Case& c : {Case{true, PIXFMT_YUY2}, Case{false, PIXFMT_RGB32}}) {
        DisplayCaps caps;
        caps.yuy2Blit = c.yuy2;
        caps.overlay = false;
        Screen screen(32, caps);
        CVideoDisplay display(2);
        ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
        ASSERT_EQ(display.GetFormatCode(), c.format);
        ASSERT_TRUE(display.LockSurface(0));
        uint8_t* s = display.GetSurfacePointer(0);
        const int pitch = display.GetPitch();
        std::memset(s, 0x77, static_cast<size_t>(pitch) * 288);
        display.ClearSurface(s, pitch, 100, 2);
        EXPECT_EQ(s[0], 0);
        EXPECT_EQ(s[pitch + 1], c.yuy2 ? 0x80 : 0);
        EXPECT_EQ(s[pitch + 199], c.yuy2 ? 0x80 : 0);
        EXPECT_EQ(s[pitch + 200], c.yuy2 ? 0x77 : 0);  // beyond the width
        EXPECT_EQ(s[pitch - 1], c.yuy2 ? 0x77 : 0);    // the row's end
        EXPECT_EQ(s[2 * pitch], 0x77);                 // the third row
        ASSERT_TRUE(display.UnlockSurface(0));
    }
}

TEST(RendererTest, AChannelWithoutAPictureDrawsNothing) {
    Screen screen(32);
    CVideoDisplay display(2);
    ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
    EXPECT_FALSE(display.BlitChannel(0, Cell(0), 0, 0));
    EXPECT_FALSE(display.BlitPictureInPicture(0, kWallClient, 0, 0, Cell(8), 0, 0));
}

TEST(RendererTest, PresentWithoutAnOverlayDoesNothing) {
    DisplayCaps caps;
    caps.overlay = false;
    Screen screen(32, caps);
    CVideoDisplay display(2);
    ASSERT_TRUE(display.Init(screen.wall.get(), 352, 288));
    EXPECT_FALSE(display.Present());
    display.ClearOverlay();
    EXPECT_FALSE(screen.target->OverlayShown());
}

}  // namespace
