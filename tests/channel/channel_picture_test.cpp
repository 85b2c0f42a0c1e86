// The local picture path: frame slots, stamping, conversion into the
// display surface and the hand-over to the encoder.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "channel_test_base.h"
#include "media/pixel_formats.h"

namespace {

class ChannelPictureTest : public ChannelTestBase {
protected:
    int Offer(CAVChannel& channel, const std::vector<uint8_t>& picture, int width, int height) {
        return channel.OnVideoFrame(picture.data(), static_cast<int>(picture.size()), width, height,
                                    width);
    }

    // Where luma 250 (text ink) lies in the last previewed picture.
    struct InkBox {
        int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
        bool empty() const { return right < 0; }
    };
    InkBox Ink(const FakePreviewSink& sink, std::vector<uint8_t> luma, int x0, int y0, int x1,
               int y1) {
        InkBox box;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (luma[static_cast<size_t>(y) * sink.lastYStride + x] == 250) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x);
                    box.bottom = std::max(box.bottom, y);
                }
            }
        }
        return box;
    }
};

TEST_F(ChannelPictureTest, FifthPictureBeforeAnyDrawIsDroppedAndCountedInTheFirstSlot) {
    CAVChannel& channel = MakeLocal();
    const auto picture = FlatPicture(352, 288);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Offer(channel, picture, 352, 288), 1);
    }
    EXPECT_EQ(Offer(channel, picture, 352, 288), 0);
    EXPECT_EQ(Offer(channel, picture, 352, 288), 0);
    EXPECT_EQ(channel.GetSlotDropped(0), 2);
    EXPECT_EQ(channel.GetRejectedFrames(), 0);
}

TEST_F(ChannelPictureTest, PicturesThatDoNotFitASlotAreRefusedApartFromBusyDrops) {
    CAVChannel& channel = MakeLocal();
    struct Case {
        const char* what;
        int bytes, width, height;
    };
    const Case cases[] = {
        {"longer than the slot", FRAME_SLOT_CAPACITY + 1, 352, 288},
        {"shorter than its size", 352 * 288, 352, 288},
        {"odd width", 351 * 288 * 3 / 2 + 1, 351, 288},
        {"odd height", 352 * 287 * 3 / 2, 352, 287},
        {"zero width", 1000, 0, 288},
        {"negative height", 1000, 352, -2},
        {"below the text line", 352 * 22 * 3 / 2, 352, 22},
        {"too large a size", FRAME_SLOT_CAPACITY, 640, 480},
    };
    std::vector<uint8_t> data(FRAME_SLOT_CAPACITY + 16, 100);
    int refused = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(channel.OnVideoFrame(data.data(), c.bytes, c.width, c.height, c.width), 0)
            << c.what;
        EXPECT_EQ(channel.GetRejectedFrames(), ++refused) << c.what;
    }
    EXPECT_EQ(channel.OnVideoFrame(nullptr, 1000, 352, 288, 352), 0);
    EXPECT_EQ(channel.GetSlotDropped(0), 0);
    EXPECT_EQ(channel.GetSlotState(0), SLOT_FREE);
    // A picture that fits exactly still goes in.
    EXPECT_EQ(Offer(channel, FlatPicture(704, 144), 704, 144), 1);
}

TEST_F(ChannelPictureTest, TitleAndDateTimeAreStampedWhereTheyBelong) {
    FakePreviewSink sink;
    CAVChannel& channel = MakeLocal();
    channel.SetPreviewSink(&sink);
    std::strcpy(g_Settings.Record[0].chname, "Gate");
    g_Settings.Record[0].osddate = 1;
    g_Settings.Record[0].osdtime = 1;
    ASSERT_TRUE(Pump(channel, FlatPicture(352, 288)));
    ASSERT_EQ(sink.frames, 1);
    EXPECT_EQ(sink.lastWidth, 352);
    EXPECT_EQ(sink.lastYStride, 352);
    EXPECT_EQ(sink.lastUvStride, 176);
    const auto luma = sink.LastLuma();
    const InkBox title = Ink(sink, luma, 0, 0, 352, 40);
    ASSERT_FALSE(title.empty());
    EXPECT_GE(title.left, 6);
    EXPECT_GE(title.top, 6);
    EXPECT_LT(title.right, 100);
    const InkBox stamp = Ink(sink, luma, 0, 200, 352, 288);
    ASSERT_FALSE(stamp.empty());
    EXPECT_GE(stamp.left, 170);
    EXPECT_GE(stamp.top, 264);
    EXPECT_LE(stamp.bottom, 264 + 16);
    EXPECT_LT(stamp.right, 352);
}

