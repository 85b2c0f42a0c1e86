// One DrawVideo display pass of 16 local CIF channels (for each channel:
// lock, the channel's whole display step with stamping, motion scan and
// conversion into the surface, unlock, blit into its cell of the 4 x 4
// wall; then present) per display pixel format. Every channel holds a
// fresh picture at the start of each pass; refilling them and letting the
// channel threads encode is outside the timed part. The reference is a
// plain copy of the same surface bytes (16 surfaces of pitch x 288) in the
// same run; "ratio" is the pass time over the copy time, "pass_ms" the
// time of one pass (goal: under 4 ms, ratio at most 3).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "channel/av_channel.h"
#include "mainwnd/display_flags.h"
#include "mainwnd/draw_video.h"
#include "media/codec_layer.h"
#include "media/osd_text.h"
#include "platform/msgbox/message_box.h"
#include "settings/globals.h"
#include "settings/settings.h"

namespace {

constexpr int kChannels = 16;
constexpr int kWidth = 352;
constexpr int kHeight = 288;
constexpr RECT kWall{19, 16, 19 + 790, 16 + 646};

struct Setup {
    int depth;
    bool yuy2;
    bool overlay;
};

Setup SetupFor(uint8_t format) {
    switch (format) {
        case PIXFMT_YUY2:
            return {32, true, false};
        case PIXFMT_RGB32:
            return {32, false, false};
        case PIXFMT_RGB24:
            return {24, false, false};
        case PIXFMT_RGB565:
            return {16, false, false};
        case PIXFMT_RGB555:
            return {15, false, false};
        default:
            return {32, true, true};
    }
}

std::vector<uint8_t> MakeI420(int n) {
    std::vector<uint8_t> pic(kWidth * kHeight * 3 / 2);
    for (size_t i = 0; i < pic.size(); ++i) {
        pic[i] = static_cast<uint8_t>(16 + (i * 7 + static_cast<size_t>(n) * 13) % 220);
    }
    return pic;
}

bool SlotsFree() {
    for (int n = 0; n < kChannels; ++n) {
        for (int s = 0; s < FRAME_SLOT_COUNT; ++s) {
            if (g_pAVChannel[n].load()->GetSlotState(s) != SLOT_FREE) {
                return false;
            }
        }
    }
    return true;
}

void BM_DrawVideoPass(benchmark::State& state) {
    const auto format = static_cast<uint8_t>(state.range(0));
    const Setup s = SetupFor(format);
    SetMessageBoxHandler([](const MessageBoxRequest&) { return IDOK; });
    CodecInit();
    InitOsdFont();
    g_Settings = Settings{};
    for (int n = 0; n < kChannels; ++n) {
        g_Settings.Record[n].osdtime = 1;
        g_Settings.Record[n].osddate = 1;
        std::snprintf(g_Settings.Record[n].chname, sizeof g_Settings.Record[n].chname, "CH%02d",
                      n + 1);
    }
    DisplayCaps caps;
    caps.yuy2Blit = s.yuy2;
    caps.overlay = s.overlay;
    auto device = std::make_shared<DisplayDevice>(caps);
    SetDefaultDisplayDevice(device);
    SetDisplayFlagsReader([s] { return DisplayFlags{s.overlay ? 1 : 0, s.yuy2 ? 1 : 0}; });
    auto target = std::make_shared<DisplayTarget>(1024, 768, s.depth);
    DisplayWindow wall(target, kWall, 1);
    target->FillRect(kWall, 0xFF080008);

    g_nChannelCount = kChannels;
    std::vector<std::vector<uint8_t>> pictures;
    for (int n = 0; n < kChannels; ++n) {
        auto* c = new CAVChannel(n);
        CodecParams p;
        p.byVideoType = VCODEC_H264;
        p.byAudioType = ACODEC_MP3;
        p.nVideoKbps = 256;
        p.nAudioKbps = 32;
        p.nWidth = kWidth;
        p.nHeight = kHeight;
        c->SetEncodeParams(p);
        c->StartLocal(0, -1);
        g_pAVChannel[n] = c;
        const int w = (kWall.right - kWall.left) / 4;
        const int h = (kWall.bottom - kWall.top) / 4;
        g_Settings.rcChannel[n] = RECT{kWall.left + (n % 4) * w, kWall.top + (n / 4) * h,
                                       kWall.left + (n % 4 + 1) * w, kWall.top + (n / 4 + 1) * h};
        pictures.push_back(MakeI420(n));
    }
    {
        CDrawVideo draw(&wall, {});
        if (draw.Format() != format) {
            state.SkipWithError("renderer did not take the format");
        } else {
            draw.TakeLayout(0, 0);
            const int pitch = draw.Renderer().GetPitch();
            std::vector<uint8_t> src(static_cast<size_t>(pitch) * kHeight * kChannels, 0x5A);
            std::vector<uint8_t> dst(src.size());
            double passSeconds = 0;
            for (auto _ : state) {
                state.PauseTiming();
                while (!SlotsFree()) {
                    std::this_thread::yield();
                }
                for (int n = 0; n < kChannels; ++n) {
                    g_pAVChannel[n].load()->OnVideoFrame(pictures[n].data(),
                                                         static_cast<int>(pictures[n].size()),
                                                         kWidth, kHeight, kWidth);
                }
                state.ResumeTiming();
                const auto t0 = std::chrono::steady_clock::now();
                draw.DisplayPass();
                passSeconds +=
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            }
            // The reference: the same bytes copied plainly, as often.
            const auto c0 = std::chrono::steady_clock::now();
            for (int64_t i = 0; i < state.iterations(); ++i) {
                std::memcpy(dst.data(), src.data(), src.size());
                benchmark::DoNotOptimize(dst.data());
                benchmark::ClobberMemory();
            }
            const double copySeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - c0).count();
            const double iterations = static_cast<double>(state.iterations());
            state.counters["pass_ms"] = passSeconds * 1000.0 / iterations;
            state.counters["copy_ms"] = copySeconds * 1000.0 / iterations;
            state.counters["ratio"] = copySeconds > 0 ? passSeconds / copySeconds : 0;
        }
        while (!SlotsFree()) {
            std::this_thread::yield();
        }
    }
    for (int n = 0; n < kChannels; ++n) {
        delete g_pAVChannel[n].exchange(nullptr);
    }
    g_nChannelCount = 0;
    SetDisplayFlagsReader(nullptr);
    SetDefaultDisplayDevice(nullptr);
    CodecCleanup();
    SetMessageBoxHandler({});
}

BENCHMARK(BM_DrawVideoPass)
    ->ArgName("format")
    ->DenseRange(PIXFMT_YUY2, PIXFMT_YUY2_OVERLAY)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200);

}  // namespace
