#pragma once
// Synthetic capture devices: video devices with any capability list,
// crossbar chains and picture controls, audio devices with their formats,
// device failures injected at each step, pictures and sound paced in real
// time or pushed by a test one at a time. Every format set, route and
// control set is recorded for assertions.

#include <memory>
#include <mutex>
#include <vector>

#include "platform/capture/device_enum.h"
#include "platform/capture/synthetic_config.h"

struct SyntheticDeviceLog {
    struct Route {
        int crossbar;
        int32_t output;
        int32_t input;
    };
    struct ProcAmpSet {
        int32_t property;
        int32_t value;
        int32_t flags;
    };
    std::vector<MediaType> formatsSet;  // every format the device took
    std::vector<Route> routes;
    std::vector<ProcAmpSet> procAmpSets;
    std::vector<AllocatorProperties> bufferSuggestions;
};

class SyntheticRecorder {
public:
    template <typename F>
    void Update(F&& f) {
        std::lock_guard<std::mutex> lock(m_mutex);
        f(m_log);
    }
    SyntheticDeviceLog Snapshot() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_log;
    }

private:
    mutable std::mutex m_mutex;
    SyntheticDeviceLog m_log;
};

class SyntheticVideoSource;
class SyntheticAudioSource;

class SyntheticBackend : public CaptureBackend,
                         public std::enable_shared_from_this<SyntheticBackend> {
public:
    explicit SyntheticBackend(SyntheticConfig config);
    ~SyntheticBackend() override;

    HRESULT CoInitialize() override;
    void CoUninitialize() override;
    std::vector<std::unique_ptr<IMoniker>> Enumerate(DeviceCategory category) override;

    // What the i-th configured device recorded.
    SyntheticDeviceLog VideoLog(size_t i) const;
    SyntheticDeviceLog AudioLog(size_t i) const;
    // Delivers n pictures (sound buffers) of the i-th configured device on
    // the calling thread; returns how many reached a running, connected sink.
    int PushVideoFrames(size_t i, int n);
    int PushAudioBuffers(size_t i, int n);
    // The current value of a picture control (property id), -1 when absent.
    int32_t ProcAmpValue(size_t i, int32_t property) const;
    // The crossbar input feeding output 0 of the given crossbar.
    int32_t RoutedInput(size_t i, int crossbar) const;
    // Component-runtime initialisations not yet undone.
    int CoInitBalance() const;

    const SyntheticConfig& Config() const { return m_config; }

    // Used by the monikers.
    std::shared_ptr<BaseFilter> BindVideo(size_t i);
    std::shared_ptr<BaseFilter> BindAudio(size_t i);

private:
    std::shared_ptr<SyntheticVideoSource> Video(size_t i) const;
    std::shared_ptr<SyntheticAudioSource> Audio(size_t i) const;

    SyntheticConfig m_config;
    std::vector<std::shared_ptr<SyntheticRecorder>> m_videoLogs;
    std::vector<std::shared_ptr<SyntheticRecorder>> m_audioLogs;
    mutable std::mutex m_mutex;
    std::vector<std::weak_ptr<SyntheticVideoSource>> m_videoFilters;
    std::vector<std::weak_ptr<SyntheticAudioSource>> m_audioFilters;
    int m_coInit = 0;
};
