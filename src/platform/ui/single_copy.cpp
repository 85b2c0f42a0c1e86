#include "platform/ui/single_copy.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

std::string GetExecutableName() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || exe.empty()) {
        return "Quorvalind";
    }
    return exe.stem().string();
}

std::string SingleCopyLockPath(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0') {
        return std::string(runtime) + "/" + name + ".lock";
    }
    return "/tmp/" + name + "-" + std::to_string(getuid()) + ".lock";
}

bool AcquireSingleCopyLock(const std::string& lockPath) {
    // Kept open on purpose until the process ends; not passed to children,
    // which would otherwise keep the lock after this copy is gone.
    int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::fprintf(stderr, "single-copy lock %s: %s\n", lockPath.c_str(), std::strerror(errno));
        return true;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        close(fd);
        if (error == EWOULDBLOCK) {
            return false;
        }
        std::fprintf(stderr, "single-copy lock %s: %s\n", lockPath.c_str(), std::strerror(error));
        return true;
    }
    return true;
}
