#include "mainwnd/preview_display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display_test_support.h"
#include "platform/msgbox/message_box.h"

using namespace display_test;

namespace {

// The motion dialog's preview control: a 352 x 288 client area at
// (600, 100) with a one-pixel border.
constexpr RECT kPreviewClient{600, 100, 952, 388};

struct FormatCase {
    int depth;
    bool yuy2Blit;
    uint16_t code;
};

class PreviewFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PreviewFormatTest, LockReportsTheSurfaceFormat) {
    const FormatCase& c = GetParam();
    DisplayCaps caps;
    caps.yuy2Blit = c.yuy2Blit;
    Screen screen(c.depth, caps);
    DisplayWindow control(screen.target, kPreviewClient, 1);
    CPreviewDisplay preview;
    ASSERT_TRUE(preview.Init(&control, 352, 288));
    int pitch = 0;
    uint16_t code = 0;
    uint8_t* address = nullptr;
    ASSERT_TRUE(preview.Lock(&pitch, &code, &address));
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(pitch % (code & 0xFF), 0);
    EXPECT_GE(pitch, 352 * (code & 0xFF));
    EXPECT_NE(address, nullptr);
    EXPECT_TRUE(preview.Unlock());
    EXPECT_FALSE(preview.Unlock());
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PreviewFormatTest,
    ::testing::Values(FormatCase{15, false, 0x0502}, FormatCase{16, false, 0x0402},
                      FormatCase{24, false, 0x0303}, FormatCase{32, false, 0x0204},
                      FormatCase{15, true, 0x0102}, FormatCase{32, true, 0x0102}),
    [](const ::testing::TestParamInfo<FormatCase>& info) {
        return "Depth" + std::to_string(info.param.depth) +
               (info.param.yuy2Blit ? "Yuy2Card" : "RgbOnly");
    });

TEST(PreviewTest, APictureIsStretchedOntoTheWholeWindow) {
    Screen screen(32);
    DisplayWindow control(screen.target, kPreviewClient, 1);
    CPreviewDisplay preview;
    ASSERT_TRUE(preview.Init(&control, 352, 288));
    int pitch = 0;
    uint16_t code = 0;
    uint8_t* address = nullptr;
    ASSERT_TRUE(preview.Lock(&pitch, &code, &address));
    const Yuv a{80, 90, 200};
    const Yuv b{170, 60, 60};
    WritePicture(address, pitch, static_cast<uint8_t>(code >> 8), 200, 100, a, b);
    ASSERT_TRUE(preview.Unlock());
    ASSERT_TRUE(preview.Blit(200, 100));

    // The window rectangle includes the border; the clipper keeps the
    // picture inside the client area.
    const uint32_t ca = ShownColour(a, PIXFMT_YUY2, 32);
    const uint32_t cb = ShownColour(b, PIXFMT_YUY2, 32);
    EXPECT_EQ(screen.target->Pixel(600, 100), ca);
    EXPECT_EQ(screen.target->Pixel(700, 300), ca);
    EXPECT_EQ(screen.target->Pixel(800, 300), cb);
    EXPECT_EQ(screen.target->Pixel(951, 387), cb);
    EXPECT_EQ(screen.target->Pixel(599, 100), px::kOpaque);
    EXPECT_EQ(screen.target->Pixel(952, 387), px::kOpaque);
    EXPECT_EQ(screen.device->WritesOutsideLock(), 0);
}

TEST(PreviewTest, SurfacePointerIsTheLockedAddressUntilARestore) {
    Screen screen(32);
    DisplayWindow control(screen.target, kPreviewClient, 1);
    CPreviewDisplay preview;
    ASSERT_TRUE(preview.Init(&control, 352, 288));
    uint8_t* first = preview.GetSurfacePointer();
    ASSERT_NE(first, nullptr);
    int pitch = 0;
    uint16_t code = 0;
    uint8_t* address = nullptr;
    ASSERT_TRUE(preview.Lock(&pitch, &code, &address));
    EXPECT_EQ(address, first);
    EXPECT_EQ(preview.GetSurfacePointer(), nullptr);  // locked: the lock without waiting fails
    ASSERT_TRUE(preview.Unlock());

    screen.device->LoseAllSurfaces();
    ASSERT_TRUE(preview.Lock(&pitch, &code, &address));
    EXPECT_NE(address, first);
    ASSERT_TRUE(preview.Unlock());

    screen.device->LoseAllSurfaces();
    screen.device->SetRestoreFails(true);
    pitch = 7;
    code = 7;
    EXPECT_FALSE(preview.Lock(&pitch, &code, &address));
    EXPECT_EQ(pitch, 0);
    EXPECT_EQ(code, 0);
}

