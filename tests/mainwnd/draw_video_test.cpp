// The display pass on the test thread: what each message does to the
// channels' surfaces and to the screen.

#include "mainwnd/draw_video.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "channel/av_channel.h"
#include "channel/channel_fakes.h"
#include "display_test_support.h"
#include "mainwnd/display_flags.h"
#include "media/codec_layer.h"
#include "media/osd_text.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"
#include "settings/settings.h"
#include "support/chdir_temp_dir.h"

using namespace display_test;

namespace {

constexpr uint32_t kWallColour = 0xFF204060;

class DrawVideoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CodecInit(), 1);
        InitOsdFont();
        g_Settings = Settings{};
        SetDisplayFlagsReader([] { return DisplayFlags{0, 0}; });  // RGB32 surfaces
    }
    void TearDown() override {
        draw_.reset();
        for (int n = 0; n < MAX_AV_CHANNELS; ++n) {
            delete g_pAVChannel[n].exchange(nullptr);
        }
        g_nChannelCount = 0;
        SetDisplayFlagsReader(nullptr);
        CodecCleanup();
    }

    void MakeChannels(int count) {
        g_nChannelCount = static_cast<uint8_t>(count);
        for (int n = 0; n < count; ++n) {
            auto* c = new CAVChannel(n);
            CodecParams p;
            p.byVideoType = VCODEC_H264;
            p.byAudioType = ACODEC_MP3;
            p.nVideoKbps = 256;
            p.nAudioKbps = 32;
            p.nWidth = 352;
            p.nHeight = 288;
            c->SetEncodeParams(p);
            c->StartLocal(0, -1);
            g_pAVChannel[n] = c;
        }
        draw_ = std::make_unique<CDrawVideo>(screen_.wall.get(), [this] { ++invalidations_; });
        ASSERT_EQ(draw_->Format(), PIXFMT_RGB32);
        screen_.target->FillRect(kWallClient, kWallColour);
    }
    CAVChannel& Channel(int n) { return *g_pAVChannel[n].load(); }

    // A flat picture of the given luma into channel n.
    void Feed(int n, uint8_t luma, int width = 352, int height = 288) {
        const auto picture = FlatPicture(width, height, luma);
        ASSERT_EQ(Channel(n).OnVideoFrame(picture.data(), static_cast<int>(picture.size()), width,
                                          height, width),
                  1);
    }
    void Layout(std::vector<RECT> rects, WPARAM pip = 0, LPARAM main = 0) {
        for (size_t n = 0; n < rects.size(); ++n) {
            g_Settings.rcChannel[n] = rects[n];
        }
        ASSERT_TRUE(draw_->Handle(ThreadMessage{WM_VIDEO_LAYOUT, pip, main}));
    }
    uint32_t Seen(int x, int y) { return screen_.target->Pixel(x, y) | 0xFF000000u; }
    static uint32_t Grey(uint8_t luma) {
        return ShownColour(Yuv{luma, 128, 128}, PIXFMT_RGB32, 32) | 0xFF000000u;
    }

    ChdirTempDir dir_;
    MessageBoxRecorder boxes_;
    Screen screen_{32};
    std::unique_ptr<CDrawVideo> draw_;
    int invalidations_ = 0;
};

const RECT kLeft{19, 16, 19 + 395, 16 + 323};
const RECT kRight{19 + 395, 16, 19 + 790, 16 + 323};

TEST_F(DrawVideoTest, ShownChannelsAreDrawnAndAChannelWithoutPicturesLeavesTheWall) {
    MakeChannels(2);
    Layout({kLeft, kRight});
    EXPECT_EQ(invalidations_, 1);
    Feed(0, 180);
    ASSERT_TRUE(draw_->Handle(ThreadMessage{WM_DRAW_VIDEO, 0, 0}));
    EXPECT_EQ(draw_->PictureWidth(0), 352);
    EXPECT_EQ(draw_->PictureHeight(1), 0);
    EXPECT_EQ(Seen(200, 170), Grey(180));
    EXPECT_EQ(Seen(600, 170), kWallColour);
    EXPECT_EQ(screen_.device->GuardViolations(), 0);
}

TEST_F(DrawVideoTest, ALockThatFailsOnceLeavesThePictureForTheNextPass) {
    MakeChannels(2);
    Layout({kLeft, kRight});
    Feed(0, 180);
    screen_.device->FailNextLocks(1);
    draw_->DisplayPass();
    EXPECT_EQ(Channel(0).GetSlotState(0), SLOT_CAPTURED);
    EXPECT_EQ(draw_->PictureWidth(0), 0);
    draw_->DisplayPass();
    EXPECT_EQ(draw_->PictureWidth(0), 352);
    EXPECT_EQ(Seen(200, 170), Grey(180));
}

TEST_F(DrawVideoTest, AStoppedChannelShowsBlackUntilItsNextPicture) {
    MakeChannels(2);
    Layout({kLeft, kRight});
    Feed(1, 200);
    draw_->DisplayPass();
    EXPECT_EQ(Seen(600, 170), Grey(200));
    // Blanked while hidden, then shown again: black, with its old size.
    Layout({kLeft, RECT{0, 0, 0, 0}});
    draw_->Handle(ThreadMessage{WM_CHANNEL_STOPPED, 1, 0});
    draw_->Handle(ThreadMessage{WM_CHANNEL_STOPPED, 7, 0});  // no such channel
    Layout({kLeft, kRight});
    draw_->DisplayPass();
    EXPECT_EQ(Seen(600, 170), 0xFF000000u);
    EXPECT_EQ(draw_->PictureWidth(1), 352);
}

TEST_F(DrawVideoTest, PictureInPictureDrawsTheSmallChannelIntoTheMainOne) {
    MakeChannels(2);
    const RECT whole{19, 16, 19 + 790, 16 + 646};
    const RECT small{19 + 790 - 264, 16 + 646 - 216, 19 + 790, 16 + 646};
    Layout({whole, small}, 1, 0);
    Feed(0, 60);
    Feed(1, 220);
    draw_->DisplayPass();
    EXPECT_EQ(Seen(100, 100), Grey(60));
    EXPECT_EQ(Seen(small.left + 100, small.top + 100), Grey(220));
    // The last channel as main: drawn alone over the whole wall.
    Layout({RECT{0, 0, 0, 0}, whole}, 1, 1);
    Feed(1, 140);
    draw_->DisplayPass();
    EXPECT_EQ(Seen(100, 100), Grey(140));
    EXPECT_EQ(Seen(small.left + 100, small.top + 100), Grey(140));
}

TEST_F(DrawVideoTest, WithoutChannelsAPassOnlyPresents) {
    MakeChannels(0);
    draw_->DisplayPass();
    EXPECT_EQ(Seen(200, 170), kWallColour);
    EXPECT_FALSE(draw_->Handle(ThreadMessage{WM_THREAD_QUIT, 0, 0}));
}

}  // namespace
