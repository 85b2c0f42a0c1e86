// A client session and a server session over a real loopback connection:
// the client's two requests, the server's two answers, then the stream.

#include <gtest/gtest.h>

#include "netservice/fake_session_host.h"
#include "netservice/net_session.h"
#include "platform/net/net_connect.h"
#include "platform/net/net_transfer.h"
#include "platform/net/net_wait.h"

namespace {

constexpr uint32_t kLoopback = 0x7F000001u;

// Receives once and feeds the session; the bytes it did not take.
std::vector<uint8_t> ReceiveInto(NetSocket sock, CNetSession& session, int* fed) {
    std::vector<uint8_t> buf(32768);
    EXPECT_EQ(WaitReadable(sock, 5000), WaitResult::Ready);
    int n = RecvSome(sock, buf.data(), static_cast<int>(buf.size()));
    EXPECT_GT(n, 0);
    if (n <= 0)
        return {};
    *fed = session.Feed(buf.data(), n);
    if (*fed < 0)
        return {};
    return std::vector<uint8_t>(buf.begin() + *fed, buf.begin() + n);
}

TEST(NetSessionLoopbackTest, ClientLogsInOpensAndReceivesTheStream) {
    IgnoreBrokenPipeSignal();
    NetSocket listener = OpenListener(0, 15, kLoopback);
    ASSERT_NE(listener, INVALID_NET_SOCKET);
    NetSocket client = CreateTcpSocket();
    ConnectState state = BeginConnect(client, kLoopback, GetLocalPort(listener));
    for (int i = 0; i < 15 && state == ConnectState::InProgress; ++i)
        state = WaitConnect(client);
    ASSERT_EQ(state, ConnectState::Connected);
    uint32_t peer = 0;
    NetSocket accepted = AcceptConnection(listener, &peer);
    ASSERT_NE(accepted, INVALID_NET_SOCKET);
    ASSERT_TRUE(SetAcceptedSocketOptions(accepted));

    FakeSessionHost serverHost, clientHost;
    serverHost.accounts["viewer"] = {"secret", {1}};
    {
        CNetSession server(NetRole::Server, peer, accepted, &serverHost);
        CNetSession remote(NetRole::Client, kLoopback, client, &clientHost);

        std::string login;
        ASSERT_TRUE(BuildLoginPayload("viewer", "secret", &login));
        EXPECT_TRUE(remote.SendCommand(NETCMD_LOGIN, login.data(), static_cast<int>(login.size())));
        EXPECT_TRUE(remote.SendCommand(NETCMD_OPEN_CHANNEL, "\x01\x00", 2));

        int fed = 0;
        while (!server.IsStreaming()) {
            ReceiveInto(accepted, server, &fed);
            ASSERT_GE(fed, 0);
        }
        ASSERT_NE(serverHost.lastSender, nullptr);
        EXPECT_EQ(serverHost.viewers[1].size(), 1u);

        // The first stream bytes leave right behind the open's answer.
        const uint8_t packet[] = {0x03, 0x71, 0x82, 0x51, 0xAA, 0xBB};
        ASSERT_TRUE(SendAll(accepted, packet, sizeof packet));

        std::vector<uint8_t> stream;
        while (!remote.IsStreaming()) {
            std::vector<uint8_t> rest = ReceiveInto(client, remote, &fed);
            ASSERT_GE(fed, 0);
            stream.insert(stream.end(), rest.begin(), rest.end());
        }
        while (stream.size() < sizeof packet) {
            std::vector<uint8_t> buf(64);
            ASSERT_EQ(WaitReadable(client, 5000), WaitResult::Ready);
            int n = RecvSome(client, buf.data(), 64);
            ASSERT_GT(n, 0);
            stream.insert(stream.end(), buf.begin(), buf.begin() + n);
        }
        EXPECT_EQ(stream, std::vector<uint8_t>(packet, packet + sizeof packet));
        EXPECT_EQ(clientHost.log.size(), 2u);
        EXPECT_EQ(clientHost.log[1].text, "Open ch1 in 127.0.0.1 OK!");
        EXPECT_EQ(serverHost.log[0].text, "Ip: 127.0.0.1 login success!");
    }
    EXPECT_TRUE(serverHost.viewers[1].empty());
    ShutdownSocket(accepted);
    CloseSocket(accepted);
    CloseSocket(client);
    CloseSocket(listener);
}

}  // namespace
