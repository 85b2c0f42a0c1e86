#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/capture/v4l2_io.h"

namespace {

class SystemV4l2Io : public V4l2Io {
public:
    int Open(const char* path, int flags) override { return ::open(path, flags | O_CLOEXEC); }
    int Close(int fd) override { return ::close(fd); }
    int Ioctl(int fd, unsigned long request, void* arg) override {
        return ::ioctl(fd, request, arg);
    }
    void* Mmap(size_t length, int prot, int flags, int fd, off_t offset) override {
        return ::mmap(nullptr, length, prot, flags, fd, offset);
    }
    int Munmap(void* addr, size_t length) override { return ::munmap(addr, length); }
    int Poll(int fd, int timeoutMs) override {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, timeoutMs);
        if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 &&
            (p.revents & POLLIN) == 0) {
            return -1;
        }
        return r;
    }
};

}  // namespace

std::shared_ptr<V4l2Io> CreateSystemV4l2Io() {
    return std::make_shared<SystemV4l2Io>();
}
