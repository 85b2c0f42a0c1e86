// A remote channel's connection: against this process's own login server
// serving a local channel, and against ports that refuse or stay silent.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "remote_test_base.h"
#include "support/refusing_port.h"

namespace {

using Clock = std::chrono::steady_clock;

// The video packets of a record file, in file order, as ffmpeg copies them.
std::vector<uint8_t> RecordedVideoBytes(const std::string& path) {
    const std::string out = path + ".video";
    const std::string cmd = "/usr/bin/ffmpeg -v error -y -i '" + path +
                            "' -map 0:v -c copy -f data '" + out + "' 2>/dev/null";
    if (std::system(cmd.c_str()) != 0)
        return {};
    std::ifstream in(out, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The key flag of every video chunk in the AVI file's first index (idx1).
std::vector<bool> AviIndexVideoKeys(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> d(std::istreambuf_iterator<char>(in), {});
    const uint8_t tag[] = {'i', 'd', 'x', '1'};
    auto it = std::search(d.begin(), d.end(), tag, tag + 4);
    std::vector<bool> keys;
    if (it == d.end() || d.end() - it < 8)
        return keys;
    const size_t at = static_cast<size_t>(it - d.begin());
    auto u32 = [&](size_t i) {
        return static_cast<uint32_t>(d[i] | d[i + 1] << 8 | d[i + 2] << 16 | d[i + 3] << 24);
    };
    const size_t entries = u32(at + 4) / 16;
    for (size_t e = 0; e < entries && at + 8 + e * 16 + 16 <= d.size(); ++e) {
        const size_t p = at + 8 + e * 16;
        if (d[p] == '0' && d[p + 1] == '0' && d[p + 2] == 'd')
            keys.push_back((u32(p + 4) & 0x10) != 0);  // AVIIF_KEYFRAME
    }
    return keys;
}

// Whether the bytes are the payloads of packets[k..k+n) for a key frame k,
// with the file's key flags; n = keys.size().
bool IsRunOfSentPackets(const std::vector<uint8_t>& bytes, const std::vector<bool>& keys,
                        const std::vector<WirePacket>& packets) {
    for (size_t k = 0; k + keys.size() <= packets.size(); ++k) {
        std::vector<uint8_t> run;
        bool keysMatch = keys.empty() || keys[0];
        for (size_t j = 0; j < keys.size(); ++j) {
            run.insert(run.end(), packets[k + j].payload.begin(), packets[k + j].payload.end());
            keysMatch = keysMatch && keys[j] == IsKeyFrame(packets[k + j].header);
        }
        if (keysMatch && run == bytes)
            return true;
    }
    return false;
}

bool IsContiguousRun(const std::vector<WirePacket>& part, const std::vector<WirePacket>& all) {
    if (part.empty())
        return false;
    auto it = std::search(all.begin(), all.end(), part.begin(), part.end());
    return it != all.end();
}

struct StreamCase {
    const char* name;
    CodecParams params;
};

class RemoteStreamTest : public RemoteTestBase, public ::testing::WithParamInterface<StreamCase> {};

TEST_P(RemoteStreamTest, ReceivesRelaysRecordsAndShowsALocalChannel) {
    const CodecParams params = GetParam().params;
    std::filesystem::create_directory("rec");
    services_.host.SetRecordFolder("C:\\rec");
    CAVChannel& local = MakeServedLocal(params);
    CStreamQueue sent;  // what the local channel sends to every viewer
    ASSERT_EQ(local.AddViewer(&sent), 1);
    CStreamQueue relayed;  // a viewer of the remote channel
    ASSERT_EQ(remote_->AddViewer(&relayed), 1);
    remote_->bManualRecord = 1;

    Connect(StartServer());
    ASSERT_TRUE(WaitFor([&] { return HasLogLine("Open ch0 in 127.0.0.1 OK!"); }));
    EXPECT_TRUE(HasLogLine("Ip: 127.0.0.1 login success!"));
    // The server logs its open after its answer went out.
    EXPECT_TRUE(WaitFor([&] { return HasLogLine("Ip: 127.0.0.1 open channel 0 OK!"); }));

    int shown = 0;
    int width = 0;
    int height = 0;
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(Pump(local, MovingPicture(params.nWidth, params.nHeight, i), params.nWidth,
                         params.nHeight));
        const auto end = Clock::now() + std::chrono::seconds(2);
        while (Clock::now() < end) {
            Show(*remote_, PIXFMT_RGB32, &width, &height);
            if (width > 0)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        shown += width > 0 ? 1 : 0;
    }
    EXPECT_GE(shown, 20);
    EXPECT_EQ(width, params.nWidth);
    EXPECT_EQ(height, params.nHeight);
    const CodecParams decoder = remote_->GetDecodeParams();
    EXPECT_EQ(decoder.byVideoType, params.byVideoType);

    Disconnect();
    ASSERT_TRUE(WaitFor([&] { return !remote_->IsActive(); }));
    EXPECT_TRUE(WaitFor([&] {
        const auto s = StoppedChannels();
        return std::find(s.begin(), s.end(), 1u) != s.end();
    }));

    const auto packets = DrainQueue(sent);
    const auto relayedPackets = DrainQueue(relayed);
    EXPECT_TRUE(IsContiguousRun(relayedPackets, packets));
    EXPECT_TRUE(IsVideoKeyFrame(relayedPackets.front().header));

    const auto files = ListFiles("rec", "CH02_", ".avi");
    ASSERT_EQ(files.size(), 1u);
    const std::string path = "rec/" + files[0];
    const auto flags = ProbeVideoFlags(path);
    ASSERT_GE(flags.size(), 10u);
    // The key flags as the file's index holds them (ffprobe's H.263 reader
    // marks every packet a key frame).
    const auto keys = AviIndexVideoKeys(path);
    ASSERT_EQ(keys.size(), flags.size());
    EXPECT_TRUE(IsRunOfSentPackets(RecordedVideoBytes(path), keys, packets));
}

INSTANTIATE_TEST_SUITE_P(Codecs, RemoteStreamTest,
                         ::testing::Values(StreamCase{"H264_352x288", H264Params()},
                                           StreamCase{"H263_176x144",
                                                      [] {
                                                          CodecParams p = H264Params(176, 144);
                                                          p.byVideoType = VCODEC_H263;
                                                          return p;
                                                      }()}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RemoteTestBase, ReapplyLogsInWithTheNewLoginAndSurvivesTheOldThreadsEnd) {
    MakeServedLocal();
    const uint16_t port = StartServer();
    Connect(port, 0, "viewer", "wrong");
    ASSERT_TRUE(WaitFor([&] { return HasLogLine("Login ip: 127.0.0.1 Failed!"); }));
    ASSERT_TRUE(WaitFor([&] { return !remote_->IsActive() && remote_->CanConnectRemote(); }));

    Connect(port);
    ASSERT_TRUE(WaitFor([&] { return HasLogLine("Open ch0 in 127.0.0.1 OK!"); }));
    const uint32_t first = remote_->GetConnectionNumber();

    // The setup dialog's re-apply: new login, then disconnect and connect
    // in a row. The first thread's own end arrives after the new connect.
    ASSERT_EQ(remote_->SetRemoteLogin("viewer", "secret"), 1);
    Disconnect();
    Connect(port);
    ASSERT_TRUE(WaitFor([&] { return CountLogLines("Open ch0 in 127.0.0.1 OK!") == 2; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(remote_->IsRemote());
    EXPECT_NE(remote_->GetConnectionNumber(), first);
    EXPECT_NE(remote_->GetConnectionNumber(), 0u);
}

TEST_F(RemoteTestBase, RefusedConnectEndsAtOnceAndLeavesTheChannelIdle) {
    const RefusingLoopbackPort refusing;
    ASSERT_NE(refusing.port(), 0);
    const auto start = Clock::now();
    Connect(refusing.port());
    ASSERT_TRUE(WaitFor([&] {
        const auto s = StoppedChannels();
        return std::find(s.begin(), s.end(), 1u) != s.end();
    }));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    EXPECT_FALSE(remote_->IsActive());
    EXPECT_TRUE(remote_->CanConnectRemote());
    EXPECT_FALSE(remote_->HasDecoder());
}

TEST_F(RemoteTestBase, OnlyTheCurrentConnectionsOwnDisconnectEndsIt) {
    ConnectSilently();
    const uint32_t connection = remote_->GetConnectionNumber();
    ASSERT_NE(connection, 0u);
    Disconnect(connection + 1);
    // A connect while connected is ignored: the port stays.
    Connect(1);
    // Messages are served in order: the snapshot request marks the others done.
    PostThreadMessage(remote_->GetMsgThreadId(), WM_CHANNEL_SNAPSHOT, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return remote_->nPendingSnapshots.load() == 1; }));
    EXPECT_TRUE(remote_->IsRemote());
    EXPECT_EQ(remote_->GetRemotePort(), silentPort());
    Disconnect(connection);
    ASSERT_TRUE(WaitFor([&] { return !remote_->IsActive(); }));
    EXPECT_EQ(remote_->GetRemotePort(), 0);
    EXPECT_EQ(remote_->GetConnectionNumber(), 0u);
}

TEST_F(RemoteTestBase, ConnectStopsTheLocalModeFirst) {
    CAVChannel& local = MakeServedLocal();
    ASSERT_TRUE(local.HasEncoder());
    remote_.reset();
    g_pAVChannel[1] = nullptr;
    uint16_t port = SilentPort();
    ASSERT_EQ(local.SetRemoteLogin("viewer", "secret"), 1);
    PostThreadMessage(local.GetMsgThreadId(), WM_CHANNEL_CONNECT, kLoopback, port);
    ASSERT_TRUE(WaitFor([&] { return local.IsRemote(); }));
    EXPECT_FALSE(local.HasEncoder());
    EXPECT_TRUE(local.HasDecoder());
    local.StartLocal(0, 0);
    EXPECT_TRUE(local.IsLocal());
    EXPECT_FALSE(local.HasRecvThread());
    EXPECT_FALSE(local.HasDecoder());
}

TEST_F(RemoteTestBase, LoginTextsLongerThanThirtyCharactersAreRefused) {
    const std::string thirty(30, 'u');
    EXPECT_EQ(remote_->SetRemoteLogin(thirty.c_str(), thirty.c_str()), 1);
    EXPECT_EQ(remote_->SetRemoteLogin((thirty + "x").c_str(), ""), 0);
    EXPECT_EQ(remote_->SetRemoteLogin("", (thirty + "x").c_str()), 0);
}

TEST_F(RemoteTestBase, StopOnAnIdleChannelClearsAndReportsIt) {
    remote_->StopRemote();
    EXPECT_FALSE(remote_->IsActive());
    EXPECT_EQ(StoppedChannels(), std::vector<WPARAM>{1});
}

}  // namespace
