#pragma once
// A loopback port nobody listens on: a socket holds it bound (not
// listening) while the object lives, so connections to it are refused and
// no other program on the machine can take the port meanwhile.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

class RefusingLoopbackPort {
public:
    RefusingLoopbackPort() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
            port_ = ntohs(addr.sin_port);
        }
    }
    ~RefusingLoopbackPort() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    RefusingLoopbackPort(const RefusingLoopbackPort&) = delete;
    RefusingLoopbackPort& operator=(const RefusingLoopbackPort&) = delete;

    // 0 when no port could be bound.
    uint16_t port() const { return port_; }

private:
    int fd_ = -1;
    uint16_t port_ = 0;
};
