#include "platform/paths/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

bool ReplaceFileContents(const std::string& nativePath, std::string_view bytes, bool syncToDisk) {
    if (nativePath.empty()) {
        return false;
    }
    std::string tempPath = nativePath + ".XXXXXX";
    int fd = mkstemp(tempPath.data());
    if (fd < 0) {
        std::fprintf(stderr, "cannot create a temporary file for %s: %s\n", nativePath.c_str(),
                     std::strerror(errno));
        return false;
    }
    // The files replaced this way hold passwords: a new one is the owner's
    // alone, and an old one keeps its owner bits but loses group and other.
    struct stat old {};
    const mode_t mode = stat(nativePath.c_str(), &old) == 0 ? (old.st_mode & 0700) : 0600;
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && (!syncToDisk || fsync(fd) == 0);
    int savedErrno = errno;
    if (close(fd) != 0 && ok) {
        savedErrno = errno;
        ok = false;
    }
    if (ok && rename(tempPath.c_str(), nativePath.c_str()) != 0) {
        savedErrno = errno;
        ok = false;
    }
    if (!ok) {
        std::fprintf(stderr, "cannot write %s: %s\n", nativePath.c_str(),
                     std::strerror(savedErrno));
        unlink(tempPath.c_str());
    }
    return ok;
}
