#pragma once
// The system calls the V4L2 back end makes, behind one small interface so
// that the back end can be tested against a scripted device. Results follow
// the system calls: -1 (MAP_FAILED for Mmap) with errno set on failure.

#include <sys/types.h>

#include <cstddef>
#include <memory>

class V4l2Io {
public:
    virtual ~V4l2Io() = default;
    virtual int Open(const char* path, int flags) = 0;
    virtual int Close(int fd) = 0;
    virtual int Ioctl(int fd, unsigned long request, void* arg) = 0;
    virtual void* Mmap(size_t length, int prot, int flags, int fd, off_t offset) = 0;
    virtual int Munmap(void* addr, size_t length) = 0;
    // Waits for a filled buffer: > 0 ready, 0 time-out, -1 error.
    virtual int Poll(int fd, int timeoutMs) = 0;
};

// The real calls (open, close, ioctl, mmap, munmap, poll).
std::shared_ptr<V4l2Io> CreateSystemV4l2Io();
