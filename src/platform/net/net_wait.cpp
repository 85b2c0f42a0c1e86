#include "platform/net/net_wait.h"

#include <poll.h>

#include <cerrno>
#include <vector>

namespace {

WaitResult WaitFor(NetSocket sock, short events, int timeoutMs) {
    if (sock == INVALID_NET_SOCKET)
        return WaitResult::Failed;
    pollfd p{sock, events, 0};
    int n = ::poll(&p, 1, timeoutMs);
    if (n < 0)
        return errno == EINTR ? WaitResult::TimedOut : WaitResult::Failed;
    if (n == 0)
        return WaitResult::TimedOut;
    if (p.revents & POLLNVAL)
        return WaitResult::Failed;
    return WaitResult::Ready;  // POLLERR / POLLHUP: the next call reports it
}

}  // namespace

WaitResult WaitReadable(NetSocket sock, int timeoutMs) {
    return WaitFor(sock, POLLIN, timeoutMs);
}

WaitResult WaitWritable(NetSocket sock, int timeoutMs) {
    return WaitFor(sock, POLLOUT, timeoutMs);
}

int WaitReadableAny(const NetSocket* socks, bool* readable, int count, int timeoutMs) {
    std::vector<pollfd> fds(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i) {
        fds[i] = pollfd{socks[i], POLLIN, 0};  // poll skips a negative fd
        readable[i] = false;
    }
    int n = ::poll(fds.data(), fds.size(), timeoutMs);
    if (n < 0)
        return errno == EINTR ? 0 : -1;
    int ready = 0;
    for (int i = 0; i < count; ++i) {
        if (socks[i] != INVALID_NET_SOCKET && (fds[i].revents & (POLLIN | POLLERR | POLLHUP))) {
            readable[i] = true;
            ++ready;
        }
    }
    return ready;
}
