#include "platform/net/net_transfer.h"

#include <sys/socket.h>

#include <cerrno>

SendResult SendAllProgress(NetSocket sock, const void* data, size_t len, size_t* sent,
                           SendWait wait) {
    const int flags = MSG_NOSIGNAL | (wait == SendWait::Never ? MSG_DONTWAIT : 0);
    const char* p = static_cast<const char*>(data);
    size_t done = 0;
    SendResult result = SendResult::Complete;
    while (done < len) {
        ssize_t n = ::send(sock, p + done, len - done, flags);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        result = (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) ? SendResult::TimedOut
                                                                      : SendResult::Failed;
        break;
    }
    if (sent)
        *sent = done;
    return result;
}

bool SendAll(NetSocket sock, const void* data, size_t len) {
    return SendAllProgress(sock, data, len) == SendResult::Complete;
}

int RecvSome(NetSocket sock, void* buffer, int maxLen) {
    if (maxLen <= 0)
        return -1;
    ssize_t n;
    do {
        n = ::recv(sock, buffer, static_cast<size_t>(maxLen), 0);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : static_cast<int>(n);
}
