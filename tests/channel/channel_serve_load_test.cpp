// Several local channels served to three viewers each on loopback, with a
// slow and a stalled viewer among them. Kept to a few seconds of stream.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "netservice/loopback_client.h"
#include "remote_test_base.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Viewer {
    enum Kind { Fast, Slow, Stalled };
    Viewer(uint16_t port, int channel, Kind kind) : client(port, kind == Fast ? 0 : 4096), channel(channel), kind(kind) {}
    LoopbackClient client;
    int channel;
    Kind kind;
    std::vector<WirePacket> packets;
    bool framed = true;
    std::atomic<bool> throttle{true};  // the slow one reads slowly while this is set
    std::thread reader;

    // Logs in and opens the channel; then reads until the server closes.
    bool Open() {
        if (!client.Send(LoginBytes("viewer", "secret") + OpenBytes(static_cast<uint8_t>(channel))))
            return false;
        uint8_t code = 0;
        std::string payload;
        return client.ReadAnswer(&code, &payload) && code == NETCMD_LOGIN_OK &&
               client.ReadAnswer(&code, &payload) && code == NETCMD_OPEN_OK;
    }
    void Start() {
        reader = std::thread([this] {
            if (kind == Stalled)
                return;
            StreamHeader h = 0;
            std::vector<uint8_t> payload;
            while (client.ReadPacket(&h, &payload, 10000)) {
                // Every header names a video packet of the channel's codec and size.
                framed = framed && IsVideoPacket(h) && GetCodecType(h) == VCODEC_H264 &&
                         GetPicSizeCodeOf(h) == PICSIZE_352X288 && payload.size() >= 4;
                packets.push_back({h, payload});
                if (kind == Slow && throttle.load()) {
                    // About 20 KB/s, below the stream's rate.
                    std::this_thread::sleep_for(std::chrono::microseconds(payload.size() * 50));
                }
            }
        });
    }
};

// Whether part is all taken from full in order, and wherever it skipped
// packets it resumes at a key frame.
bool IsSkippingSubsequence(const std::vector<WirePacket>& part,
                           const std::vector<WirePacket>& full) {
    size_t j = 0;
    bool first = true;
    for (const WirePacket& p : part) {
        size_t k = j;
        while (k < full.size() && !(full[k] == p))
            ++k;
        if (k == full.size())
            return false;
        if ((first || k != j) && !IsKeyFrame(p.header))
            return false;
        first = false;
        j = k + 1;
    }
    return true;
}

int DecodedPictures(const std::vector<WirePacket>& packets) {
    CodecParams params = H264Params();
    CodecSlot* decoder = CodecOpenDecoder(&params);
    if (decoder == nullptr)
        return -1;
    int n = 0;
    for (const WirePacket& p : packets) {
        DecodedPicture picture;
        n += CodecDecodeVideo(decoder, p.payload.data(), static_cast<int>(p.payload.size()),
                              &picture, 0, IsKeyFrame(p.header) ? 1 : 0, 0) > 0
                 ? 1
                 : 0;
    }
    CodecCloseSlot(decoder, 0);
    return n;
}

// A picture of fresh noise: every frame costs the encoder its full rate.
std::vector<uint8_t> NoisePicture(int n) {
    std::vector<uint8_t> p = FlatPicture(352, 288);
    uint32_t x = 2654435761u * static_cast<uint32_t>(n + 1);
    for (int i = 0; i < 352 * 288; ++i) {
        x = x * 1664525u + 1013904223u;
        p[i] = static_cast<uint8_t>(x >> 24);
    }
    return p;
}

class ServeLoadTest : public RemoteTestBase {};

TEST_F(ServeLoadTest, ThreeViewersOnEachChannelStayFramedWhileASlowOneSkipsToKeyFrames) {
    CodecParams params = H264Params();
    params.nVideoKbps = 3000;  // well above what the slow viewer reads
    CAVChannel& first = MakeServedLocal(params);
    CAVChannel second(2);
    second.SetEncodeParams(params);
    second.StartLocal(0, -1);
    g_pAVChannel[2] = &second;
    g_nChannelCount = 3;

    const uint16_t port = StartServer();
    std::vector<std::unique_ptr<Viewer>> viewers;
    const std::pair<int, Viewer::Kind> plan[] = {{0, Viewer::Fast}, {0, Viewer::Fast},
                                                 {0, Viewer::Slow}, {2, Viewer::Fast},
                                                 {2, Viewer::Fast}, {2, Viewer::Stalled}};
    for (const auto& [channel, kind] : plan) {
        viewers.push_back(std::make_unique<Viewer>(port, channel, kind));
        ASSERT_TRUE(viewers.back()->Open());
        viewers.back()->Start();
    }
    for (int i = 0; i < 150; ++i) {
        ASSERT_TRUE(Pump(first, NoisePicture(i)));
        ASSERT_TRUE(Pump(second, NoisePicture(i + 1000)));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    // The server's stop ends every connection, the stalled one included.
    const auto start = Clock::now();
    StopLoginServer();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    for (auto& v : viewers) {
        v->throttle = false;
        v->reader.join();
    }
    g_pAVChannel[2] = nullptr;

    for (int channel : {0, 2}) {
        SCOPED_TRACE(channel);
        std::vector<const Viewer*> fast;
        for (auto& v : viewers) {
            if (v->channel == channel && v->kind == Viewer::Fast)
                fast.push_back(v.get());
        }
        ASSERT_EQ(fast.size(), 2u);
        // Viewers that keep up get every packet, from a key frame on.
        EXPECT_TRUE(fast[0]->framed);
        EXPECT_GE(fast[0]->packets.size(), 140u);
        EXPECT_TRUE(IsSkippingSubsequence(fast[0]->packets, fast[1]->packets) ||
                    IsSkippingSubsequence(fast[1]->packets, fast[0]->packets));
        EXPECT_EQ(DecodedPictures(fast[0]->packets), static_cast<int>(fast[0]->packets.size()));
    }
    const Viewer& slow = *viewers[2];
    const Viewer& reference = *viewers[0];
    EXPECT_TRUE(slow.framed);
    EXPECT_FALSE(slow.packets.empty());
    EXPECT_LT(slow.packets.size(), reference.packets.size());
    EXPECT_TRUE(IsSkippingSubsequence(slow.packets, reference.packets));
    EXPECT_EQ(DecodedPictures(slow.packets), static_cast<int>(slow.packets.size()));
}

}  // namespace