TEST_F(ChannelPictureTest, DateAloneAndTimeAloneStartFurtherRight) {
    FakePreviewSink sink;
    CAVChannel& channel = MakeLocal();
    channel.SetPreviewSink(&sink);
    struct Case {
        int date, time, left;
    };
    for (const Case c : {Case{1, 0, 242}, Case{0, 1, 278}}) {
        g_Settings.Record[0].osddate = static_cast<uint8_t>(c.date);
        g_Settings.Record[0].osdtime = static_cast<uint8_t>(c.time);
        ASSERT_TRUE(Pump(channel, FlatPicture(352, 288)));
        const InkBox stamp = Ink(sink, sink.LastLuma(), 0, 200, 352, 288);
        ASSERT_FALSE(stamp.empty());
        EXPECT_GE(stamp.left, c.left);
        EXPECT_LT(stamp.left, c.left + 18);
    }
}

TEST_F(ChannelPictureTest, NoFlagsAndOverlongTitlesDrawNothing) {
    FakePreviewSink sink;
    CAVChannel& channel = MakeLocal();
    channel.SetPreviewSink(&sink);
    std::strcpy(g_Settings.Record[0].chname, "ABCDEFGHIJKLMNOPQ");  // 17 characters
    ASSERT_TRUE(Pump(channel, FlatPicture(352, 288)));
    EXPECT_TRUE(Ink(sink, sink.LastLuma(), 0, 0, 352, 288).empty());

    std::strcpy(g_Settings.Record[0].chname, "ABCDEFGHIJKLMNOP");  // 16 characters
    ASSERT_TRUE(Pump(channel, FlatPicture(352, 288)));
    EXPECT_FALSE(Ink(sink, sink.LastLuma(), 0, 0, 352, 40).empty());
}

TEST_F(ChannelPictureTest, SmallPictureStampsItsDateAtTheLeftEdge) {
    FakePreviewSink sink;
    CAVChannel& channel = MakeLocal(0, H264Params(176, 144));
    channel.SetPreviewSink(&sink);
    g_Settings.Record[0].osddate = 1;
    g_Settings.Record[0].osdtime = 1;
    ASSERT_TRUE(Pump(channel, FlatPicture(176, 144), 176, 144));
    const InkBox stamp = Ink(sink, sink.LastLuma(), 0, 100, 176, 144);
    ASSERT_FALSE(stamp.empty());
    EXPECT_GE(stamp.top, 120);
    EXPECT_LE(stamp.left, 18);
}

// The brightness of a surface pixel, 0..255, in any layout.
int Brightness(uint8_t format, const uint8_t* pixel) {
    switch (format) {
        case PIXFMT_YUY2:
        case PIXFMT_YUY2_OVERLAY:
            return pixel[0];
        case PIXFMT_RGB32:
        case PIXFMT_RGB24:
            return pixel[1];
        case PIXFMT_RGB565:
            return ((pixel[0] | pixel[1] << 8) >> 5 & 0x3F) << 2;
        default:
            return ((pixel[0] | pixel[1] << 8) >> 5 & 0x1F) << 3;
    }
}

