// Encode cost per 352 x 288 picture for each video codec at 512 kbit/s.
// "vs_h264" is the codec's time per picture over the H.264 encoder's,
// measured in the same run.

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "media/codec_layer.h"

namespace {

constexpr int kW = 352;
constexpr int kH = 288;

std::vector<uint8_t> Picture(int n) {
    std::vector<uint8_t> yuv(kW * kH * 3 / 2, 128);
    for (int r = 0; r < kH; ++r) {
        for (int c = 0; c < kW; ++c) {
            yuv[r * kW + c] = static_cast<uint8_t>(((c + 3 * n) ^ (r + n)) & 0xFF);
        }
    }
    return yuv;
}

double NsPerPicture(uint8_t type, int pictures) {
    CodecParams p;
    p.byVideoType = type;
    p.byAudioType = ACODEC_MP3;
    p.nVideoKbps = 512;
    p.nAudioKbps = 32;
    p.nWidth = kW;
    p.nHeight = kH;
    CodecSlot* slot = CodecOpenEncoder(&p);
    if (slot == nullptr) {
        return -1;
    }
    std::vector<std::vector<uint8_t>> pics;
    for (int i = 0; i < 25; ++i) {
        pics.push_back(Picture(i));
    }
    std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < pictures; ++i) {
        int isKey = 0;
        CodecEncodeVideo(slot, pics[i % pics.size()].data(), out.data(), 0, &isKey, 0, 0);
    }
    auto t1 = std::chrono::steady_clock::now();
    CodecCloseSlot(slot, 0);
    return std::chrono::duration<double, std::nano>(t1 - t0).count() / pictures;
}

void BM_Encode(benchmark::State& state) {
    CodecInit();
    const auto type = static_cast<uint8_t>(state.range(0));
    double ns = 0;
    for (auto _ : state) {
        ns = NsPerPicture(type, 100);
    }
    double h264 = NsPerPicture(VCODEC_H264, 100);
    state.counters["us_per_picture"] = ns / 1000;
    state.counters["fps"] = 1e9 / ns;
    state.counters["vs_h264"] = ns / h264;
    CodecCleanup();
}

}  // namespace

BENCHMARK(BM_Encode)->ArgName("codec")->DenseRange(1, 10)->Iterations(3)->Unit(
    benchmark::kMillisecond);
