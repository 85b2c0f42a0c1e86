#pragma once
// Recording stand-ins for everything a channel reaches outside itself, a
// test clock, message-box capture and synthetic pictures, so that a
// channel can be driven alone in a test.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "channel/channel_services.h"
#include "platform/clock/local_clock.h"

struct LogLine {
    int type;
    int channel;
    std::string text;
    bool operator==(const LogLine&) const = default;
};

class FakeChannelHost final : public IChannelHost {
public:
    void WriteLogEntry(int type, int channel, const char* text) override;
    std::string GetRecordFolder() override;
    std::string GetSnapshotFolder() override;

    void SetRecordFolder(std::string folder);
    void SetSnapshotFolder(std::string folder);
    std::vector<LogLine> Lines();
    std::vector<LogLine> LinesOfType(int type);

private:
    std::mutex mutex_;
    std::vector<LogLine> lines_;
    std::string recordFolder_;
    std::string snapshotFolder_;
};

class FakePictureControls final : public IPictureControls {
public:
    uint32_t GetVideoProcAmp(uint8_t device) override;
    uint32_t SetVideoProcAmp(uint8_t device, uint32_t packed) override;

    std::atomic<uint32_t> current{0x11223344};
    std::atomic<int> gets{0};
    std::atomic<int> sets{0};
    std::atomic<uint32_t> lastSet{0};
    std::atomic<int> lastDevice{-1};
};

class FakeAlertSink final : public IAlertSink {
public:
    void RaiseMotionAlert(int channel) override;
    void AddAlertSnapshot(int channel, const char* path) override;

    std::vector<int> Alerts();
    std::vector<std::string> Snapshots();

private:
    std::mutex mutex_;
    std::vector<int> alerts_;
    std::vector<std::string> snapshots_;
};

class FakeLiveSound final : public ILiveSound {
public:
    void WritePcm(const uint8_t* data, int bytes) override;
    std::atomic<int> bytesWritten{0};
};

class FakePreviewSink final : public IPreviewSink {
public:
    void OnPreviewFrame(const uint8_t* y, const uint8_t* u, const uint8_t* v, int yStride,
                        int uvStride, int width, int height) override;
    std::vector<uint8_t> LastLuma();
    int frames = 0;
    int lastWidth = 0;
    int lastHeight = 0;
    int lastYStride = 0;
    int lastUvStride = 0;

private:
    std::mutex mutex_;
    std::vector<uint8_t> luma_;
};

// A wall clock that stands still until the test moves it.
class TestClock {
public:
    TestClock();  // 2006-05-25 12:34:56
    ~TestClock();
    void Set(const LocalTime& time);
    void AdvanceSeconds(int seconds);
    LocalTime Now();

private:
    std::mutex mutex_;
    LocalTime now_;
};

// Collects every message box; boxes from worker threads arrive later, so
// Texts() first flushes them.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    std::vector<std::string> Texts();
    std::vector<std::string> Captions();
    int Count(const std::string& text);

private:
    std::mutex mutex_;
    std::vector<std::string> texts_;
    std::vector<std::string> captions_;
};

// Installs all fakes for the life of the object and clears them after.
struct ChannelServicesFixture {
    ChannelServicesFixture();
    ~ChannelServicesFixture();
    FakeChannelHost host;
    FakePictureControls controls;
    FakeAlertSink alerts;
    FakeLiveSound sound;
};

// An I420 picture of flat grey with luma level y everywhere.
std::vector<uint8_t> FlatPicture(int width, int height, uint8_t luma = 100, uint8_t u = 128,
                                 uint8_t v = 128);
// A picture with a bright block at (x, y) of size w x h over flat grey.
std::vector<uint8_t> BlockPicture(int width, int height, int bx, int by, int bw, int bh,
                                  uint8_t blockLuma = 220);
// A picture with a gradient and a bar that moves with n (varied content for
// encoders).
std::vector<uint8_t> MovingPicture(int width, int height, int n);

// Polls cond until true or about five seconds passed; the result of cond.
bool WaitFor(const std::function<bool()>& cond);

// ffprobe figures of one file: its video packets' flags in file order, and
// the video stream's key=value lines.
std::vector<std::string> ProbeVideoFlags(const std::string& path);
std::string ProbeVideoField(const std::string& path, const std::string& key);
// Files in folder whose names match the glob-free prefix and suffix.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& prefix,
                                   const std::string& suffix);
