#pragma once
// A plain TCP client on 127.0.0.1 for tests of the login server: sends raw
// bytes and reads command answers and stream packets with time limits.

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <chrono>
#include <string>
#include <vector>

#include "netservice/net_command.h"
#include "netservice/stream_header.h"
#include "platform/net/net_connect.h"
#include "platform/net/net_socket.h"
#include "platform/net/net_transfer.h"
#include "platform/net/net_wait.h"

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kLoopbackIp = 0x7F000001u;

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes CommandBytes(uint8_t code, const std::string& payload = "") {
    Bytes out(NET_MSG_HEADER_BYTES + 1 + payload.size());
    out.resize(BuildNetCommandMessage(code, 0, payload.data(), payload.size(), out.data()));
    return out;
}

inline Bytes LoginBytes(const std::string& user, const std::string& password) {
    std::string payload;
    EXPECT_TRUE(BuildLoginPayload(user, password, &payload));
    return CommandBytes(NETCMD_LOGIN, payload);
}

inline Bytes OpenBytes(uint8_t channel) {
    return CommandBytes(NETCMD_OPEN_CHANNEL, std::string{char(channel), 0});
}

class LoopbackClient {
public:
    // receiveBuffer > 0: the socket's receive buffer, set before connecting
    // (a small one makes a slow reader hold up its sender soon).
    explicit LoopbackClient(uint16_t port, int receiveBuffer = 0) {
        sock_ = CreateTcpSocket();
        if (receiveBuffer > 0)
            ::setsockopt(sock_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        ConnectState state = BeginConnect(sock_, kLoopbackIp, port);
        for (int i = 0; i < 50 && state == ConnectState::InProgress; ++i)
            state = WaitConnect(sock_, 100);
        connected_ = state == ConnectState::Connected;
    }
    ~LoopbackClient() { Close(); }
    LoopbackClient(const LoopbackClient&) = delete;
    LoopbackClient& operator=(const LoopbackClient&) = delete;

    bool connected() const { return connected_; }
    NetSocket sock() const { return sock_; }

    bool Send(const Bytes& bytes) { return SendAll(sock_, bytes.data(), bytes.size()); }

    // Reads exactly n bytes within the time limit; false on a close or time-out.
    bool ReadExactly(size_t n, Bytes* out, int timeoutMs = 5000) {
        out->clear();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (out->size() < n) {
            const int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  end - std::chrono::steady_clock::now())
                                                  .count());
            if (left <= 0 || WaitReadable(sock_, left) != WaitResult::Ready)
                return false;
            uint8_t buf[65536];
            size_t want = std::min(sizeof buf, n - out->size());
            int got = RecvSome(sock_, buf, static_cast<int>(want));
            if (got <= 0)
                return false;
            out->insert(out->end(), buf, buf + got);
        }
        return true;
    }

    // One command answer: its code and payload; false when none came.
    bool ReadAnswer(uint8_t* code, std::string* payload, int timeoutMs = 5000) {
        Bytes header;
        if (!ReadExactly(NET_MSG_HEADER_BYTES, &header, timeoutMs))
            return false;
        uint16_t n = ReadNetMessageLength(header.data());
        Bytes rest;
        if (n == 0 || !ReadExactly(n, &rest, timeoutMs))
            return false;
        *code = rest[0];
        payload->assign(rest.begin() + 1, rest.end());
        return true;
    }

    // One stream packet: header word and payload.
    bool ReadPacket(StreamHeader* header, Bytes* payload, int timeoutMs = 5000) {
        Bytes word;
        if (!ReadExactly(STREAM_HEADER_BYTES, &word, timeoutMs))
            return false;
        *header = ReadStreamHeader(word.data());
        return ReadExactly(GetPayloadLength(*header), payload, timeoutMs);
    }

    // True when the server closes the connection within the limit (bytes
    // it still sends before are skipped).
    bool WaitClosed(int timeoutMs = 5000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        uint8_t buf[65536];
        while (std::chrono::steady_clock::now() < end) {
            if (WaitReadable(sock_, 100) != WaitResult::Ready)
                continue;
            if (RecvSome(sock_, buf, sizeof buf) <= 0)
                return true;
        }
        return false;
    }

    void Close() {
        if (sock_ != INVALID_NET_SOCKET) {
            CloseSocket(sock_);
            sock_ = INVALID_NET_SOCKET;
        }
    }

    // Closes with a reset instead of an orderly end.
    void Reset() {
        linger l{1, 0};
        ::setsockopt(sock_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
        Close();
    }

private:
    NetSocket sock_ = INVALID_NET_SOCKET;
    bool connected_ = false;
};
