#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <thread>
#include <vector>

#include "platform/net/net_connect.h"
#include "platform/net/net_resolve.h"
#include "platform/net/net_socket.h"
#include "platform/net/net_transfer.h"
#include "platform/net/net_wait.h"
#include "support/refusing_port.h"

namespace {

constexpr uint32_t kLoopback = 0x7F000001u;

// A connected pair over loopback: client side, accepted side, listener.
struct LoopbackPair {
    NetSocket listener = INVALID_NET_SOCKET;
    NetSocket client = INVALID_NET_SOCKET;
    NetSocket server = INVALID_NET_SOCKET;
    uint32_t peerIp = 0;
    uint16_t port = 0;

    LoopbackPair() {
        listener = OpenListener(0, 15, kLoopback);
        port = GetLocalPort(listener);
        client = CreateTcpSocket();
        ConnectState s = BeginConnect(client, kLoopback, port);
        while (s == ConnectState::InProgress)
            s = WaitConnect(client);
        EXPECT_EQ(s, ConnectState::Connected);
        server = AcceptConnection(listener, &peerIp);
    }
    ~LoopbackPair() {
        CloseSocket(client);
        CloseSocket(server);
        CloseSocket(listener);
    }
};

TEST(NetSocketTest, ListenerAcceptsAndReportsThePeerInHostOrder) {
    LoopbackPair pair;
    ASSERT_NE(pair.listener, INVALID_NET_SOCKET);
    ASSERT_NE(pair.port, 0);
    ASSERT_NE(pair.server, INVALID_NET_SOCKET);
    EXPECT_EQ(pair.peerIp, kLoopback);

    ASSERT_TRUE(SendAll(pair.client, "VSMX", 4));
    ASSERT_EQ(WaitReadable(pair.server), WaitResult::Ready);
    char buf[8] = {};
    EXPECT_EQ(RecvSome(pair.server, buf, sizeof buf), 4);
    EXPECT_EQ(std::string(buf, 4), "VSMX");
}

TEST(NetSocketTest, ListenerRebindsItsPortRightAfterARun) {
    uint16_t port;
    {
        // The server side closes first, which leaves its end in TIME_WAIT.
        LoopbackPair pair;
        port = pair.port;
        CloseSocket(pair.server);
        pair.server = INVALID_NET_SOCKET;
        CloseSocket(pair.listener);
        pair.listener = INVALID_NET_SOCKET;
    }
    NetSocket again = OpenListener(port, 15, kLoopback);
    EXPECT_NE(again, INVALID_NET_SOCKET);
    CloseSocket(again);
}

TEST(NetSocketTest, ListenerReportsTheFailingStep) {
    NetSocket first = OpenListener(0, 15, kLoopback);
    ASSERT_NE(first, INVALID_NET_SOCKET);
    // SO_REUSEADDR does not let two sockets listen on one port.
    ListenStep step = ListenStep::Socket;
    EXPECT_EQ(OpenListener(GetLocalPort(first), 15, kLoopback, &step), INVALID_NET_SOCKET);
    EXPECT_EQ(step, ListenStep::Bind);
    CloseSocket(first);
}

TEST(NetSocketTest, RefusedConnectIsKnownAtTheFirstWait) {
    const RefusingLoopbackPort refusing;
    ASSERT_NE(refusing.port(), 0);
    NetSocket s = CreateTcpSocket();
    ConnectState state = BeginConnect(s, kLoopback, refusing.port());
    if (state == ConnectState::InProgress)
        state = WaitConnect(s, 5000);
    EXPECT_EQ(state, ConnectState::Failed);
    CloseSocket(s);
}

TEST(NetSocketTest, WaitReadableTimesOutThenSeesDataAndTheEnd) {
    LoopbackPair pair;
    EXPECT_EQ(WaitReadable(pair.server, 20), WaitResult::TimedOut);
    ASSERT_TRUE(SendAll(pair.client, "x", 1));
    EXPECT_EQ(WaitReadable(pair.server), WaitResult::Ready);
    char c;
    EXPECT_EQ(RecvSome(pair.server, &c, 1), 1);

    CloseSocket(pair.client);
    pair.client = INVALID_NET_SOCKET;
    EXPECT_EQ(WaitReadable(pair.server), WaitResult::Ready);
    EXPECT_EQ(RecvSome(pair.server, &c, 1), 0);
    EXPECT_EQ(WaitReadable(INVALID_NET_SOCKET, 0), WaitResult::Failed);
}

TEST(NetSocketTest, WaitReadableAnyMarksOnlySocketsWithSomethingToRead) {
    LoopbackPair a, b;
    ASSERT_TRUE(SendAll(b.client, "y", 1));
    NetSocket socks[] = {a.server, INVALID_NET_SOCKET, b.server};
    bool readable[3] = {true, true, false};
    EXPECT_EQ(WaitReadableAny(socks, readable, 3, 1000), 1);
    EXPECT_FALSE(readable[0]);
    EXPECT_FALSE(readable[1]);
    EXPECT_TRUE(readable[2]);

    NetSocket quiet[] = {a.server};
    EXPECT_EQ(WaitReadableAny(quiet, readable, 1, 20), 0);
}

TEST(NetSocketTest, SendAllPutsOutEveryByteOfALargeBuffer) {
    LoopbackPair pair;
    std::vector<unsigned char> out(8 * 1024 * 1024);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<unsigned char>(i * 7);
    std::vector<unsigned char> in;
    std::thread reader([&] {
        std::vector<unsigned char> buf(32768);
        while (in.size() < out.size()) {
            int n = RecvSome(pair.server, buf.data(), static_cast<int>(buf.size()));
            if (n <= 0)
                break;
            in.insert(in.end(), buf.begin(), buf.begin() + n);
        }
    });
    size_t sent = 0;
    EXPECT_EQ(SendAllProgress(pair.client, out.data(), out.size(), &sent), SendResult::Complete);
    EXPECT_EQ(sent, out.size());
    reader.join();
    EXPECT_EQ(in, out);
}

TEST(NetSocketTest, SendToAStalledPeerTimesOutAndReportsHowFarItGot) {
    LoopbackPair pair;
    AcceptedSocketOptions options;
    options.sendTimeoutMs = 100;
    ASSERT_TRUE(SetAcceptedSocketOptions(pair.server, options));
    std::vector<char> big(64 * 1024 * 1024, 'z');
    size_t sent = 0;
    EXPECT_EQ(SendAllProgress(pair.server, big.data(), big.size(), &sent), SendResult::TimedOut);
    EXPECT_GT(sent, 0u);
    EXPECT_LT(sent, big.size());
}

TEST(NetSocketTest, SendThatMustNotWaitStopsAtAFullBuffer) {
    LoopbackPair pair;  // blocking sockets, no send time-out
    std::vector<char> big(64 * 1024 * 1024, 'w');
    size_t sent = 0;
    EXPECT_EQ(SendAllProgress(pair.server, big.data(), big.size(), &sent, SendWait::Never),
              SendResult::TimedOut);
    EXPECT_GT(sent, 0u);
    EXPECT_LT(sent, big.size());
}

TEST(NetSocketTest, SendToAClosedPeerFailsWithoutEndingTheProcess) {
    IgnoreBrokenPipeSignal();
    LoopbackPair pair;
    CloseSocket(pair.client);
    pair.client = INVALID_NET_SOCKET;
    // The first send may still be taken; the reset makes a later one fail.
    bool failed = false;
    for (int i = 0; i < 100 && !failed; ++i) {
        failed = !SendAll(pair.server, "abcdefgh", 8);
        if (!failed)
            WaitReadable(pair.server, 10);
    }
    EXPECT_TRUE(failed);
}

TEST(NetSocketTest, IgnoringTheBrokenPipeSignalIsIdempotent) {
    IgnoreBrokenPipeSignal();
    IgnoreBrokenPipeSignal();
    struct sigaction current {};
    ASSERT_EQ(::sigaction(SIGPIPE, nullptr, &current), 0);
    EXPECT_EQ(current.sa_handler, SIG_IGN);
}

TEST(NetSocketTest, ShutdownWakesAThreadBlockedInRecv) {
    LoopbackPair pair;
    int result = -2;
    std::thread blocked([&] {
        char c;
        result = RecvSome(pair.server, &c, 1);
    });
    // Give the thread time to block; the outcome does not depend on it.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ShutdownSocket(pair.server);
    blocked.join();
    EXPECT_EQ(result, 0);
}

TEST(NetSocketTest, AcceptedSocketOptionsAreApplied) {
    LoopbackPair pair;
    AcceptedSocketOptions options;
    options.sendTimeoutMs = 1500;
    options.keepAliveIdleS = 7;
    options.userTimeoutMs = 9000;
    ASSERT_TRUE(SetAcceptedSocketOptions(pair.server, options));

    int value = 0;
    socklen_t len = sizeof value;
    ASSERT_EQ(::getsockopt(pair.server, SOL_SOCKET, SO_KEEPALIVE, &value, &len), 0);
    EXPECT_EQ(value, 1);
    ASSERT_EQ(::getsockopt(pair.server, IPPROTO_TCP, TCP_KEEPIDLE, &value, &len), 0);
    EXPECT_EQ(value, 7);
    ASSERT_EQ(::getsockopt(pair.server, IPPROTO_TCP, TCP_USER_TIMEOUT, &value, &len), 0);
    EXPECT_EQ(value, 9000);
    timeval tv{};
    len = sizeof tv;
    ASSERT_EQ(::getsockopt(pair.server, SOL_SOCKET, SO_SNDTIMEO, &tv, &len), 0);
    EXPECT_EQ(tv.tv_sec * 1000 + tv.tv_usec / 1000, 1500);

    EXPECT_FALSE(SetAcceptedSocketOptions(INVALID_NET_SOCKET));
}

TEST(NetResolveTest, DottedAddressesAreReadInHostOrder) {
    struct Case {
        const char* text;
        uint32_t ip;
    };
    const Case cases[] = {
        {"127.0.0.1", 0x7F000001u},      {"192.168.1.20", 0xC0A80114u},     {"0.0.0.0", 0u},
        {"256.1.1.1", NET_ADDRESS_NONE}, {"camera-host", NET_ADDRESS_NONE}, {"", NET_ADDRESS_NONE},
        {nullptr, NET_ADDRESS_NONE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDottedIPv4(c.text), c.ip) << (c.text ? c.text : "(null)");
    }
}

TEST(NetResolveTest, HostNamesResolveToTheirFirstIPv4Address) {
    uint32_t ip = 0;
    // A bare root without /etc/hosts knows no "localhost" at all.
    if (access("/etc/hosts", R_OK) == 0) {
        ASSERT_TRUE(LookupHostIPv4("localhost", &ip));
        EXPECT_EQ(ip, kLoopback);
    }
    ASSERT_TRUE(LookupHostIPv4("10.1.2.3", &ip));
    EXPECT_EQ(ip, 0x0A010203u);
    EXPECT_FALSE(LookupHostIPv4("", &ip));
    EXPECT_FALSE(LookupHostIPv4(nullptr, &ip));
}

}  // namespace
