#pragma once
// A scripted ALSA layer for tests: lists the given devices, records how
// they were opened, produces a counting sample pattern and fails reads with
// an overrun at chosen points.

#include <atomic>
#include <mutex>
#include <vector>

#include "platform/capture/alsa_pcm.h"

class FakeAlsa : public AlsaPcmIo {
public:
    struct Opened {
        std::string id;
        unsigned rate, channels, periodFrames;
    };

    explicit FakeAlsa(std::vector<AlsaCaptureDevice> devices = {})
        : m_devices(std::move(devices)) {}

    std::vector<AlsaCaptureDevice> ListCaptureDevices() override { return m_devices; }
    std::unique_ptr<AlsaPcmStream> Open(const std::string& id, unsigned rate, unsigned channels,
                                        unsigned periodFrames) override;

    // Every n-th read fails with an overrun (0: never).
    std::atomic<int> overrunEvery{0};
    // Opens that fail before one succeeds.
    std::atomic<int> failOpens{0};
    std::atomic<int> recovers{0};
    std::atomic<int> openStreams{0};
    std::vector<Opened> Opens() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_opens;
    }

private:
    std::vector<AlsaCaptureDevice> m_devices;
    std::mutex m_mutex;
    std::vector<Opened> m_opens;
};
