#pragma once
// Set-up of the remote channel tests: a remote channel (number 1) next to
// the base's local channel (number 0) in the channel table, the login
// server on a system-chosen loopback port, a fake DrawVideo thread id, and
// encoded stream packets made with the codec layer.

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "channel_test_base.h"
#include "fixed_account_host.h"
#include "media/picture_size.h"
#include "media/pixel_formats.h"
#include "netservice/login_server.h"
#include "netservice/stream_header.h"
#include "platform/msgbox/message_box.h"
#include "platform/net/net_socket.h"
#include "platform/threads/thread_messages.h"

constexpr uint32_t kLoopback = 0x7F000001u;

struct WirePacket {
    StreamHeader header;
    std::vector<uint8_t> payload;
    bool operator==(const WirePacket&) const = default;
};

inline std::vector<uint8_t> ToWire(const std::vector<WirePacket>& packets) {
    std::vector<uint8_t> out;
    for (const WirePacket& p : packets) {
        uint8_t word[4];
        WriteStreamHeader(word, p.header);
        out.insert(out.end(), word, word + 4);
        out.insert(out.end(), p.payload.begin(), p.payload.end());
    }
    return out;
}

// Video packets as a local channel sends them; key frames where asked.
inline std::vector<WirePacket> EncodeVideo(CodecParams params, int frames,
                                           const std::vector<int>& keys = {0}) {
    std::vector<WirePacket> out;
    CodecSlot* encoder = CodecOpenEncoder(&params);
    EXPECT_NE(encoder, nullptr);
    if (encoder == nullptr)
        return out;
    StreamHeader tmpl = VIDEO_HEADER_TEMPLATE;
    SetHeaderCodecType(tmpl, params.byVideoType);
    SetHeaderPicSizeCode(tmpl, GetPicSizeCode(params.nWidth, params.nHeight));
    std::vector<uint8_t> buffer(CODEC_VIDEO_OUT_BYTES);
    for (int i = 0; i < frames; ++i) {
        const auto picture = MovingPicture(params.nWidth, params.nHeight, i);
        const bool force = std::find(keys.begin(), keys.end(), i) != keys.end();
        int key = 0;
        const int n =
            CodecEncodeVideo(encoder, picture.data(), buffer.data(), force ? 1 : 0, &key, 0, 0);
        if (n > 0) {
            out.push_back({CompleteVideoHeader(tmpl, key != 0, static_cast<uint32_t>(n), 1),
                           std::vector<uint8_t>(buffer.begin(), buffer.begin() + n)});
        }
    }
    CodecCloseSlot(encoder, 0);
    return out;
}

// A sound packet of the given codec code holding junk the decoder refuses.
inline WirePacket SoundPacket(uint8_t codec, int length = 40) {
    StreamHeader tmpl = AUDIO_HEADER_TEMPLATE;
    SetHeaderCodecType(tmpl, codec);
    return {CompleteAudioHeader(tmpl, static_cast<uint32_t>(length)),
            std::vector<uint8_t>(length, 0x11)};
}

inline std::vector<WirePacket> DrainQueue(CStreamQueue& queue) {
    std::vector<WirePacket> out;
    std::vector<uint8_t> buffer(PACKET_BUFFER_SIZE);
    StreamHeader header = 0;
    int n = 0;
    while ((n = queue.Pop(buffer.data(), &header, PACKET_BUFFER_SIZE)) > 0)
        out.push_back({header, std::vector<uint8_t>(buffer.begin(), buffer.begin() + n)});
    return out;
}

class RemoteTestBase : public ChannelTestBase {
protected:
    void SetUp() override {
        ChannelTestBase::SetUp();
        IgnoreBrokenPipeSignal();
        drawVideo_ = RegisterThreadQueue();
        g_dwDrawVideoThreadId = drawVideo_;
        remote_ = std::make_unique<CAVChannel>(1);
        g_pAVChannel[1] = remote_.get();
        g_nChannelCount = 2;
    }
    void TearDown() override {
        StopLoginServer();
        if (silent_ != INVALID_NET_SOCKET)
            CloseSocket(silent_);
        g_pAVChannel[0] = nullptr;
        g_pAVChannel[1] = nullptr;
        g_nChannelCount = 0;
        remote_.reset();
        ChannelTestBase::TearDown();
        UnregisterThreadQueue();
    }

    // The base's local channel as channel 0 of the table.
    CAVChannel& MakeServedLocal(CodecParams params = H264Params()) {
        CAVChannel& local = MakeLocal(0, params);
        g_pAVChannel[0] = &local;
        return local;
    }

    uint16_t StartServer() {
        LoginServerConfig config;
        config.port = 0;
        config.bindIp = kLoopback;
        config.host = &host_;
        EXPECT_TRUE(StartLoginServer(config));
        EXPECT_TRUE(WaitFor([] { return IsLoginServerListening(); }));
        return GetLoginServerPort();
    }

    // A port that accepts connections (into its backlog) and never answers.
    uint16_t SilentPort() {
        silent_ = OpenListener(0, 4, kLoopback);
        EXPECT_NE(silent_, INVALID_NET_SOCKET);
        return GetLocalPort(silent_);
    }

    uint16_t silentPort() const {
        return silent_ != INVALID_NET_SOCKET ? GetLocalPort(silent_) : 0;
    }

    void Connect(uint16_t port, int channel = 0, const char* user = "viewer",
                 const char* password = "secret") {
        EXPECT_EQ(remote_->SetRemoteLogin(user, password), 1);
        PostThreadMessage(remote_->GetMsgThreadId(), WM_CHANNEL_CONNECT, kLoopback,
                          static_cast<LPARAM>(port) | (static_cast<LPARAM>(channel) << 16));
    }
    void Disconnect(uint32_t connection = 0) {
        PostThreadMessage(remote_->GetMsgThreadId(), WM_CHANNEL_DISCONNECT, connection, 0);
    }

    // Remote mode on a silent port, ready for packets handed to its parser.
    void ConnectSilently() {
        Connect(SilentPort());
        ASSERT_TRUE(WaitFor([&] { return remote_->IsRemote(); }));
    }
    void Feed(const std::vector<WirePacket>& packets) {
        const auto wire = ToWire(packets);
        ASSERT_TRUE(remote_->ParseStreamData(wire.data(), static_cast<int>(wire.size())));
    }

    bool HasLogLine(const std::string& text) {
        for (const LogLine& line : services_.host.Lines()) {
            if (line.text == text)
                return true;
        }
        return false;
    }
    int CountLogLines(const std::string& text) {
        int n = 0;
        for (const LogLine& line : services_.host.Lines())
            n += line.text == text ? 1 : 0;
        return n;
    }

    // The WM_CHANNEL_STOPPED messages the fake DrawVideo got so far.
    std::vector<WPARAM> StoppedChannels() {
        ThreadMessage msg;
        while (PeekMessage(&msg)) {
            if (msg.message == WM_CHANNEL_STOPPED)
                stopped_.push_back(msg.wParam);
        }
        return stopped_;
    }

    FixedAccountHost host_;
    std::unique_ptr<CAVChannel> remote_;
    ThreadId drawVideo_ = 0;
    NetSocket silent_ = INVALID_NET_SOCKET;
    std::vector<WPARAM> stopped_;
};
