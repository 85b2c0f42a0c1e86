#include "media/jpeg_still.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/paths/native_path.h"

namespace {

struct Compressed {
    tjhandle handle = nullptr;
    unsigned char* data = nullptr;
    unsigned long size = 0;
    ~Compressed() {
        if (data != nullptr) {
            tjFree(data);
        }
        if (handle != nullptr) {
            tjDestroy(handle);
        }
    }
};

bool WriteAll(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Writes data under a temporary name next to target, then renames it.
bool WriteWholeFile(const std::string& target, const unsigned char* data, size_t size) {
    std::string tmpl = target + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) {
        return false;
    }
    bool ok = fchmod(fd, 0644) == 0 && WriteAll(fd, data, size) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(name.data(), target.c_str()) == 0;
    if (!ok) {
        unlink(name.data());
    }
    return ok;
}

}  // namespace

int WriteJpegFile(const uint8_t* bgr, int width, int height, const char* path, int quality) {
    if (bgr == nullptr || path == nullptr || width <= 0 || height <= 0) {
        return 0;
    }
    std::string target = ToNativePath(path);
    if (target.empty()) {
        return 0;
    }
    // The low 8 bits, kept inside what the encoder accepts.
    int q = std::clamp(quality & 0xFF, 1, 100);
    Compressed jpeg;
    jpeg.handle = tjInitCompress();
    if (jpeg.handle == nullptr || tjCompress2(jpeg.handle, bgr, width, width * 3, height, TJPF_BGR,
                                              &jpeg.data, &jpeg.size, TJSAMP_420, q, 0) != 0) {
        return 0;
    }
    if (!WriteWholeFile(target, jpeg.data, jpeg.size)) {
        return 0;
    }
    return static_cast<int>(jpeg.size);
}
