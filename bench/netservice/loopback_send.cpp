#include "loopback_send.h"

#include <algorithm>
#include <vector>

#include "netservice/packet_descriptor.h"

#include "platform/net/net_connect.h"
#include "platform/net/net_transfer.h"

LoopbackConnection::LoopbackConnection() {
    listener = OpenListener(0, 1, kBenchLoopback);
    writer = CreateTcpSocket();
    ConnectState s = BeginConnect(writer, kBenchLoopback, GetLocalPort(listener));
    while (s == ConnectState::InProgress)
        s = WaitConnect(writer);
    reader = AcceptConnection(listener);
}

LoopbackConnection::~LoopbackConnection() {
    CloseSocket(writer);
    CloseSocket(reader);
    CloseSocket(listener);
}

std::thread DrainLoopback(NetSocket sock, size_t bytes, std::atomic<size_t>* received) {
    return std::thread([sock, bytes, received] {
        std::vector<uint8_t> buf(65536);
        size_t got = 0;
        while (got < bytes) {
            int n = RecvSome(sock, buf.data(), static_cast<int>(buf.size()));
            if (n <= 0)
                return;
            got += static_cast<size_t>(n);
            if (received) {
                received->store(got);
                received->notify_all();
            }
        }
    });
}

int StreamWindow(int payload) {
    return std::min(PACKET_QUEUE_ENTRIES - 2, PACKET_QUEUE_BYTES / 2 / payload);
}

void WaitForReader(const std::atomic<size_t>& received, int pushed, int payload, int window) {
    for (;;) {
        const size_t seen = received.load();
        const auto unread = static_cast<long long>(pushed) -
                            static_cast<long long>(seen / static_cast<size_t>(payload + 4));
        if (unread < window)
            return;
        received.wait(seen);
    }
}

double SecondsSince(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double RawSendRate(int payload, int packets) {
    LoopbackConnection c;
    std::thread reader = DrainLoopback(c.reader, static_cast<size_t>(packets) * (payload + 4));
    std::vector<uint8_t> packet(payload + 4, 0x33);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < packets; ++i)
        SendAll(c.writer, packet.data(), packet.size());
    reader.join();
    return packets / SecondsSince(start);
}
