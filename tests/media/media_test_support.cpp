#include "media/media_test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <stdexcept>

ScopedTempDir::ScopedTempDir() {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) != nullptr) {
        previous_ = cwd;
    }
    std::string tmpl = (std::filesystem::temp_directory_path() / "qv_media_XXXXXX").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = buf.data();
    if (chdir(path_.c_str()) != 0) {
        throw std::runtime_error("chdir failed");
    }
}

ScopedTempDir::~ScopedTempDir() {
    if (!previous_.empty() && chdir(previous_.c_str()) != 0) {
        std::perror("chdir");
    }
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::vector<uint8_t> MakeTestPicture(int width, int height, int n) {
    std::vector<uint8_t> yuv(static_cast<size_t>(width) * height * 3 / 2);
    uint8_t* y = yuv.data();
    uint8_t* u = y + width * height;
    uint8_t* v = u + width * height / 4;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            int value = 40 + (c * 120) / width + (r * 60) / height;
            if (((c + n * 4) / 16) % 6 == 0) {
                value = 210;
            }
            y[r * width + c] = static_cast<uint8_t>(value);
        }
    }
    for (int r = 0; r < height / 2; ++r) {
        for (int c = 0; c < width / 2; ++c) {
            u[r * (width / 2) + c] = static_cast<uint8_t>(100 + (c * 50) / width);
            v[r * (width / 2) + c] = static_cast<uint8_t>(150 - (r * 50) / height);
        }
    }
    return yuv;
}

std::vector<uint8_t> MakeNoisePicture(int width, int height, uint32_t seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> yuv(static_cast<size_t>(width) * height * 3 / 2);
    for (auto& b : yuv) {
        b = static_cast<uint8_t>(gen());
    }
    return yuv;
}

double LumaPsnr(const uint8_t* ref, int width, int height, const uint8_t* got, int stride) {
    double sum = 0;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            double d = static_cast<double>(ref[r * width + c]) - got[r * stride + c];
            sum += d * d;
        }
    }
    double mse = sum / (static_cast<double>(width) * height);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

std::vector<uint8_t> MakeTone(int count, int first) {
    std::vector<uint8_t> pcm(static_cast<size_t>(count) * 2);
    for (int i = 0; i < count; ++i) {
        auto s = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440.0 * (first + i) / 22050.0));
        pcm[2 * i] = static_cast<uint8_t>(s & 0xFF);
        pcm[2 * i + 1] = static_cast<uint8_t>((s >> 8) & 0xFF);
    }
    return pcm;
}

namespace {

std::string Run(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (p == nullptr) {
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) {
        out.append(buf, n);
    }
    pclose(p);
    return out;
}

}  // namespace

std::vector<std::map<std::string, std::string>> ProbeStreams(const std::string& path) {
    std::string out =
        Run("/usr/bin/ffprobe -v error -count_packets -show_streams '" + path + "' 2>/dev/null");
    std::vector<std::map<std::string, std::string>> streams;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        if (line == "[STREAM]") {
            streams.emplace_back();
        } else if (!streams.empty()) {
            auto eq = line.find('=');
            if (eq != std::string::npos) {
                streams.back()[line.substr(0, eq)] = line.substr(eq + 1);
            }
        }
    }
    return streams;
}

std::vector<std::string> ProbeVideoPacketFlags(const std::string& path) {
    std::string out =
        Run("/usr/bin/ffprobe -v error -select_streams v:0 -show_entries "
            "packet=flags -of csv=p=0 '" +
            path + "' 2>/dev/null");
    std::vector<std::string> flags;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty()) {
            flags.push_back(line);
        }
    }
    return flags;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

int64_t FileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}
