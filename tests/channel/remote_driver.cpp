// A small program of this project for tests with two processes. It prints
// the port of its own login server on its first output line and runs
// until its standard input closes (at most 60 seconds).
//
//   remote_driver serve          a local channel 0 fed with moving pictures
//   remote_driver relay <port>   a remote channel 0 watching channel 0 at
//                                127.0.0.1:<port>, served again to viewers

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "channel/av_channel.h"
#include "channel_fakes.h"
#include "fixed_account_host.h"
#include "media/codec_layer.h"
#include "media/osd_text.h"
#include "media/pixel_formats.h"
#include "netservice/login_server.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"
#include "settings/settings.h"

namespace {

constexpr uint32_t kLoopback = 0x7F000001u;

bool InputClosed() {
    pollfd p{0, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0)
        return false;
    char c;
    return ::read(0, &c, 1) <= 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const bool relay = std::strcmp(argv[1], "relay") == 0;
    if (relay && argc < 3)
        return 2;
    if (CodecInit() != 1)
        return 3;
    InitOsdFont();
    g_Settings = Settings{};
    g_Settings.nChConfigNum = 1;

    auto channel = std::make_unique<CAVChannel>(0);
    g_pAVChannel[0] = channel.get();
    g_nChannelCount = 1;
    if (relay) {
        channel->SetRemoteLogin("viewer", "secret");
        PostThreadMessage(channel->GetMsgThreadId(), WM_CHANNEL_CONNECT, kLoopback,
                          std::atoi(argv[2]) & 0xFFFF);
    } else {
        CodecParams p;
        p.byVideoType = VCODEC_H264;
        p.byAudioType = ACODEC_MP3;
        p.nVideoKbps = 256;
        p.nAudioKbps = 32;
        p.nWidth = 352;
        p.nHeight = 288;
        channel->SetEncodeParams(p);
        channel->StartLocal(0, -1);
    }

    LoginServerConfig config;
    config.port = 0;
    config.bindIp = kLoopback;
    FixedAccountHost host;
    config.host = &host;
    if (!StartLoginServer(config))
        return 4;
    for (int i = 0; i < 500 && !IsLoginServerListening(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::printf("%u\n", GetLoginServerPort());
    std::fflush(stdout);

    // The DrawVideo role: a draw request every 40 ms.
    const int pitch = 352 * 4;
    std::vector<uint8_t> surface(static_cast<size_t>(pitch) * 288);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (int n = 0; !InputClosed() && std::chrono::steady_clock::now() < end; ++n) {
        if (!relay) {
            const auto picture = MovingPicture(352, 288, n);
            channel->OnVideoFrame(picture.data(), static_cast<int>(picture.size()), 352, 288, 352);
        } else if (!channel->IsActive() && channel->CanConnectRemote() && n % 25 == 0) {
            // The reconnect timer.
            channel->SetRemoteLogin("viewer", "secret");
            PostThreadMessage(channel->GetMsgThreadId(), WM_CHANNEL_CONNECT, kLoopback,
                              std::atoi(argv[2]) & 0xFFFF);
        }
        int w = 0, h = 0;
        channel->GetDisplayFrame(surface.data(), PIXFMT_RGB32, &w, &h, pitch);
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    StopLoginServer();
    g_pAVChannel[0] = nullptr;
    g_nChannelCount = 0;
    channel.reset();
    CodecCleanup();
    return 0;
}