TEST(PreviewTest, AYuy2SurfaceThatCannotBeMadeGivesWayToRgbSilently) {
    DisplayCaps caps;
    caps.maxYuy2Surfaces = 0;
    Screen screen(16, caps);
    DisplayWindow control(screen.target, kPreviewClient, 1);
    int boxes = 0;
    SetMessageBoxHandler([&](const MessageBoxRequest&) { return ++boxes, IDOK; });
    CPreviewDisplay preview;
    ASSERT_TRUE(preview.Init(&control, 352, 288));
    int pitch = 0;
    uint16_t code = 0;
    uint8_t* address = nullptr;
    ASSERT_TRUE(preview.Lock(&pitch, &code, &address));
    EXPECT_EQ(code, 0x0402);
    preview.Unlock();
    EXPECT_EQ(boxes, 0);
    SetMessageBoxHandler(nullptr);
}

TEST(PreviewTest, NoMemoryForAnySurfaceIsReported) {
    DisplayCaps caps;
    caps.videoMemoryBytes = 0;
    caps.systemMemoryBytes = 1000;
    Screen screen(32, caps);
    DisplayWindow control(screen.target, kPreviewClient, 1);
    std::vector<MessageBoxRequest> boxes;
    SetMessageBoxHandler([&](const MessageBoxRequest& r) {
        boxes.push_back(r);
        return IDOK;
    });
    {
        CPreviewDisplay preview;
        EXPECT_FALSE(preview.Init(&control, 352, 288));
        EXPECT_FALSE(preview.Lock(nullptr, nullptr, nullptr));
        EXPECT_FALSE(preview.Blit(352, 288));
    }  // deleting it releases nothing twice
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "display memory error!");
    EXPECT_EQ(boxes[0].caption, "ERROR");
    EXPECT_EQ(screen.device->LiveSurfaces(), 0);
    SetMessageBoxHandler(nullptr);
}

TEST(PreviewTest, WithoutHardwareInitFailsSilently) {
    SetDefaultDisplayDevice(nullptr);
    auto target = std::make_shared<DisplayTarget>(1024, 768);
    DisplayWindow control(target, kPreviewClient, 1);
    int boxes = 0;
    SetMessageBoxHandler([&](const MessageBoxRequest&) { return ++boxes, IDOK; });
    CPreviewDisplay preview;
    EXPECT_FALSE(preview.Init(&control, 352, 288));
    EXPECT_EQ(preview.GetSurfacePointer(), nullptr);
    EXPECT_EQ(boxes, 0);
    SetMessageBoxHandler(nullptr);
}

TEST(PreviewTest, AWindowThatIsGoneIsNotDrawnOn) {
    Screen screen(32);
    auto control = std::make_unique<DisplayWindow>(screen.target, kPreviewClient, 1);
    CPreviewDisplay preview;
    ASSERT_TRUE(preview.Init(control.get(), 352, 288));
    control->MoveTo(RECT{100, 100, 452, 388});
    preview.UpdateWindowRect();
    EXPECT_TRUE(preview.Blit(352, 288));
    EXPECT_NE(screen.target->Pixel(200, 200), px::kOpaque);  // drawn at the new place
    EXPECT_EQ(screen.target->Pixel(700, 300), px::kOpaque);  // not at the old one
    control.reset();
    preview.UpdateWindowRect();
    EXPECT_FALSE(preview.Blit(352, 288));
}

}  // namespace
