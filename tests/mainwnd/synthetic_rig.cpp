#include "synthetic_rig.h"

#include <memory>
#include <string>

#include "platform/capture/device_enum.h"
#include "platform/capture/synthetic_backend.h"

namespace {

std::shared_ptr<SyntheticBackend> g_backend;

}  // namespace

void InstallSyntheticDevices(int videoCount, int audioCount) {
    SyntheticConfig config;
    for (int i = 0; i < videoCount; ++i) {
        SyntheticVideoDevice d;
        d.description = "Camera " + std::to_string(i + 1);
        d.caps = {{Subtype::I420, 352, 288, 400000}, {Subtype::I420, 176, 144, 400000}};
        d.realtime = false;
        config.video.push_back(d);
    }
    for (int i = 0; i < audioCount; ++i) {
        SyntheticAudioDevice d;
        d.description = "Microphone " + std::to_string(i + 1);
        d.formats = {{22050, 1, 16}};
        d.realtime = false;
        config.audio.push_back(d);
    }
    g_backend = std::make_shared<SyntheticBackend>(std::move(config));
    SetCaptureBackend(g_backend);
}

bool InstallSyntheticDevicesFrom(const std::string& iniText) {
    SyntheticConfig config;
    std::string error;
    if (!ParseSyntheticConfig(iniText, &config, &error)) {
        return false;
    }
    g_backend = std::make_shared<SyntheticBackend>(std::move(config));
    SetCaptureBackend(g_backend);
    return true;
}

void RemoveSyntheticDevices() {
    SetCaptureBackend(nullptr);
    g_backend.reset();
}

int PushPictures(int video, int n) {
    return g_backend->PushVideoFrames(static_cast<size_t>(video), n);
}

int PushSound(int audio, int n) {
    return g_backend->PushAudioBuffers(static_cast<size_t>(audio), n);
}

int RoutedInput(int video, int crossbar) {
    return g_backend->RoutedInput(static_cast<size_t>(video), crossbar);
}

SetFormat LastVideoFormat(int video) {
    const SyntheticDeviceLog log = g_backend->VideoLog(static_cast<size_t>(video));
    SetFormat f;
    f.count = static_cast<int>(log.formatsSet.size());
    if (!log.formatsSet.empty()) {
        const MediaType& m = log.formatsSet.back();
        f.width = m.video.bmiHeader.biWidth;
        f.height = m.video.bmiHeader.biHeight;
        f.fps =
            m.video.AvgTimePerFrame > 0 ? static_cast<int>(10000000 / m.video.AvgTimePerFrame) : 0;
    }
    return f;
}
