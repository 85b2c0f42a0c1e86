#include "platform/net/net_connect.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

namespace {

bool SetBlocking(NetSocket sock, bool blocking) {
    int flags = ::fcntl(sock, F_GETFL, 0);
    if (flags < 0)
        return false;
    flags = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return ::fcntl(sock, F_SETFL, flags) == 0;
}

ConnectState Finish(NetSocket sock) {
    return SetBlocking(sock, true) ? ConnectState::Connected : ConnectState::Failed;
}

}  // namespace

ConnectState BeginConnect(NetSocket sock, uint32_t ip, uint16_t port) {
    if (sock == INVALID_NET_SOCKET || !SetBlocking(sock, false))
        return ConnectState::Failed;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(ip);
    if (::connect(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        return Finish(sock);
    }
    return (errno == EINPROGRESS || errno == EINTR) ? ConnectState::InProgress
                                                    : ConnectState::Failed;
}

ConnectState WaitConnect(NetSocket sock, int timeoutMs) {
    switch (WaitWritable(sock, timeoutMs)) {
        case WaitResult::TimedOut:
            return ConnectState::InProgress;
        case WaitResult::Failed:
            return ConnectState::Failed;
        case WaitResult::Ready:
            break;
    }
    int error = 0;
    socklen_t len = sizeof error;
    if (::getsockopt(sock, SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0) {
        return ConnectState::Failed;
    }
    return Finish(sock);
}
