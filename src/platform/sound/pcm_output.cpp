#include "platform/sound/pcm_output.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

std::mutex g_serviceMutex;
std::shared_ptr<PcmOutputService> g_service;

// Sleeps until each byte's playing time has come, measured from the first
// write, so the feeder runs at the device rate.
class NullSink : public PcmSink {
public:
    explicit NullSink(uint32_t bytesPerSecond) : bytesPerSecond_(bytesPerSecond) {}

    bool Write(const uint8_t* /*data*/, size_t bytes) override {
        std::unique_lock<std::mutex> lock(mutex_);
        if (interrupted_) {
            return false;
        }
        const auto now = std::chrono::steady_clock::now();
        if (played_ == 0 || now > start_ + Duration(played_) + std::chrono::milliseconds(200)) {
            start_ = now;  // first write, or after a long pause: start over
            played_ = 0;
        }
        played_ += bytes;
        const auto due = start_ + Duration(played_);
        changed_.wait_until(lock, due, [&] { return interrupted_; });
        return !interrupted_;
    }

    void Interrupt() override {
        std::lock_guard<std::mutex> lock(mutex_);
        interrupted_ = true;
        changed_.notify_all();
    }

    void Resume() override {
        std::lock_guard<std::mutex> lock(mutex_);
        interrupted_ = false;
        played_ = 0;
    }

private:
    std::chrono::steady_clock::duration Duration(uint64_t bytes) const {
        return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(static_cast<double>(bytes) / bytesPerSecond_));
    }

    const uint32_t bytesPerSecond_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool interrupted_ = false;
    std::chrono::steady_clock::time_point start_;
    uint64_t played_ = 0;
};

class NullOutput : public PcmOutputService {
public:
    explicit NullOutput(unsigned devices) : devices_(devices) {}
    unsigned DeviceCount() override { return devices_; }
    std::unique_ptr<PcmSink> Open(const WAVEFORMATEX& format) override {
        if (devices_ == 0 || format.nAvgBytesPerSec == 0) {
            return nullptr;
        }
        return std::make_unique<NullSink>(format.nAvgBytesPerSec);
    }

private:
    const unsigned devices_;
};

}  // namespace

void SetPcmOutputService(std::shared_ptr<PcmOutputService> service) {
    std::lock_guard<std::mutex> lock(g_serviceMutex);
    g_service = std::move(service);
}

std::shared_ptr<PcmOutputService> GetPcmOutputService() {
    std::lock_guard<std::mutex> lock(g_serviceMutex);
    if (g_service == nullptr) {
        g_service = MakeNullOutput(0);
    }
    return g_service;
}

std::shared_ptr<PcmOutputService> MakeNullOutput(unsigned deviceCount) {
    return std::make_shared<NullOutput>(deviceCount);
}
