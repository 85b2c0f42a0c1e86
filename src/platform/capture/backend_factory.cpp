#include "platform/capture/backend_factory.h"

#include <cstdio>
#include <string>

#include "platform/capture/real_backend.h"
#include "platform/capture/synthetic_backend.h"

std::shared_ptr<CaptureBackend> CreateCaptureBackend(const char* syntheticDevicesFile) {
    if (syntheticDevicesFile == nullptr || *syntheticDevicesFile == '\0') {
        return CreateRealBackend();
    }
    SyntheticConfig config;
    std::string error;
    if (!LoadSyntheticConfig(syntheticDevicesFile, &config, &error)) {
        std::fprintf(stderr, "%s: %s\n", kSyntheticDevicesEnv, error.c_str());
        return CreateNoDeviceBackend();
    }
    return std::make_shared<SyntheticBackend>(std::move(config));
}
