// The login server on a system-chosen loopback port: its answers, its
// limits, crafted input, faults and its stop.

#include "netservice/login_server.h"

#include <dirent.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include "netservice/loopback_client.h"
#include "netservice/server_test_host.h"
#include "netservice/stream_header.h"
#include "platform/msgbox/message_box.h"

namespace {

using Clock = std::chrono::steady_clock;

int CountEntries(const char* dir) {
    int n = 0;
    if (DIR* d = ::opendir(dir)) {
        while (::readdir(d) != nullptr)
            ++n;
        ::closedir(d);
    }
    return n;
}

bool WaitUntil(const std::function<bool()>& cond, int timeoutMs = 5000) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
        if (cond())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return cond();
}

// A video packet: payload bytes counting from seed, header with the kind,
// key flag and length.
Bytes PacketPayload(int len, uint8_t seed) {
    Bytes p(len);
    for (int i = 0; i < len; ++i)
        p[i] = static_cast<uint8_t>(seed + i);
    return p;
}

StreamHeader VideoHeader(int len, bool key) {
    StreamHeader h = VIDEO_HEADER_TEMPLATE;
    h = SetStreamField(h, SH_PAYLOAD_LENGTH, len);
    h = SetStreamField(h, SH_KEY_FRAME, key ? 1 : 0);
    h = SetStreamField(h, SH_CODEC_TYPE, 1);
    h = SetStreamField(h, SH_PIC_SIZE_CODE, 5);
    return SetStreamField(h, SH_FRAME_SPAN, 1);
}

class LoginServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            std::lock_guard<std::mutex> lock(boxLock_);
            boxes_.push_back(r.text);
            return IDOK;
        });
        StartServer();
    }
    void TearDown() override {
        StopLoginServer();
        SetMessageBoxHandler({});
    }

    void StartServer(int commandPhaseMs = LOGIN_COMMAND_PHASE_MS) {
        LoginServerConfig config;
        config.port = 0;
        config.bindIp = kLoopbackIp;
        config.host = &host_;
        config.commandPhaseMs = commandPhaseMs;
        ASSERT_TRUE(StartLoginServer(config));
        ASSERT_TRUE(WaitUntil([] { return IsLoginServerListening(); }));
        port_ = GetLoginServerPort();
    }

    std::unique_ptr<LoopbackClient> Connect() {
        auto c = std::make_unique<LoopbackClient>(port_);
        EXPECT_TRUE(c->connected());
        return c;
    }

    // Logs in as viewer and opens the channel; true when OPEN_OK came.
    bool OpenViewer(LoopbackClient& c, uint8_t channel) {
        if (!c.Send(LoginBytes("viewer", "secret") + OpenBytes(channel)))
            return false;
        uint8_t code = 0;
        std::string payload;
        return c.ReadAnswer(&code, &payload) && code == NETCMD_LOGIN_OK &&
               c.ReadAnswer(&code, &payload) && code == NETCMD_OPEN_OK &&
               payload == std::string(1, char(channel));
    }

    std::vector<std::string> Boxes() {
        FlushPendingMessageBoxes();
        std::lock_guard<std::mutex> lock(boxLock_);
        return boxes_;
    }

    ServerTestHost host_;
    uint16_t port_ = 0;
    std::mutex boxLock_;
    std::vector<std::string> boxes_;
};

struct AnswerCase {
    const char* name;
    Bytes request;
    std::vector<std::pair<uint8_t, std::string>> answers;
    bool closes;
};

TEST_F(LoginServerTest, AnswersEveryRequestAsTheProtocolSays) {
    const std::vector<AnswerCase> cases = {
        {"login ok with the channel count",
         LoginBytes("viewer", "secret"),
         {{NETCMD_LOGIN_OK, std::string(1, '\x04')}},
         false},
        {"login failed keeps the connection and ignores the open",
         LoginBytes("viewer", "wrong") + OpenBytes(0),
         {{NETCMD_LOGIN_FAILED, ""}},
         false},
        {"open ok",
         LoginBytes("viewer", "secret") + OpenBytes(1),
         {{NETCMD_LOGIN_OK, "\x04"}, {NETCMD_OPEN_OK, "\x01"}},
         false},
        {"channel past the count",
         LoginBytes("viewer", "secret") + OpenBytes(4),
         {{NETCMD_LOGIN_OK, "\x04"}, {NETCMD_NULL_CHANNEL, "\x04"}},
         true},
        {"no right",
         LoginBytes("guest", "") + OpenBytes(0),
         {{NETCMD_LOGIN_OK, "\x04"}, {NETCMD_NO_RIGHT, std::string(1, '\0')}},
         true},
        {"idle channel",
         LoginBytes("viewer", "secret") + OpenBytes(3),
         {{NETCMD_LOGIN_OK, "\x04"}, {NETCMD_NULL_CHANNEL, "\x03"}},
         true},
        {"third refused login",
         LoginBytes("a", "b") + LoginBytes("a", "b") + LoginBytes("a", "b"),
         {{NETCMD_LOGIN_FAILED, ""}, {NETCMD_LOGIN_FAILED, ""}, {NETCMD_LOGIN_FAILED, ""}},
         true},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto client = Connect();
        ASSERT_TRUE(client->Send(c.request));
        for (const auto& [code, payload] : c.answers) {
            uint8_t got = 0;
            std::string gotPayload;
            ASSERT_TRUE(client->ReadAnswer(&got, &gotPayload));
            EXPECT_EQ(got, code);
            EXPECT_EQ(gotPayload, payload);
        }
        if (c.closes)
            EXPECT_TRUE(client->WaitClosed());
        else
            EXPECT_FALSE(client->WaitClosed(300));
    }
}

