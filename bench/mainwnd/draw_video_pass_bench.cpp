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
#include "wall_bench_setup.h"

namespace {

bool SlotsFree() {
    for (int n = 0; n < kWallChannels; ++n) {
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
    SetMessageBoxHandler([](const MessageBoxRequest&) { return IDOK; });
    CodecInit();
    InitOsdFont();
    g_Settings = Settings{};
    for (int n = 0; n < kWallChannels; ++n) {
        g_Settings.Record[n].osdtime = 1;
        g_Settings.Record[n].osddate = 1;
        std::snprintf(g_Settings.Record[n].chname, sizeof g_Settings.Record[n].chname, "CH%02d",
                      n + 1);
    }
    WallSurfaceSetup display(format);
    const bool overlay = display.Overlay();
    const bool yuy2 = display.Yuy2();
    SetDisplayFlagsReader([overlay, yuy2] { return DisplayFlags{overlay ? 1 : 0, yuy2 ? 1 : 0}; });

    g_nChannelCount = kWallChannels;
    std::vector<std::vector<uint8_t>> pictures;
    for (int n = 0; n < kWallChannels; ++n) {
        auto* c = new CAVChannel(n);
        CodecParams p;
        p.byVideoType = VCODEC_H264;
        p.byAudioType = ACODEC_MP3;
        p.nVideoKbps = 256;
        p.nAudioKbps = 32;
        p.nWidth = kPictureWidth;
        p.nHeight = kPictureHeight;
        c->SetEncodeParams(p);
        c->StartLocal(0, -1);
        g_pAVChannel[n] = c;
        g_Settings.rcChannel[n] = WallCell(n);
        pictures.push_back(MakeBenchPicture(n));
    }
    {
        CDrawVideo draw(&display.Wall(), {});
        if (draw.Format() != format) {
            state.SkipWithError("renderer did not take the format");
        } else {
            draw.TakeLayout(0, 0);
            const int pitch = draw.Renderer().GetPitch();
            std::vector<uint8_t> src(static_cast<size_t>(pitch) * kPictureHeight * kWallChannels,
                                     0x5A);
            std::vector<uint8_t> dst(src.size());
            double passSeconds = 0;
            for (auto _ : state) {
                state.PauseTiming();
                while (!SlotsFree()) {
                    std::this_thread::yield();
                }
                for (int n = 0; n < kWallChannels; ++n) {
                    g_pAVChannel[n].load()->OnVideoFrame(
                        pictures[n].data(), static_cast<int>(pictures[n].size()), kPictureWidth,
                        kPictureHeight, kPictureWidth);
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
    for (int n = 0; n < kWallChannels; ++n) {
        delete g_pAVChannel[n].exchange(nullptr);
    }
    g_nChannelCount = 0;
    SetDisplayFlagsReader(nullptr);
    CodecCleanup();
    SetMessageBoxHandler({});
}

BENCHMARK(BM_DrawVideoPass)
    ->ArgName("format")
    ->DenseRange(PIXFMT_YUY2, PIXFMT_YUY2_OVERLAY)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200);

}  // namespace