TEST_F(ChannelPictureTest, EveryFormatShowsTheStampsAndLeavesTheRowGapsAlone) {
    std::strcpy(g_Settings.Record[0].chname, "Gate");
    g_Settings.Record[0].osddate = 1;
    g_Settings.Record[0].osdtime = 1;
    CAVChannel& channel = MakeLocal();
    struct Case {
        uint8_t format;
        int bytesPerPixel;
    };
    const Case cases[] = {{PIXFMT_YUY2, 2},   {PIXFMT_RGB32, 4},  {PIXFMT_RGB24, 3},
                          {PIXFMT_RGB565, 2}, {PIXFMT_RGB555, 2}, {PIXFMT_YUY2_OVERLAY, 2}};
    // Mid grey, so that no layout's bytes happen to equal the fill value.
    const auto picture = FlatPicture(352, 288, 120, 128, 128);
    for (const Case& c : cases) {
        const int pitch = 352 * c.bytesPerPixel + 24;
        std::vector<uint8_t> surface(static_cast<size_t>(pitch) * 290, 0xCD);
        ASSERT_EQ(Offer(channel, picture, 352, 288), 1);
        int width = 0;
        int height = 0;
        ASSERT_EQ(channel.GetDisplayFrame(surface.data(), c.format, &width, &height, pitch), 1);
        EXPECT_EQ(width, 352);
        EXPECT_EQ(height, 288);
        int gapTouched = 0;
        int rowUntouched = 0;
        for (int row = 0; row < 288; ++row) {
            const uint8_t* line = surface.data() + static_cast<size_t>(row) * pitch;
            for (int i = 352 * c.bytesPerPixel; i < pitch; ++i) {
                gapTouched += line[i] != 0xCD ? 1 : 0;
            }
            rowUntouched += line[0] == 0xCD && line[1] == 0xCD ? 1 : 0;
        }
        EXPECT_EQ(gapTouched, 0) << int(c.format);
        EXPECT_EQ(rowUntouched, 0) << int(c.format);
        // Nothing below the picture.
        EXPECT_EQ(surface[static_cast<size_t>(288) * pitch], 0xCD) << int(c.format);
        // Ink only where the title (top left) and the date and time (bottom
        // right, from x 170 on the line at y 264) belong.
        auto inkIn = [&](int x0, int y0, int x1, int y1) {
            int ink = 0;
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    const uint8_t* p = surface.data() + static_cast<size_t>(y) * pitch +
                                       static_cast<size_t>(x) * c.bytesPerPixel;
                    ink += Brightness(c.format, p) > 200 ? 1 : 0;
                }
            }
            return ink;
        };
        EXPECT_GT(inkIn(6, 6, 100, 23), 20) << int(c.format);
        EXPECT_GT(inkIn(170, 264, 352, 281), 50) << int(c.format);
        EXPECT_EQ(inkIn(0, 30, 352, 260), 0) << int(c.format);
        EXPECT_EQ(inkIn(0, 264, 160, 288), 0) << int(c.format);
        ASSERT_TRUE(WaitFor([&] {
            for (int i = 0; i < FRAME_SLOT_COUNT; ++i) {
                if (channel.GetSlotState(i) != SLOT_FREE) {
                    return false;
                }
            }
            return true;
        }));
    }
}

TEST_F(ChannelPictureTest, UnknownFormatAndNullSurfaceStillPassTheSlotOn) {
    CAVChannel& channel = MakeLocal();
    const auto picture = FlatPicture(352, 288);
    std::vector<uint8_t> surface(1024, 0xCD);
    ASSERT_EQ(Offer(channel, picture, 352, 288), 1);
    int width = 0;
    int height = 0;
    EXPECT_EQ(channel.GetDisplayFrame(surface.data(), 9, &width, &height, 1024), 1);
    EXPECT_EQ(width, 352);
    EXPECT_EQ(height, 288);
    EXPECT_EQ(std::count(surface.begin(), surface.end(), 0xCD), 1024);

    ASSERT_EQ(Offer(channel, picture, 352, 288), 1);
    width = height = 0;
    EXPECT_EQ(channel.GetDisplayFrame(nullptr, PIXFMT_RGB32, &width, &height, 1024), 1);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    // Both slots reach the encoder, which hands them back.
    EXPECT_TRUE(WaitFor([&] {
        return channel.GetSlotState(0) == SLOT_FREE && channel.GetSlotState(1) == SLOT_FREE;
    }));
    // Nothing waiting: 0.
    EXPECT_EQ(channel.GetDisplayFrame(surface.data(), PIXFMT_RGB32, &width, &height, 1024), 0);
}

