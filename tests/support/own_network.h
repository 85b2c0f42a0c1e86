#pragma once
// Moves the calling process (and the programs it starts later) into a
// network of its own that holds only a loopback interface, so a test that
// needs the program's fixed port never meets another program on it. Every
// test case runs in its own process, so nothing else is affected.

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace own_network_detail {

inline bool WriteProcFile(const char* path, const std::string& text) {
    const int fd = open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return ok;
}

}  // namespace own_network_detail

// Returns false, with the reason in *why, when the system allows no new
// network to this process (neither directly nor as the root of a user
// namespace of its own).
inline bool EnterOwnNetwork(std::string* why) {
    using own_network_detail::WriteProcFile;
    if (unshare(CLONE_NEWNET) != 0) {
        // Without the right to make one, a user namespace of our own gives
        // it; the process keeps its user and group ids there. This needs a
        // process with only one thread.
        const std::string uid = std::to_string(geteuid());
        const std::string gid = std::to_string(getegid());
        if (unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
            *why = std::string("no network namespace: ") + std::strerror(errno);
            return false;
        }
        if (!WriteProcFile("/proc/self/setgroups", "deny") ||
            !WriteProcFile("/proc/self/uid_map", uid + " " + uid + " 1") ||
            !WriteProcFile("/proc/self/gid_map", gid + " " + gid + " 1")) {
            *why = std::string("cannot map the user into the namespace: ") + std::strerror(errno);
            return false;
        }
    }
    // A new network's loopback interface starts down.
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq ifr{};
    std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = fd >= 0 && ioctl(fd, SIOCGIFFLAGS, &ifr) == 0;
    if (up) {
        ifr.ifr_flags = static_cast<short>(ifr.ifr_flags | IFF_UP);
        up = ioctl(fd, SIOCSIFFLAGS, &ifr) == 0;
    }
    if (!up) {
        *why = std::string("cannot bring the loopback interface up: ") + std::strerror(errno);
    }
    if (fd >= 0) {
        close(fd);
    }
    return up;
}
