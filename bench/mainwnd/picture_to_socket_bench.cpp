// The time from a picture entering a local H.264 channel (capture hand-over
// and display step) to its packet arriving at a loopback viewer of the
// login server, against the bare encode of the same pictures in the same
// run. Reports both 95th percentiles (goal: under 50 ms from picture to
// socket) and their ratio.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "channel/av_channel.h"
#include "mainwnd/channel_session_host.h"
#include "media/codec_layer.h"
#include "media/osd_text.h"
#include "media/pixel_formats.h"
#include "netservice/login_server.h"
#include "netservice/net_command.h"
#include "platform/net/net_connect.h"
#include "platform/net/net_transfer.h"
#include "platform/net/net_wait.h"
#include "settings/globals.h"
#include "settings/settings.h"

namespace {

constexpr uint32_t kLoopback = 0x7F000001u;
constexpr int kPictures = 150;
using Clock = std::chrono::steady_clock;

CodecParams Params() {
    CodecParams p;
    p.byVideoType = VCODEC_H264;
    p.byAudioType = ACODEC_MP3;
    p.nVideoKbps = 256;
    p.nAudioKbps = 32;
    p.nWidth = 352;
    p.nHeight = 288;
    return p;
}

std::vector<uint8_t> Picture(int n) {
    std::vector<uint8_t> p(352 * 288 * 3 / 2, 128);
    for (int y = 0; y < 288; ++y)
        for (int x = 0; x < 352; ++x)
            p[y * 352 + x] = static_cast<uint8_t>(x + y + n * 3 + ((x / 16 == n % 22) ? 90 : 0));
    return p;
}

bool ReadBytes(NetSocket s, size_t n, std::vector<uint8_t>* out) {
    out->resize(n);
    size_t got = 0;
    while (got < n) {
        if (WaitReadable(s, 5000) != WaitResult::Ready)
            return false;
        int r = RecvSome(s, out->data() + got, static_cast<int>(n - got));
        if (r <= 0)
            return false;
        got += static_cast<size_t>(r);
    }
    return true;
}

double P95(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, v.size() * 95 / 100)];
}

void BM_PictureToSocket(benchmark::State& state) {
    IgnoreBrokenPipeSignal();
    CodecInit();
    InitOsdFont();
    g_Settings = Settings{};
    std::strcpy(g_Settings.System.sUserName[0], "viewer");
    std::strcpy(g_Settings.System.sUserPassword[0], "secret");
    g_Settings.System.byUserChannel[0][0] = 1;
    std::vector<std::vector<uint8_t>> pictures;
    for (int i = 0; i < kPictures; ++i)
        pictures.push_back(Picture(i));

    double road = 0, encode = 0;
    for (auto _ : state) {
        // The reference: the bare encoder on the same pictures.
        CodecParams params = Params();
        CodecSlot* enc = CodecOpenEncoder(&params);
        std::vector<uint8_t> out(CODEC_VIDEO_OUT_BYTES);
        std::vector<double> encodeMs;
        for (int i = 0; i < kPictures; ++i) {
            int key = 0;
            const auto t0 = Clock::now();
            CodecEncodeVideo(enc, pictures[i].data(), out.data(), i == 0, &key, 0, 0);
            encodeMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
        CodecCloseSlot(enc, 0);

        auto channel = std::make_unique<CAVChannel>(0);
        channel->SetEncodeParams(Params());
        channel->StartLocal(0, -1);
        g_pAVChannel[0] = channel.get();
        g_nChannelCount = 1;
        LoginServerConfig config;
        config.port = 0;
        config.bindIp = kLoopback;
        config.host = GetChannelSessionHost();
        StartLoginServer(config);
        while (!IsLoginServerListening())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        NetSocket viewer = CreateTcpSocket();
        ConnectState s = BeginConnect(viewer, kLoopback, GetLoginServerPort());
        while (s == ConnectState::InProgress)
            s = WaitConnect(viewer);
        std::string login;
        BuildLoginPayload("viewer", "secret", &login);
        uint8_t msg[64];
        size_t n = BuildNetCommandMessage(NETCMD_LOGIN, 0, login.data(), login.size(), msg);
        SendAll(viewer, msg, n);
        const uint8_t open[2] = {0, 0};
        n = BuildNetCommandMessage(NETCMD_OPEN_CHANNEL, 0, open, 2, msg);
        SendAll(viewer, msg, n);
        std::vector<uint8_t> answer;
        ReadBytes(viewer, 12 + 12, &answer);  // LOGIN_OK, OPEN_OK

        std::vector<uint8_t> surface(352 * 4 * 288);
        std::vector<double> roadMs;
        for (int i = 0; i < kPictures; ++i) {
            const auto t0 = Clock::now();
            channel->OnVideoFrame(pictures[i].data(), static_cast<int>(pictures[i].size()), 352,
                                  288, 352);
            int w = 0, h = 0;
            channel->GetDisplayFrame(surface.data(), PIXFMT_RGB32, &w, &h, 352 * 4);
            std::vector<uint8_t> word, payload;
            if (!ReadBytes(viewer, 4, &word))
                break;
            const uint32_t header = word[0] | word[1] << 8 | word[2] << 16 | word[3] << 24;
            if (!ReadBytes(viewer, (header >> 5) & 0x3FFFF, &payload))
                break;
            roadMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        CloseSocket(viewer);
        StopLoginServer();
        g_pAVChannel[0] = nullptr;
        g_nChannelCount = 0;
        channel.reset();
        road += P95(roadMs);
        encode += P95(encodeMs);
    }
    road /= static_cast<double>(state.iterations());
    encode /= static_cast<double>(state.iterations());
    state.counters["picture_to_socket_p95_ms"] = road;
    state.counters["bare_encode_p95_ms"] = encode;
    state.counters["road_over_encode"] = encode > 0 ? road / encode : 0;
    CodecCleanup();
}
BENCHMARK(BM_PictureToSocket)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