TEST_F(ChannelPictureTest, WidePictureIsCroppedToTheSurface) {
    CAVChannel& channel = MakeLocal();
    const int pitch = 704 * 4;  // room for more than the surface's 352 pixels
    std::vector<uint8_t> surface(static_cast<size_t>(pitch) * 288, 0xCD);
    ASSERT_EQ(Offer(channel, FlatPicture(704, 144, 120), 704, 144), 1);
    int width = 0;
    int height = 0;
    ASSERT_EQ(channel.GetDisplayFrame(surface.data(), PIXFMT_RGB32, &width, &height, pitch), 1);
    EXPECT_EQ(width, 352);
    EXPECT_EQ(height, 144);
    EXPECT_NE(surface[351 * 4], 0xCD);
    EXPECT_EQ(surface[352 * 4], 0xCD);
    EXPECT_EQ(surface[static_cast<size_t>(144) * pitch], 0xCD);
}

TEST_F(ChannelPictureTest, PitchNarrowerThanThePictureNeverWritesPastItsRows) {
    CAVChannel& channel = MakeLocal();
    const int pitch = 200 * 4;
    std::vector<uint8_t> surface(static_cast<size_t>(pitch) * 288 + 64, 0xCD);
    ASSERT_EQ(Offer(channel, FlatPicture(352, 288, 120), 352, 288), 1);
    int width = 0;
    int height = 0;
    ASSERT_EQ(channel.GetDisplayFrame(surface.data(), PIXFMT_RGB32, &width, &height, pitch), 1);
    EXPECT_LE(width, 200);
    EXPECT_EQ(std::count(surface.end() - 64, surface.end(), 0xCD), 64);
}

// A sink that holds the display step inside it until it is let go.
class LatchedSink final : public IPreviewSink {
public:
    void OnPreviewFrame(const uint8_t*, const uint8_t*, const uint8_t*, int, int, int,
                        int) override {
        std::unique_lock<std::mutex> lock(mutex_);
        ++calls_;
        entered_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return released_; });
        left_ = true;
    }
    void WaitEntered() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return entered_; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    bool Left() {
        std::lock_guard<std::mutex> lock(mutex_);
        return left_;
    }
    int Calls() {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool entered_ = false;
    bool released_ = false;
    bool left_ = false;
    int calls_ = 0;
};

// Clearing the sink waits for a display step that is inside it, so the
// dialog may free itself right after; later steps never enter it.
TEST_F(ChannelPictureTest, ClearingThePreviewSinkWaitsForTheStepInsideIt) {
    CAVChannel& channel = MakeLocal();
    LatchedSink sink;
    channel.SetPreviewSink(&sink);
    ASSERT_EQ(Offer(channel, FlatPicture(352, 288), 352, 288), 1);
    std::vector<uint8_t> surface(static_cast<size_t>(kPitch) * 288);
    std::thread drawVideo([&] {
        int w = 0;
        int h = 0;
        channel.GetDisplayFrame(surface.data(), PIXFMT_RGB32, &w, &h, kPitch);
    });
    sink.WaitEntered();
    std::atomic<bool> returned{false};
    bool leftBeforeReturn = false;
    std::thread dialog([&] {
        channel.SetPreviewSink(nullptr);
        leftBeforeReturn = sink.Left();
        returned = true;
    });
    // Time for a clear that does not wait to come back too early.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(returned.load());
    sink.Release();
    dialog.join();
    drawVideo.join();
    EXPECT_TRUE(leftBeforeReturn);

    ASSERT_TRUE(WaitFor([&] { return channel.GetSlotState(0) == SLOT_FREE; }));
    ASSERT_TRUE(Pump(channel, FlatPicture(352, 288)));
    EXPECT_EQ(sink.Calls(), 1);
}

}  // namespace
