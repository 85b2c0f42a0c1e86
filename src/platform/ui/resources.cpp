#include "platform/ui/resources.h"

#include <atomic>

namespace {
std::atomic<const IResourceProvider*> g_provider{nullptr};
}

void SetResourceProvider(const IResourceProvider* provider) {
    g_provider = provider;
}

const IResourceProvider* GetResourceProvider() {
    return g_provider;
}
