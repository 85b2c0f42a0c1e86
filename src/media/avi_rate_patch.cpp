#include "media/avi_rate_patch.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

uint32_t ReadLe32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void WriteLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<unsigned char>(v >> (8 * i));
    }
}

bool ReadAt(FILE* f, int64_t pos, void* buf, size_t n) {
    return fseeko(f, pos, SEEK_SET) == 0 && std::fread(buf, 1, n, f) == n;
}

// strh: fccType, fccHandler, dwFlags, wPriority, wLanguage, dwInitialFrames,
// then dwScale and dwRate.
constexpr int64_t kStrhScaleOffset = 20;
constexpr uint32_t kStrhMinSize = 28;

// Walks the chunks between begin and end; calls into LIST strl for
// hdrl's children. Returns the count of video headers patched, -1 on I/O error.
int WalkList(FILE* f, int64_t begin, int64_t end, int depth, uint32_t scale, uint32_t rate) {
    int patched = 0;
    int64_t pos = begin;
    while (pos + 8 <= end) {
        unsigned char head[12];
        if (!ReadAt(f, pos, head, 8)) {
            return patched;
        }
        uint32_t size = ReadLe32(head + 4);
        int64_t dataStart = pos + 8;
        int64_t dataEnd = dataStart + size;
        if (dataEnd > end) {
            dataEnd = end;  // a chunk cut short by a crash: read what is there
        }
        if (std::memcmp(head, "LIST", 4) == 0 && dataEnd - dataStart >= 4 && depth < 3) {
            if (!ReadAt(f, dataStart, head + 8, 4)) {
                return patched;
            }
            if (std::memcmp(head + 8, "hdrl", 4) == 0 || std::memcmp(head + 8, "strl", 4) == 0) {
                int n = WalkList(f, dataStart + 4, dataEnd, depth + 1, scale, rate);
                if (n < 0) {
                    return -1;
                }
                patched += n;
            }
        } else if (std::memcmp(head, "strh", 4) == 0 && size >= kStrhMinSize) {
            unsigned char fcc[4];
            if (!ReadAt(f, dataStart, fcc, 4)) {
                return patched;
            }
            if (std::memcmp(fcc, "vids", 4) == 0) {
                unsigned char values[8];
                WriteLe32(values, scale);
                WriteLe32(values + 4, rate);
                if (fseeko(f, dataStart + kStrhScaleOffset, SEEK_SET) != 0 ||
                    std::fwrite(values, 1, 8, f) != 8) {
                    return -1;
                }
                ++patched;
            }
        }
        pos = dataStart + size + (size & 1);  // chunks are padded to even sizes
    }
    return patched;
}

}  // namespace

int PatchAviVideoRate(const std::string& nativePath, uint32_t dwScale, uint32_t dwRate) {
    FilePtr f(std::fopen(nativePath.c_str(), "r+b"));
    if (!f) {
        return -1;
    }
    unsigned char riff[12];
    if (!ReadAt(f.get(), 0, riff, 12) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "AVI ", 4) != 0) {
        return -1;
    }
    if (fseeko(f.get(), 0, SEEK_END) != 0) {
        return -1;
    }
    int64_t fileSize = ftello(f.get());
    int64_t end = 8 + static_cast<int64_t>(ReadLe32(riff + 4));
    if (end > fileSize || end < 12) {
        end = fileSize;  // the first RIFF's size was never filled in
    }
    int n = WalkList(f.get(), 12, end, 0, dwScale, dwRate);
    if (std::fflush(f.get()) != 0) {
        return -1;
    }
    return n;
}
