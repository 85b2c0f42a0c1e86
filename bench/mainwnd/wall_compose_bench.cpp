// What the video wall's paint asks of the screen, with the overlay on: a
// new 704 x 576 overlay picture (as each flip presents one), then the
// screen's picture with the overlay keyed into the wall, brought up to date
// and handed to the paint as the wall's OnPaint takes it. The wall holds
// the key colour with the green frames of a 2 x 2 or 4 x 4 layout and the
// red outline of the selected cell; the overlay goes through the media
// layer's converter, as the renderer sets it. The reference is a plain copy
// of the same 1024 x 768 screen image, measured in the same run; "ratio" is
// the compose time over the copy time, "compose_ms" one compose.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "media/color_yuy2_rgb.h"
#include "platform/display/display_target.h"
#include "wall_bench_setup.h"

namespace {

constexpr int kScreenW = 1024;
constexpr int kScreenH = 768;
constexpr RECT kWall = kWallClient;
constexpr int kOverlayW = 704;
constexpr int kOverlayH = 576;
constexpr int kOverlayPitch = 1440;
constexpr uint32_t kKey = 0x080008;
constexpr uint32_t kGreen = 0x00FA00;
constexpr uint32_t kRed = 0xFF0000;

void Frame(DisplayTarget& t, const RECT& r, int width, uint32_t rgb) {
    t.FillRect(RECT{r.left, r.top, r.right, r.top + width}, rgb);
    t.FillRect(RECT{r.left, r.bottom - width, r.right, r.bottom}, rgb);
    t.FillRect(RECT{r.left, r.top, r.left + width, r.bottom}, rgb);
    t.FillRect(RECT{r.right - width, r.top, r.right, r.bottom}, rgb);
}

// The wall as it paints itself for a k x k layout with cell 0 selected.
void PaintWall(DisplayTarget& t, int k) {
    t.FillRect(kWall, kKey);
    const int cw = (kWall.right - kWall.left) / k;
    const int ch = (kWall.bottom - kWall.top) / k;
    for (int i = 0; i < k * k; ++i) {
        const int left = kWall.left + (i % k) * cw;
        const int top = kWall.top + (i / k) * ch;
        Frame(t, RECT{left, top, left + cw, top + ch}, 1, kGreen);
    }
    Frame(t, RECT{kWall.left - 1, kWall.top - 1, kWall.left + cw + 1, kWall.top + ch + 1}, 2, kRed);
}

std::vector<uint8_t> OverlayPicture(int seed) {
    std::vector<uint8_t> pic(static_cast<size_t>(kOverlayPitch) * kOverlayH);
    for (int y = 0; y < kOverlayH; ++y) {
        for (int x = 0; x < kOverlayW; ++x) {
            uint8_t* p = pic.data() + static_cast<size_t>(y) * kOverlayPitch + 2 * x;
            p[0] = static_cast<uint8_t>(16 + (x + y + seed) % 220);
            p[1] = static_cast<uint8_t>((x & 1) == 0 ? 64 + (y + seed) % 128 : 96 + x % 128);
        }
    }
    return pic;
}

void BM_WallCompose(benchmark::State& state) {
    const int k = static_cast<int>(state.range(0));
    auto target = std::make_shared<DisplayTarget>(kScreenW, kScreenH, 32);
    PaintWall(*target, k);
    target->SetOverlayConverter(&Yuy2ToBgra32);
    target->SetOverlayPosition(true, RECT{0, 0, kOverlayW, kOverlayH}, kWall, kKey);
    const std::vector<uint8_t> pictures[2] = {OverlayPicture(0), OverlayPicture(7)};
    std::vector<uint32_t> from(static_cast<size_t>(kScreenW) * kScreenH, 0xFF123456u);
    std::vector<uint32_t> to(from.size());

    double ours = 0;
    double reference = 0;
    size_t n = 0;
    for (auto _ : state) {
        const std::vector<uint8_t>& pic = pictures[n++ % 2];
        target->SetOverlayPicture(pic.data(), kOverlayW, kOverlayH, kOverlayPitch);
        auto t0 = std::chrono::steady_clock::now();
        target->ShowComposed([](const uint32_t* pixels, int) {
            benchmark::DoNotOptimize(pixels);
            benchmark::ClobberMemory();
        });
        auto t1 = std::chrono::steady_clock::now();
        std::memcpy(to.data(), from.data(), sizeof(uint32_t) * to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        auto t2 = std::chrono::steady_clock::now();
        ours += std::chrono::duration<double>(t1 - t0).count();
        reference += std::chrono::duration<double>(t2 - t1).count();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["compose_ms"] = ours / runs * 1e3;
    state.counters["copy_ms"] = reference / runs * 1e3;
    state.counters["ratio"] = reference > 0 ? ours / reference : 0;
}

BENCHMARK(BM_WallCompose)->ArgName("grid")->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
