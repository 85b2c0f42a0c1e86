// Writes the first configuration (demo_config.h) into the current
// directory for a user who has not set the recorder up yet. An existing ini
// file is left alone.

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture/capture_graph.h"
#include "mainwnd/demo_config.h"
#include "platform/capture/backend_factory.h"
#include "platform/capture/device_enum.h"
#include "settings/channel_ini.h"
#include "settings/settings.h"

int main() {
    if (InitSettingsPaths() == 0) {
        std::fprintf(stderr, "The current directory path is too long.\n");
        return 1;
    }
    struct stat st;
    if (stat("Quorvalind.ini", &st) == 0) {
        std::printf("Quorvalind.ini exists; the configuration is kept.\n");
        return 0;
    }
    // The same devices the recorder will find.
    SetCaptureBackend(CreateCaptureBackend(std::getenv(kSyntheticDevicesEnv)));
    InitCaptureDevices();
    std::vector<DemoCamera> cameras;
    std::vector<std::string> microphones;
    const int devices = GetCaptureDeviceCount();
    for (int d = 0; d < devices; ++d) {
        char name[512] = {};
        char inputs[256] = {};
        GetCaptureDeviceInfo(static_cast<uint8_t>(d), name, inputs, sizeof inputs);
        if (IsVideoDevice(static_cast<uint8_t>(d))) {
            cameras.push_back({d + 1, name});
        } else {
            microphones.emplace_back(name);
        }
    }
    FreeCaptureDevices();
    if (cameras.empty()) {
        std::fprintf(stderr, "No camera found: no channel is configured.\n");
    }

    LoadSettingsFile();  // the defaults, or what a settings file holds
    const int count = MakeDemoConfig(cameras, microphones);
    if (SaveSettingsFile() != 1 || SaveChannelIni() != 1 || SaveRecordIni(count) != 1) {
        std::fprintf(stderr, "The configuration could not be written.\n");
        return 1;
    }
    std::printf("Configured %d channels on %zu camera(s)%s.\n", count, cameras.size(),
                count > 0 && !microphones.empty() ? ", channel 1 with sound" : "");
    return 0;
}