TEST_F(LoginServerTest, OpenedChannelCarriesFramedPacketsOfEverySize) {
    auto client = Connect();
    ASSERT_TRUE(OpenViewer(*client, 0));
    ASSERT_TRUE(WaitUntil([&] { return host_.ViewerCount(0) == 1; }));
    // Around the 1024-byte send blocks, and the largest payload a channel makes.
    const int sizes[] = {4, 1020, 1021, 2044, 5000, 256000};
    for (int i = 0; i < 6; ++i) {
        Bytes p = PacketPayload(sizes[i], static_cast<uint8_t>(i));
        host_.PushToViewers(0, p.data(), VideoHeader(sizes[i], i == 0), sizes[i]);
    }
    for (int i = 0; i < 6; ++i) {
        StreamHeader h = 0;
        Bytes payload;
        ASSERT_TRUE(client->ReadPacket(&h, &payload)) << sizes[i];
        EXPECT_EQ(h, VideoHeader(sizes[i], i == 0));
        EXPECT_EQ(payload, PacketPayload(sizes[i], static_cast<uint8_t>(i)));
    }
    EXPECT_EQ(host_.Log().back(), "Ip: 127.0.0.1 open channel 0 OK!");
}

TEST_F(LoginServerTest, FourthViewerOfAChannelIsClosedWithoutAnswer) {
    std::vector<std::unique_ptr<LoopbackClient>> viewers;
    for (int i = 0; i < 3; ++i) {
        viewers.push_back(Connect());
        ASSERT_TRUE(OpenViewer(*viewers.back(), 2));
    }
    auto fourth = Connect();
    ASSERT_TRUE(fourth->Send(LoginBytes("viewer", "secret") + OpenBytes(2)));
    uint8_t code = 0;
    std::string payload;
    ASSERT_TRUE(fourth->ReadAnswer(&code, &payload));
    EXPECT_EQ(code, NETCMD_LOGIN_OK);
    EXPECT_FALSE(fourth->ReadAnswer(&code, &payload));
    EXPECT_TRUE(fourth->WaitClosed());
    EXPECT_EQ(host_.ViewerCount(2), 3u);
}

TEST_F(LoginServerTest, SeventeenthConnectionIsClosedAtOnceAndAFreedPlaceIsReused) {
    std::vector<std::unique_ptr<LoopbackClient>> clients;
    for (int i = 0; i < MAX_NET_SESSIONS; ++i)
        clients.push_back(Connect());
    ASSERT_TRUE(WaitUntil([] { return GetLoginSessionCount() == MAX_NET_SESSIONS; }));
    auto extra = Connect();
    EXPECT_TRUE(extra->WaitClosed());

    clients[5]->Close();
    ASSERT_TRUE(WaitUntil([] { return GetLoginSessionCount() == MAX_NET_SESSIONS - 1; }));
    auto next = Connect();
    ASSERT_TRUE(next->Send(LoginBytes("viewer", "secret")));
    uint8_t code = 0;
    std::string payload;
    ASSERT_TRUE(next->ReadAnswer(&code, &payload));
    EXPECT_EQ(code, NETCMD_LOGIN_OK);
}

