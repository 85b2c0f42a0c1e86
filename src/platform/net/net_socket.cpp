#include "platform/net/net_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <mutex>

void IgnoreBrokenPipeSignal() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

NetSocket CreateTcpSocket() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    return fd < 0 ? INVALID_NET_SOCKET : fd;
}

NetSocket OpenListener(uint16_t port, int backlog, uint32_t bindIp, ListenStep* failedStep) {
    NetSocket sock = CreateTcpSocket();
    if (sock == INVALID_NET_SOCKET) {
        if (failedStep)
            *failedStep = ListenStep::Socket;
        return INVALID_NET_SOCKET;
    }
    int on = 1;
    ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);

    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(bindIp);
    if (::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (failedStep)
            *failedStep = ListenStep::Bind;
        CloseSocket(sock);
        return INVALID_NET_SOCKET;
    }
    if (::listen(sock, backlog) != 0) {
        if (failedStep)
            *failedStep = ListenStep::Listen;
        CloseSocket(sock);
        return INVALID_NET_SOCKET;
    }
    return sock;
}

uint16_t GetLocalPort(NetSocket sock) {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (::getsockname(sock, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
        addr.sin_family != AF_INET) {
        return 0;
    }
    return ntohs(addr.sin_port);
}

NetSocket AcceptConnection(NetSocket listener, uint32_t* peerIp) {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    int fd;
    do {
        fd = ::accept4(listener, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return INVALID_NET_SOCKET;
    if (peerIp)
        *peerIp = addr.sin_family == AF_INET ? ntohl(addr.sin_addr.s_addr) : 0;
    return fd;
}

bool SetAcceptedSocketOptions(NetSocket sock, const AcceptedSocketOptions& o) {
    timeval tv{};
    tv.tv_sec = o.sendTimeoutMs / 1000;
    tv.tv_usec = (o.sendTimeoutMs % 1000) * 1000;
    int on = 1;
    unsigned userTimeout = static_cast<unsigned>(o.userTimeoutMs);
    bool ok = ::setsockopt(sock, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) == 0;
    if (o.sendBufferBytes > 0) {
        ok = ::setsockopt(sock, SOL_SOCKET, SO_SNDBUF, &o.sendBufferBytes,
                          sizeof o.sendBufferBytes) == 0 &&
             ok;
    }
    ok = ::setsockopt(sock, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) == 0 && ok;
    ok = ::setsockopt(sock, IPPROTO_TCP, TCP_KEEPIDLE, &o.keepAliveIdleS,
                      sizeof o.keepAliveIdleS) == 0 &&
         ok;
    ok = ::setsockopt(sock, IPPROTO_TCP, TCP_KEEPINTVL, &o.keepAliveIntervalS,
                      sizeof o.keepAliveIntervalS) == 0 &&
         ok;
    ok = ::setsockopt(sock, IPPROTO_TCP, TCP_KEEPCNT, &o.keepAliveCount, sizeof o.keepAliveCount) ==
             0 &&
         ok;
    ok = ::setsockopt(sock, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeout, sizeof userTimeout) == 0 &&
         ok;
    return ok;
}

void ShutdownSocket(NetSocket sock) {
    if (sock != INVALID_NET_SOCKET)
        ::shutdown(sock, SHUT_RDWR);
}

void CloseSocket(NetSocket sock) {
    if (sock != INVALID_NET_SOCKET)
        ::close(sock);
}
