#include "platform/capture/backend_factory.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/capture/real_backend.h"
#include "platform/capture/synthetic_backend.h"

namespace {

// Stands in when the synthetic configuration cannot be read: no device.
class EmptyBackend : public CaptureBackend {
public:
    std::vector<std::unique_ptr<IMoniker>> Enumerate(DeviceCategory) override { return {}; }
};

}  // namespace

std::shared_ptr<CaptureBackend> CreateBackendFromEnvironment() {
    const char* path = std::getenv(kSyntheticDevicesEnv);
    if (path == nullptr || *path == '\0') {
        return CreateRealBackend();
    }
    SyntheticConfig config;
    std::string error;
    if (!LoadSyntheticConfig(path, &config, &error)) {
        // Start-up goes on without devices; the reason goes to the console
        // because no window exists yet.
        std::fprintf(stderr, "%s: %s\n", kSyntheticDevicesEnv, error.c_str());
        return std::make_shared<EmptyBackend>();
    }
    return std::make_shared<SyntheticBackend>(std::move(config));
}
