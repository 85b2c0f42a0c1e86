// The whole local road of a picture (copy into the slot, stamp, motion,
// conversion into a surface, H.264 encode, queueing to three viewers and
// writing the record file) for 1 and 16 channels at 352 x 288, against the
// bare H.264 encode of the same pictures (libx264 through the codec layer,
// same settings, one encoder per channel fed in turn) measured in the same
// run. Costs are process CPU time, so
// the channel threads' work counts wherever it runs.
//
//   road_vs_bare     road CPU per picture over bare encode CPU per picture
//   display_only_us  CPU per picture of the road without encoder outputs
//   bare_file_us     bare encode that also writes the record file
//   cores_16x25    cores the road takes for 16 channels of 25 pictures/s

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "channel/av_channel.h"
#include "channel/channel_services.h"
#include "media/codec_layer.h"
#include "media/osd_text.h"
#include "media/pixel_formats.h"
#include "netservice/stream_queue.h"
#include "settings/globals.h"
#include "settings/settings.h"

namespace {

constexpr int kW = 352;
constexpr int kH = 288;
constexpr int kPictures = 25;

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

std::vector<std::vector<uint8_t>> Pictures() {
    std::vector<std::vector<uint8_t>> pics;
    for (int n = 0; n < kPictures; ++n) {
        std::vector<uint8_t> yuv(kW * kH * 3 / 2, 128);
        for (int r = 0; r < kH; ++r) {
            for (int c = 0; c < kW; ++c) {
                yuv[r * kW + c] = static_cast<uint8_t>(((c + 3 * n) ^ (r + n)) & 0xFF);
            }
        }
        pics.push_back(std::move(yuv));
    }
    return pics;
}

CodecParams Params() {
    CodecParams p;
    p.byVideoType = VCODEC_H264;
    p.byAudioType = ACODEC_MP3;
    p.nVideoKbps = 512;
    p.nAudioKbps = 32;
    p.nWidth = kW;
    p.nHeight = kH;
    return p;
}

class BenchHost final : public IChannelHost {
public:
    void WriteLogEntry(int, int, const char*) override {}
    std::string GetRecordFolder() override { return "C:\\rec"; }
    std::string GetSnapshotFolder() override { return {}; }
};

// A private folder for the record files, removed at the end.
class TempFolder {
public:
    TempFolder() {
        char cwd[4096];
        previous_ = getcwd(cwd, sizeof cwd) != nullptr ? cwd : ".";
        std::string pattern = (std::filesystem::temp_directory_path() / "qvbench.XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) {
            std::abort();
        }
        path_ = pattern;
        std::filesystem::create_directory("rec");
    }
    ~TempFolder() {
        if (chdir(previous_.c_str()) != 0) {
            std::abort();
        }
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

private:
    std::string previous_;
    std::string path_;
};

// One encoder per channel, fed in turn on this thread, as the road's
// encoders are; toFile also writes each packet into an open record file.
double BareEncodeCpuPerPicture(int encoders, int rounds, bool toFile) {
    const auto pics = Pictures();
    CodecParams p = Params();
    std::vector<CodecSlot*> slots;
    for (int n = 0; n < encoders; ++n) {
        CodecSlot* slot = CodecOpenEncoder(&p);
        if (slot == nullptr) {
            return -1;
        }
        if (toFile) {
            const std::string name = "C:\\rec\\bare" + std::to_string(n) + ".avi";
            CodecOpenRecordFile(slot, name.c_str(), g_nUptimeSeconds.load());
        }
        slots.push_back(slot);
    }
    std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
    const double t0 = CpuSeconds();
    for (int i = 0; i < rounds; ++i) {
        for (CodecSlot* slot : slots) {
            int key = 0;
            CodecEncodeVideo(slot, pics[i % kPictures].data(), out.data(), i == 0, &key,
                             toFile ? 1 : 0, g_nUptimeSeconds.load());
        }
    }
    const double t1 = CpuSeconds();
    for (CodecSlot* slot : slots) {
        CodecCloseRecordFile(slot, g_nUptimeSeconds.load());
        CodecCloseSlot(slot, g_nUptimeSeconds.load());
    }
    return (t1 - t0) / (static_cast<double>(rounds) * encoders);
}

bool AllSlotsFree(CAVChannel& channel) {
    for (int i = 0; i < FRAME_SLOT_COUNT; ++i) {
        if (channel.GetSlotState(i) != SLOT_FREE) {
            return false;
        }
    }
    return true;
}

// encode = false: no viewer and no recording, so the pictures stop after
// the display step (the road's cost without the encoder and its outputs).
double RoadCpuPerPicture(int channels, int rounds, bool encode) {
    const auto pics = Pictures();
    std::vector<std::unique_ptr<CAVChannel>> road;
    std::vector<std::unique_ptr<CStreamQueue>> viewers;
    for (int n = 0; n < channels; ++n) {
        std::snprintf(g_Settings.Record[n].chname, sizeof g_Settings.Record[n].chname, "Cam %d",
                      n + 1);
        g_Settings.Record[n].osddate = 1;
        g_Settings.Record[n].osdtime = 1;
        // Motion is scanned either way; only the full road lets it alarm
        // (which would record).
        g_Settings.Schedule[n].byMotionMask[27] = encode ? 1 : 0;
        g_Settings.Schedule[n].byMotionSmart = 10;
        g_Settings.Schedule[n].nMotionRecordTime = 15;
        auto channel = std::make_unique<CAVChannel>(n);
        channel->SetEncodeParams(Params());
        channel->StartLocal(n, -1);
        channel->bMotionDetect = 1;
        channel->bManualRecord = encode ? 1 : 0;
        for (int v = 0; v < (encode ? MAX_VIEWERS : 0); ++v) {
            viewers.push_back(std::make_unique<CStreamQueue>());
            channel->AddViewer(viewers.back().get());
        }
        road.push_back(std::move(channel));
    }
    std::vector<uint8_t> surface(kW * 4 * kH);
    std::vector<uint8_t> packet(PACKET_BUFFER_SIZE);
    // The first rounds touch the queues' areas and the files' first pages;
    // the steady state is measured after them.
    const int warmup = 50;
    double t0 = CpuSeconds();
    for (int round = 0; round < rounds + warmup; ++round) {
        if (round == warmup) {
            t0 = CpuSeconds();
        }
        const auto& picture = pics[round % kPictures];
        for (auto& channel : road) {
            channel->OnVideoFrame(picture.data(), static_cast<int>(picture.size()), kW, kH, kW);
            int w = 0;
            int h = 0;
            channel->GetDisplayFrame(surface.data(), PIXFMT_RGB32, &w, &h, kW * 4);
        }
        for (auto& channel : road) {
            while (!AllSlotsFree(*channel)) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        for (auto& viewer : viewers) {
            uint32_t header = 0;
            while (viewer->Pop(packet.data(), &header, static_cast<int>(packet.size())) > 0) {
            }
        }
    }
    const double t1 = CpuSeconds();
    road.clear();
    return (t1 - t0) / (static_cast<double>(rounds) * channels);
}

void BM_LocalRoad(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    TempFolder folder;
    BenchHost host;
    SetChannelHost(&host);
    CodecInit();
    InitOsdFont();
    g_Settings = Settings{};
    g_nUptimeSeconds = 100;
    const int rounds = channels == 1 ? 400 : 50;
    // Measured in turn three times; the least of each stands, which keeps
    // the load of other processes out of the ratio.
    double road = 1e9;
    double displayOnly = 1e9;
    double bare = 1e9;
    double bareFile = 1e9;
    for (auto _ : state) {
        for (int rep = 0; rep < 3; ++rep) {
            bare = std::min(bare, BareEncodeCpuPerPicture(channels, rounds, false));
            road = std::min(road, RoadCpuPerPicture(channels, rounds, true));
            bareFile = std::min(bareFile, BareEncodeCpuPerPicture(channels, rounds, true));
            displayOnly = std::min(displayOnly, RoadCpuPerPicture(channels, rounds, false));
        }
    }
    state.counters["road_us"] = road * 1e6;
    state.counters["display_only_us"] = displayOnly * 1e6;
    state.counters["bare_us"] = bare * 1e6;
    state.counters["bare_file_us"] = bareFile * 1e6;
    state.counters["road_vs_bare"] = road / bare;
    state.counters["cores_16x25"] = road * 16 * 25;
    CodecCleanup();
    SetChannelHost(nullptr);
}

}  // namespace

BENCHMARK(BM_LocalRoad)
    ->ArgName("channels")
    ->Arg(1)
    ->Arg(16)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
