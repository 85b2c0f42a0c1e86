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

std::vector<uint8_t> MakeI420() {
    std::vector<uint8_t> pic(kWidth * kHeight * 3 / 2);
    for (size_t i = 0; i < pic.size(); ++i) {
        pic[i] = static_cast<uint8_t>(16 + (i * 7) % 220);
    }
    return pic;
}

void BM_RendererPass(benchmark::State& state) {
    const auto format = static_cast<uint8_t>(state.range(0));
    const Setup s = SetupFor(format);
    DisplayCaps caps;
    caps.yuy2Blit = s.yuy2;
    caps.overlay = s.overlay;
    auto device = std::make_shared<DisplayDevice>(caps);
    SetDefaultDisplayDevice(device);
    auto target = std::make_shared<DisplayTarget>(1024, 768, s.depth);
    DisplayWindow wall(target, kWall, 1);
    target->FillRect(kWall, 0xFF080008);
    {
        CVideoDisplay display(kChannels);
        if (!display.Init(&wall, kWidth, kHeight) || display.GetFormatCode() != format) {
            state.SkipWithError("renderer did not take the format");
            SetDefaultDisplayDevice(nullptr);
            return;
        }
        const Yv12Converter convert = Yv12ConverterFor(format);
        const int bpp = BytesPerPixelOfFormat(format);
        const std::vector<uint8_t> pic = MakeI420();
        const uint8_t* y = pic.data();
        const uint8_t* u = y + kWidth * kHeight;
        const uint8_t* v = u + kWidth * kHeight / 4;
        RECT cells[kChannels];
        for (int n = 0; n < kChannels; ++n) {
            const int cw = 790 / 4;
            const int ch = 646 / 4;
            cells[n] = RECT{kWall.left + (n % 4) * cw, kWall.top + (n / 4) * ch,
                            kWall.left + (n % 4) * cw + cw, kWall.top + (n / 4) * ch + ch};
        }
        auto convertAll = [&] {
            for (int n = 0; n < kChannels; ++n) {
                if (display.LockSurface(n)) {
                    convert(display.GetSurfacePointer(n), display.GetPitch() / bpp, y, u, v,
                            kWidth, kWidth / 2, kWidth, kHeight);
                    display.UnlockSurface(n);
                }
            }
        };
        auto pass = [&] {
            for (int n = 0; n < kChannels; ++n) {
                if (display.LockSurface(n)) {
                    const int pitch = display.GetPitch();
                    convert(display.GetSurfacePointer(n), pitch / bpp, y, u, v, kWidth, kWidth / 2,
                            kWidth, kHeight);
                    display.UnlockSurface(n);
                }
                display.BlitChannel(n, cells[n], kWidth, kHeight);
            }
            display.Present();
        };
        pass();
        const size_t surfaceBytes = static_cast<size_t>(display.GetPitch()) * kHeight;
        std::vector<uint8_t> from(surfaceBytes * kChannels, 0x5A);
        std::vector<uint8_t> to(surfaceBytes * kChannels);
        auto copy = [&] {
            for (int n = 0; n < kChannels; ++n) {
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
    SetDefaultDisplayDevice(nullptr);
}

BENCHMARK(BM_RendererPass)
    ->ArgName("format")
    ->DenseRange(PIXFMT_YUY2, PIXFMT_YUY2_OVERLAY)
    ->Unit(benchmark::kMillisecond);

}  // namespace
