// One display pass of 16 CIF channels (lock, convert the picture into the
// surface, unlock, blit into the channel's cell of the 4 x 4 wall, then
// present) per display pixel format. The reference is a plain copy of the
// same surface bytes (16 surfaces of pitch x 288), measured in the same
// run; "ratio" is the pass time over the copy time, "pass_ms" the time of
// one pass, "convert_ms" the part of it spent locking, converting and
// unlocking (the rest is the blits and the flip).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "mainwnd/display_flags.h"
#include "mainwnd/video_display.h"
#include "media/color_convert.h"
#include "wall_bench_setup.h"

namespace {

void BM_RendererPass(benchmark::State& state) {
    const auto format = static_cast<uint8_t>(state.range(0));
    WallSurfaceSetup setup(format);
    {
        CVideoDisplay display(kWallChannels);
        if (!display.Init(&setup.Wall(), kPictureWidth, kPictureHeight) ||
            display.GetFormatCode() != format) {
            state.SkipWithError("renderer did not take the format");
            return;
        }
        const Yv12Converter convert = Yv12ConverterFor(format);
        const int bpp = BytesPerPixelOfFormat(format);
        const std::vector<uint8_t> pic = MakeBenchPicture(0);
        const uint8_t* y = pic.data();
        const uint8_t* u = y + kPictureWidth * kPictureHeight;
        const uint8_t* v = u + kPictureWidth * kPictureHeight / 4;
        RECT cells[kWallChannels];
        for (int n = 0; n < kWallChannels; ++n) {
            cells[n] = WallCell(n);
        }
        auto convertAll = [&] {
            for (int n = 0; n < kWallChannels; ++n) {
                if (display.LockSurface(n)) {
                    convert(display.GetSurfacePointer(n), display.GetPitch() / bpp, y, u, v,
                            kPictureWidth, kPictureWidth / 2, kPictureWidth, kPictureHeight);
                    display.UnlockSurface(n);
                }
            }
        };
        auto pass = [&] {
            for (int n = 0; n < kWallChannels; ++n) {
                if (display.LockSurface(n)) {
                    const int pitch = display.GetPitch();
                    convert(display.GetSurfacePointer(n), pitch / bpp, y, u, v, kPictureWidth,
                            kPictureWidth / 2, kPictureWidth, kPictureHeight);
                    display.UnlockSurface(n);
                }
                display.BlitChannel(n, cells[n], kPictureWidth, kPictureHeight);
            }
            display.Present();
        };
        pass();
        const size_t surfaceBytes = static_cast<size_t>(display.GetPitch()) * kPictureHeight;
        std::vector<uint8_t> from(surfaceBytes * kWallChannels, 0x5A);
        std::vector<uint8_t> to(surfaceBytes * kWallChannels);
        auto copy = [&] {
            for (int n = 0; n < kWallChannels; ++n) {
                std::memcpy(to.data() + n * surfaceBytes, from.data() + n * surfaceBytes,
                            surfaceBytes);
            }
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
        };

        double ours = 0;
        double reference = 0;
        double converting = 0;
        for (auto _ : state) {
            auto t0 = std::chrono::steady_clock::now();
            pass();
            auto t1 = std::chrono::steady_clock::now();
            copy();
            auto t2 = std::chrono::steady_clock::now();
            convertAll();
            auto t3 = std::chrono::steady_clock::now();
            ours += std::chrono::duration<double>(t1 - t0).count();
            reference += std::chrono::duration<double>(t2 - t1).count();
            converting += std::chrono::duration<double>(t3 - t2).count();
        }
        const double passes = static_cast<double>(state.iterations());
        state.counters["pass_ms"] = ours / passes * 1e3;
        state.counters["copy_ms"] = reference / passes * 1e3;
        state.counters["convert_ms"] = converting / passes * 1e3;
        state.counters["ratio"] = reference > 0 ? ours / reference : 0;
    }
}

BENCHMARK(BM_RendererPass)
    ->ArgName("format")
    ->DenseRange(PIXFMT_YUY2, PIXFMT_YUY2_OVERLAY)
    ->Unit(benchmark::kMillisecond);

}  // namespace
