// Cost of handing one 352 x 288 picture to the frame callback, and of the
// camera conversions into I420, each against a reference measured in the
// same run: a plain copy of the picture, libswscale for YUYV, and FFmpeg's
// MJPEG decoder. The ratios are printed after the table.

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "capture/capture_device.h"
#include "capture/capture_graph.h"
#include "capture/sink_filters.h"
#include "platform/capture/synthetic_backend.h"
#include "platform/capture/yuv_convert.h"
#include "platform/msgbox/message_box.h"

namespace {

constexpr int kW = 352;
constexpr int kH = 288;
constexpr size_t kI420 = kW * kH * 3 / 2;

// What a channel does with a picture: copy it into its frame slot.
std::vector<uint8_t> g_slot(kI420);
int32_t CopyToSlot(int32_t, uint8_t* data, int32_t length, int32_t, int32_t, int32_t, int32_t) {
    std::memcpy(g_slot.data(), data, std::min<size_t>(length, g_slot.size()));
    benchmark::DoNotOptimize(g_slot.data());
    return 0;
}

std::vector<uint8_t> Yuyv() {
    std::vector<uint8_t> src(kW * kH * 2);
    for (size_t i = 0; i < src.size(); ++i) {
        src[i] = static_cast<uint8_t>(i * 7 + (i >> 9));
    }
    return src;
}

std::vector<uint8_t> Jpeg() {
    std::vector<uint8_t> rgb(kW * kH * 3);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            uint8_t* p = &rgb[(y * kW + x) * 3];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = static_cast<uint8_t>((x + y) / 2);
        }
    }
    tjhandle enc = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(enc, rgb.data(), kW, 0, kH, TJPF_RGB, &jpeg, &size, TJSAMP_422, 85, 0);
    std::vector<uint8_t> out(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(enc);
    return out;
}

void BM_Reference_CopyPicture(benchmark::State& state) {
    std::vector<uint8_t> src(kI420, 1);
    for (auto _ : state) {
        CopyToSlot(0, src.data(), static_cast<int32_t>(src.size()), kW, kH, 1056, 2);
    }
}
BENCHMARK(BM_Reference_CopyPicture);

void BM_DeliverSyntheticPicture(benchmark::State& state) {
    SetMessageBoxHandler([](const MessageBoxRequest&) { return IDOK; });
    SyntheticConfig cfg;
    SyntheticVideoDevice dev;
    dev.description = "bench";
    dev.caps = {{Subtype::I420, kW, kH, 400000}};
    dev.realtime = false;
    cfg.video.push_back(dev);
    auto backend = std::make_shared<SyntheticBackend>(cfg);
    SetCaptureBackend(backend);
    InitCaptureDevices();
    SetFrameCallback(0, &CopyToSlot);
    RunCapture();
    for (auto _ : state) {
        backend->PushVideoFrames(0, 1);
    }
    SetFrameCallback(0, nullptr);
    StopCapture();
    FreeCaptureDevices();
    g_nCaptureDeviceCount.store(0);
    SetCaptureBackend(nullptr);
}
BENCHMARK(BM_DeliverSyntheticPicture);

// A V4L2 camera's padded planar buffer, repacked and handed through the sink.
void BM_DeliverV4l2ShapedPicture(benchmark::State& state) {
    const int stride = kW + 32;
    std::vector<uint8_t> mapped(stride * kH * 3 / 2, 9);
    std::vector<uint8_t> frame(kI420);
    g_CaptureDevices[0].pfnFrameCallback.store(&CopyToSlot);
    CVideoSinkFilter sink(0);
    const MediaType mt = MakeVideoType(Subtype::I420, kW, kH, 400000);
    sink.SetMediaType(&mt);
    sink.Run();
    for (auto _ : state) {
        RepackI420(mapped.data(), mapped.size(), kW, kH, stride, false, frame.data());
        MediaSample sample(frame.data(), static_cast<int32_t>(frame.size()));
        sink.Receive(&sample);
    }
    g_CaptureDevices[0].pfnFrameCallback.store(nullptr);
}
BENCHMARK(BM_DeliverV4l2ShapedPicture);

void BM_YuyvToI420(benchmark::State& state) {
    const auto src = Yuyv();
    std::vector<uint8_t> dst(kI420);
    for (auto _ : state) {
        YuyvToI420(src.data(), src.size(), kW, kH, kW * 2, dst.data());
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_YuyvToI420);

void BM_Reference_SwscaleYuyvToI420(benchmark::State& state) {
    const auto src = Yuyv();
    std::vector<uint8_t> dst(kI420);
    SwsContext* sws = sws_getContext(kW, kH, AV_PIX_FMT_YUYV422, kW, kH, AV_PIX_FMT_YUV420P,
                                     SWS_POINT, nullptr, nullptr, nullptr);
    const uint8_t* in[4] = {src.data(), nullptr, nullptr, nullptr};
    const int inStride[4] = {kW * 2, 0, 0, 0};
    uint8_t* out[4] = {dst.data(), dst.data() + kW * kH, dst.data() + kW * kH * 5 / 4, nullptr};
    const int outStride[4] = {kW, kW / 2, kW / 2, 0};
    for (auto _ : state) {
        sws_scale(sws, in, inStride, 0, kH, out, outStride);
        benchmark::DoNotOptimize(dst.data());
    }
    sws_freeContext(sws);
}
BENCHMARK(BM_Reference_SwscaleYuyvToI420);

void BM_MjpegToI420(benchmark::State& state) {
    const auto jpeg = Jpeg();
    std::vector<uint8_t> dst(kI420);
    MjpegDecoder decoder;
    for (auto _ : state) {
        decoder.DecodeToI420(jpeg.data(), jpeg.size(), kW, kH, dst.data());
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_MjpegToI420);

void BM_Reference_FfmpegMjpegDecode(benchmark::State& state) {
    const auto jpeg = Jpeg();
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_MJPEG);
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    avcodec_open2(ctx, codec, nullptr);
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    std::vector<uint8_t> data(jpeg.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    std::memcpy(data.data(), jpeg.data(), jpeg.size());
    for (auto _ : state) {
        pkt->data = data.data();
        pkt->size = static_cast<int>(jpeg.size());
        avcodec_send_packet(ctx, pkt);
        avcodec_receive_frame(ctx, frame);
        benchmark::DoNotOptimize(frame->data[0]);
    }
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&ctx);
}
BENCHMARK(BM_Reference_FfmpegMjpegDecode);

// Keeps every run's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            m_times[r.benchmark_name()] = r.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios() const {
        const std::pair<const char*, const char*> pairs[] = {
            {"BM_DeliverSyntheticPicture", "BM_Reference_CopyPicture"},
            {"BM_DeliverV4l2ShapedPicture", "BM_Reference_CopyPicture"},
            {"BM_YuyvToI420", "BM_Reference_SwscaleYuyvToI420"},
            {"BM_MjpegToI420", "BM_Reference_FfmpegMjpegDecode"}};
        std::printf("\nratio to reference (lower is faster):\n");
        for (const auto& [subject, reference] : pairs) {
            auto s = m_times.find(subject);
            auto r = m_times.find(reference);
            if (s != m_times.end() && r != m_times.end() && r->second > 0) {
                std::printf("  %-30s / %-32s %6.2f\n", subject, reference, s->second / r->second);
            }
        }
    }

private:
    std::map<std::string, double> m_times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