TEST_F(LoginServerTest, CraftedMessagesCloseTheirConnectionWhileOthersAreServed) {
    std::mt19937 random(7);
    Bytes noise(65536);
    for (uint8_t& b : noise)
        b = static_cast<uint8_t>(random());
    auto lengthWord = [](uint16_t n) {
        Bytes m = {'V', 'S', 'M', 'X', 0, 0, 0, 0, uint8_t(n), uint8_t(n >> 8), NETCMD_LOGIN};
        return m;
    };
    Bytes huge = lengthWord(0xFFFF);
    huge.resize(huge.size() + 65 * 1024, 'x');
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"N = 0", lengthWord(0)},
        {"N = 1015", lengthWord(1015)},
        {"N = 0xFFFF and 65 KB", huge},
        {"login lengths past the end", CommandBytes(NETCMD_LOGIN, std::string("\x20vi", 3))},
        {"unknown code", CommandBytes(0x21, "x")},
        {"a server's answer", CommandBytes(NETCMD_LOGIN_OK, "\x01")},
        {"another server's answer", CommandBytes(NETCMD_OPEN_OK, "\x00")},
        {"64 KB of random bytes", noise},
    };
    auto bystander = Connect();
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        auto client = Connect();
        client->Send(bytes);  // the server may close before it took everything
        EXPECT_TRUE(client->WaitClosed());
    }
    ASSERT_TRUE(bystander->Send(LoginBytes("viewer", "secret")));
    uint8_t code = 0;
    std::string payload;
    ASSERT_TRUE(bystander->ReadAnswer(&code, &payload));
    EXPECT_EQ(code, NETCMD_LOGIN_OK);
}

TEST_F(LoginServerTest, SessionStillLoggingInAfterTheCommandPhaseLimitIsClosed) {
    StopLoginServer();
    StartServer(400);
    auto silent = Connect();
    auto viewer = Connect();
    ASSERT_TRUE(OpenViewer(*viewer, 0));
    EXPECT_TRUE(silent->WaitClosed(3000));
    // A streaming viewer is past its command phase and stays.
    EXPECT_FALSE(viewer->WaitClosed(600));
    EXPECT_EQ(host_.ViewerCount(0), 1u);
}

TEST_F(LoginServerTest, ViewerThatResetsItsConnectionLeavesTheChannel) {
    // Repeated, so a leak of places, threads or descriptors would show.
    const int fds = CountEntries("/proc/self/fd");
    for (int round = 0; round < 100; ++round) {
        auto client = Connect();
        ASSERT_TRUE(OpenViewer(*client, 1));
        ASSERT_TRUE(WaitUntil([&] { return host_.ViewerCount(1) == 1; }));
        client->Reset();
        Bytes p = PacketPayload(50000, 1);
        // The sender meets the reset on a send; the server then closes it.
        ASSERT_TRUE(WaitUntil([&] {
            host_.PushToViewers(1, p.data(), VideoHeader(50000, true), 50000);
            return host_.ViewerCount(1) == 0 && GetLoginSessionCount() == 0;
        })) << round;
    }
    EXPECT_LE(CountEntries("/proc/self/fd"), fds);
}

TEST_F(LoginServerTest, StopWithAStalledViewerEndsQuicklyAndReleasesEverything) {
    StopLoginServer();
    const int threads = CountEntries("/proc/self/task");
    const int fds = CountEntries("/proc/self/fd");
    StartServer();
    auto stalled = Connect();
    const int small = 4096;
    ::setsockopt(stalled->sock(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    ASSERT_TRUE(OpenViewer(*stalled, 0));
    ASSERT_TRUE(WaitUntil([&] { return host_.ViewerCount(0) == 1; }));
    // More than the socket buffers hold: the sender blocks in send.
    Bytes p = PacketPayload(200000, 3);
    for (int i = 0; i < 20; ++i) {
        host_.PushToViewers(0, p.data(), VideoHeader(200000, true), 200000);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const auto start = Clock::now();
    StopLoginServer();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(host_.ViewerCount(0), 0u);
    stalled.reset();
    EXPECT_TRUE(WaitUntil([&] { return CountEntries("/proc/self/task") <= threads; }));
    EXPECT_LE(CountEntries("/proc/self/fd"), fds);
}

TEST_F(LoginServerTest, SecondStartIsRefusedAndATakenPortIsReported) {
    EXPECT_FALSE(StartLoginServer(0, &host_));
    StopLoginServer();

    NetSocket taken = OpenListener(0, 1, kLoopbackIp);
    ASSERT_NE(taken, INVALID_NET_SOCKET);
    // Without SO_REUSEADDR sharing a listening port fails even with it set.
    LoginServerConfig config;
    config.port = GetLocalPort(taken);
    config.bindIp = kLoopbackIp;
    config.host = &host_;
    ASSERT_TRUE(StartLoginServer(config));
    ASSERT_TRUE(WaitUntil([&] { return !Boxes().empty(); }));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Socket\xb4\xb4\xbd\xa8"
                                                "bind\xca\xa7\xb0\xdc!"});
    EXPECT_FALSE(IsLoginServerListening());
    EXPECT_EQ(StopLoginServer(), 1);
    CloseSocket(taken);
}

}  // namespace
