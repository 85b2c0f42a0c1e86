#include "channel_fakes.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <thread>

#include "platform/msgbox/message_box.h"

void FakeChannelHost::WriteLogEntry(int type, int channel, const char* text) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back({type, channel, text != nullptr ? text : ""});
}

std::string FakeChannelHost::GetRecordFolder() {
    std::lock_guard<std::mutex> lock(mutex_);
    return recordFolder_;
}

std::string FakeChannelHost::GetSnapshotFolder() {
    std::lock_guard<std::mutex> lock(mutex_);
    return snapshotFolder_;
}

void FakeChannelHost::SetRecordFolder(std::string folder) {
    std::lock_guard<std::mutex> lock(mutex_);
    recordFolder_ = std::move(folder);
}

void FakeChannelHost::SetSnapshotFolder(std::string folder) {
    std::lock_guard<std::mutex> lock(mutex_);
    snapshotFolder_ = std::move(folder);
}

std::vector<LogLine> FakeChannelHost::Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

std::vector<LogLine> FakeChannelHost::LinesOfType(int type) {
    std::vector<LogLine> out;
    for (const LogLine& line : Lines()) {
        if (line.type == type) {
            out.push_back(line);
        }
    }
    return out;
}

uint32_t FakePictureControls::GetVideoProcAmp(uint8_t device) {
    lastDevice = device;
    ++gets;
    return current.load();
}

uint32_t FakePictureControls::SetVideoProcAmp(uint8_t device, uint32_t packed) {
    lastDevice = device;
    lastSet = packed;
    ++sets;
    // The device clamps: the hue byte never goes above 0x7F here.
    const uint32_t taken = (packed & 0x00FFFFFFu) | (std::min(packed >> 24, 0x7Fu) << 24);
    current = taken;
    return taken;
}

void FakeAlertSink::RaiseMotionAlert(int channel) {
    std::lock_guard<std::mutex> lock(mutex_);
    alerts_.push_back(channel);
}

void FakeAlertSink::AddAlertSnapshot(int /*channel*/, const char* path) {
    std::lock_guard<std::mutex> lock(mutex_);
    snapshots_.push_back(path != nullptr ? path : "");
}

std::vector<int> FakeAlertSink::Alerts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return alerts_;
}

std::vector<std::string> FakeAlertSink::Snapshots() {
    std::lock_guard<std::mutex> lock(mutex_);
    return snapshots_;
}

void FakeLiveSound::WritePcm(const uint8_t* /*data*/, int bytes) {
    bytesWritten += bytes;
}

void FakePreviewSink::OnPreviewFrame(const uint8_t* y, const uint8_t* /*u*/, const uint8_t* /*v*/,
                                     int yStride, int uvStride, int width, int height) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++frames;
    lastWidth = width;
    lastHeight = height;
    lastYStride = yStride;
    lastUvStride = uvStride;
    luma_.assign(y, y + static_cast<size_t>(yStride) * height);
}

std::vector<uint8_t> FakePreviewSink::LastLuma() {
    std::lock_guard<std::mutex> lock(mutex_);
    return luma_;
}

TestClock::TestClock() : now_(MakeLocalTime(2006, 5, 25, 12, 34, 56)) {
    SetLocalClockSource([this] { return Now(); });
}

TestClock::~TestClock() {
    SetLocalClockSource({});
}

void TestClock::Set(const LocalTime& time) {
    std::lock_guard<std::mutex> lock(mutex_);
    now_ = time;
}

void TestClock::AdvanceSeconds(int seconds) {
    std::lock_guard<std::mutex> lock(mutex_);
    int total = now_.hour * 3600 + now_.minute * 60 + now_.second + seconds;
    int day = now_.day + total / 86400;
    total %= 86400;
    now_ = MakeLocalTime(now_.year, now_.month, day, total / 3600, (total / 60) % 60, total % 60);
}

LocalTime TestClock::Now() {
    std::lock_guard<std::mutex> lock(mutex_);
    return now_;
}

MessageBoxRecorder::MessageBoxRecorder() {
    SetMessageBoxHandler([this](const MessageBoxRequest& request) {
        std::lock_guard<std::mutex> lock(mutex_);
        texts_.push_back(request.text);
        captions_.push_back(request.caption);
        return IDOK;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    FlushPendingMessageBoxes();
    SetMessageBoxHandler({});
}

std::vector<std::string> MessageBoxRecorder::Texts() {
    FlushPendingMessageBoxes();
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}

std::vector<std::string> MessageBoxRecorder::Captions() {
    FlushPendingMessageBoxes();
    std::lock_guard<std::mutex> lock(mutex_);
    return captions_;
}

int MessageBoxRecorder::Count(const std::string& text) {
    const auto texts = Texts();
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

ChannelServicesFixture::ChannelServicesFixture() {
    SetChannelHost(&host);
    SetPictureControls(&controls);
    SetAlertSink(&alerts);
    SetLiveSound(&sound);
}

ChannelServicesFixture::~ChannelServicesFixture() {
    SetChannelHost(nullptr);
    SetPictureControls(nullptr);
    SetAlertSink(nullptr);
    SetLiveSound(nullptr);
}

std::vector<uint8_t> FlatPicture(int width, int height, uint8_t luma, uint8_t u, uint8_t v) {
    const size_t lumaBytes = static_cast<size_t>(width) * height;
    std::vector<uint8_t> picture(lumaBytes * 3 / 2);
    std::fill(picture.begin(), picture.begin() + lumaBytes, luma);
    std::fill(picture.begin() + lumaBytes, picture.begin() + lumaBytes * 5 / 4, u);
    std::fill(picture.begin() + lumaBytes * 5 / 4, picture.end(), v);
    return picture;
}

std::vector<uint8_t> BlockPicture(int width, int height, int bx, int by, int bw, int bh,
                                  uint8_t blockLuma) {
    std::vector<uint8_t> picture = FlatPicture(width, height);
    for (int row = by; row < by + bh && row < height; ++row) {
        for (int col = bx; col < bx + bw && col < width; ++col) {
            picture[static_cast<size_t>(row) * width + col] = blockLuma;
        }
    }
    return picture;
}

std::vector<uint8_t> MovingPicture(int width, int height, int n) {
    std::vector<uint8_t> picture = FlatPicture(width, height);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            picture[static_cast<size_t>(row) * width + col] =
                static_cast<uint8_t>(16 + (row + col) % 200);
        }
    }
    const int bar = (n * 8) % width;
    for (int row = 0; row < height; ++row) {
        for (int col = bar; col < bar + 16 && col < width; ++col) {
            picture[static_cast<size_t>(row) * width + col] = 235;
        }
    }
    return picture;
}

bool WaitFor(const std::function<bool()>& cond) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

namespace {

std::string Run(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) {
        return out;
    }
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
        out.append(buffer.data(), n);
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

}  // namespace

std::vector<std::string> ProbeVideoFlags(const std::string& path) {
    return Lines(
        Run("/usr/bin/ffprobe -v error -select_streams v:0 -show_entries packet=flags "
            "-of csv=p=0 '" +
            path + "' 2>/dev/null"));
}

std::string ProbeVideoField(const std::string& path, const std::string& key) {
    for (const std::string& line : Lines(Run("/usr/bin/ffprobe -v error -count_packets "
                                             "-select_streams v:0 -show_streams '" +
                                             path + "' 2>/dev/null"))) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "";
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& prefix,
                                   const std::string& suffix) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}
