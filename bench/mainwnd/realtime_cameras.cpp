#include "realtime_cameras.h"

#include <memory>
#include <string>

#include "platform/capture/device_enum.h"
#include "platform/capture/synthetic_backend.h"

void InstallRealtimeCameras(int count, int fps) {
    SyntheticConfig config;
    for (int i = 0; i < count; ++i) {
        SyntheticVideoDevice d;
        d.description = "Camera " + std::to_string(i + 1);
        d.caps = {{Subtype::I420, 352, 288, 10000000 / fps}};
        config.video.push_back(d);
    }
    SetCaptureBackend(std::make_shared<SyntheticBackend>(config));
}

void RemoveRealtimeCameras() {
    SetCaptureBackend(nullptr);
}
