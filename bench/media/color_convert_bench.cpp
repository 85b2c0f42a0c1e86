// Colour conversion of one 352 x 288 picture against libswscale's default
// path for the same layout, measured in the same run. The counter
// "vs_swscale" is our time over libswscale's (below 1.0: faster).

#include <benchmark/benchmark.h>

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

#include "media/color_convert.h"
#include "media/pixel_formats.h"

namespace {

constexpr int kW = 352;
constexpr int kH = 288;

struct Setup {
    std::vector<uint8_t> y, u, v, out;
    Setup() : y(kW * kH), u(kW * kH / 4), v(kW * kH / 4), out(kW * kH * 4) {
        std::mt19937 gen(5);
        for (auto* plane : {&y, &u, &v}) {
            for (auto& b : *plane) {
                b = static_cast<uint8_t>(gen());
            }
        }
    }
};

AVPixelFormat SwsFormat(uint8_t format) {
    switch (format) {
        case PIXFMT_YUY2:
            return AV_PIX_FMT_YUYV422;
        case PIXFMT_RGB32:
            return AV_PIX_FMT_BGRA;
        case PIXFMT_RGB24:
            return AV_PIX_FMT_BGR24;
        case PIXFMT_RGB565:
            return AV_PIX_FMT_RGB565LE;
        default:
            return AV_PIX_FMT_RGB555LE;
    }
}

// Best time per call of each, measured in alternating rounds so that a
// change of machine load hits both alike.
template <typename F, typename G>
void BestNsPerCall(F&& ours, G&& theirs, int calls, double* oursNs, double* theirsNs) {
    *oursNs = *theirsNs = 1e30;
    for (int round = 0; round < 9; ++round) {
        for (int which = 0; which < 2; ++which) {
            auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < calls; ++i) {
                which == 0 ? ours() : theirs();
            }
            auto t1 = std::chrono::steady_clock::now();
            double ns = std::chrono::duration<double, std::nano>(t1 - t0).count() / calls;
            double* best = which == 0 ? oursNs : theirsNs;
            *best = std::min(*best, ns);
        }
    }
}

void BM_Convert(benchmark::State& state) {
    const auto format = static_cast<uint8_t>(state.range(0));
    Setup s;
    Yv12Converter convert = Yv12ConverterFor(format);
    SwsContext* sws = sws_getContext(kW, kH, AV_PIX_FMT_YUV420P, kW, kH, SwsFormat(format),
                                     SWS_BICUBIC, nullptr, nullptr, nullptr);
    const uint8_t* src[4] = {s.y.data(), s.u.data(), s.v.data(), nullptr};
    const int srcStride[4] = {kW, kW / 2, kW / 2, 0};
    std::vector<uint8_t> ref(kW * kH * 4);
    uint8_t* dst[4] = {ref.data(), nullptr, nullptr, nullptr};
    const int dstStride[4] = {kW * BytesPerPixelOfFormat(format), 0, 0, 0};

    auto ours = [&] {
        convert(s.out.data(), kW, s.y.data(), s.u.data(), s.v.data(), kW, kW / 2, kW, kH);
        benchmark::ClobberMemory();
    };
    auto theirs = [&] {
        sws_scale(sws, src, srcStride, 0, kH, dst, dstStride);
        benchmark::ClobberMemory();
    };
    for (auto _ : state) {
        ours();
    }
    double oursNs = 0, theirsNs = 0;
    BestNsPerCall(ours, theirs, 200, &oursNs, &theirsNs);
    state.counters["ours_us"] = oursNs / 1000;
    state.counters["swscale_us"] = theirsNs / 1000;
    state.counters["vs_swscale"] = oursNs / theirsNs;
    sws_freeContext(sws);
}

}  // namespace

BENCHMARK(BM_Convert)
    ->ArgName("format")
    ->Arg(PIXFMT_YUY2)
    ->Arg(PIXFMT_RGB32)
    ->Arg(PIXFMT_RGB24)
    ->Arg(PIXFMT_RGB565)
    ->Arg(PIXFMT_RGB555);
