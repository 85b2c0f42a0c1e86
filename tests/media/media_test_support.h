#pragma once
// Helpers shared by the media tests: a private working folder, synthetic
// pictures and sound, and ffprobe queries.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Creates a fresh folder, makes it the current directory, and removes it
// with everything in it at the end.
class ScopedTempDir {
public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
};

// An I420 picture with smooth gradients and a bar that moves with n.
std::vector<uint8_t> MakeTestPicture(int width, int height, int n);

// Random I420 picture (hard to compress).
std::vector<uint8_t> MakeNoisePicture(int width, int height, uint32_t seed);

// PSNR of the luma planes; the decoded plane has its own stride.
double LumaPsnr(const uint8_t* ref, int width, int height, const uint8_t* got, int stride);

// count * 2 bytes of a 440 Hz tone at 22050 Hz, continuing from sample first.
std::vector<uint8_t> MakeTone(int count, int first);

// One map of ffprobe's key=value lines per stream, in stream order.
std::vector<std::map<std::string, std::string>> ProbeStreams(const std::string& path);

// Flags of the video packets ("K__", "___", ...), in file order.
std::vector<std::string> ProbeVideoPacketFlags(const std::string& path);

bool FileExists(const std::string& path);
int64_t FileSize(const std::string& path);
