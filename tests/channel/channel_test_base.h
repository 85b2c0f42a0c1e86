#pragma once
// The common set-up of the channel tests: a private folder, the fakes, a
// test clock, recorded message boxes and the codec layer.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "channel/av_channel.h"
#include "channel_fakes.h"
#include "media/codec_layer.h"
#include "media/osd_text.h"
#include "netservice/stream_queue.h"
#include "settings/globals.h"
#include "settings/settings.h"
#include "support/chdir_temp_dir.h"

inline CodecParams H264Params(int width = 352, int height = 288) {
    CodecParams p;
    p.byVideoType = VCODEC_H264;
    p.byAudioType = ACODEC_MP3;
    p.nVideoKbps = 256;
    p.nAudioKbps = 32;
    p.nWidth = static_cast<uint16_t>(width);
    p.nHeight = static_cast<uint16_t>(height);
    return p;
}

class ChannelTestBase : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CodecInit(), 1);
        InitOsdFont();
        g_nUptimeSeconds = 1000;
        g_Settings = Settings{};
        g_Settings.nChConfigNum = 16;
    }
    void TearDown() override {
        channel_.reset();
        CodecCleanup();
        g_dwDrawVideoThreadId = 0;
    }

    // A local channel with an H.264 encoder of the given size.
    CAVChannel& MakeLocal(int number = 0, CodecParams params = H264Params(), int audio = 0) {
        channel_ = std::make_unique<CAVChannel>(number);
        channel_->SetEncodeParams(params);
        channel_->StartLocal(0, audio);
        return *channel_;
    }

    // One DrawVideo call into a 352 x 288 surface of the given format.
    int Show(CAVChannel& channel, uint8_t format = 2, int* width = nullptr, int* height = nullptr) {
        int w = 0;
        int h = 0;
        surface_.assign(static_cast<size_t>(kPitch) * 288, 0);
        const int r = channel.GetDisplayFrame(surface_.data(), format, &w, &h, kPitch);
        if (width != nullptr) {
            *width = w;
        }
        if (height != nullptr) {
            *height = h;
        }
        return r;
    }

    // Capture, display and wait until the channel thread handed the slot
    // back. True when the picture went the whole way.
    bool Pump(CAVChannel& channel, const std::vector<uint8_t>& picture, int width = 352,
              int height = 288) {
        if (channel.OnVideoFrame(picture.data(), static_cast<int>(picture.size()), width, height,
                                 width) != 1) {
            return false;
        }
        if (Show(channel) != 1) {
            return false;
        }
        return WaitFor([&] {
            for (int i = 0; i < FRAME_SLOT_COUNT; ++i) {
                if (channel.GetSlotState(i) != SLOT_FREE) {
                    return false;
                }
            }
            return true;
        });
    }

    static constexpr int kPitch = 352 * 4 + 64;
    ChdirTempDir dir_;
    ChannelServicesFixture services_;
    TestClock clock_;
    MessageBoxRecorder boxes_;
    std::unique_ptr<CAVChannel> channel_;
    std::vector<uint8_t> surface_;
};
