#include "platform/capture/device_enum.h"

#include <mutex>

namespace {

class NoDeviceBackend : public CaptureBackend {
public:
    std::vector<std::unique_ptr<IMoniker>> Enumerate(DeviceCategory) override { return {}; }
};

std::mutex g_backendMutex;
std::shared_ptr<CaptureBackend> g_backend;

}  // namespace

std::shared_ptr<CaptureBackend> CreateNoDeviceBackend() {
    return std::make_shared<NoDeviceBackend>();
}

std::shared_ptr<CaptureBackend> GetCaptureBackend() {
    std::lock_guard<std::mutex> lock(g_backendMutex);
    if (!g_backend) {
        g_backend = CreateNoDeviceBackend();
    }
    return g_backend;
}

void SetCaptureBackend(std::shared_ptr<CaptureBackend> backend) {
    std::lock_guard<std::mutex> lock(g_backendMutex);
    g_backend = std::move(backend);
}

HRESULT ICreateDevEnum::CreateClassEnumerator(DeviceCategory category,
                                              std::vector<std::unique_ptr<IMoniker>>* monikers) {
    if (monikers == nullptr) {
        return E_POINTER;
    }
    *monikers = m_backend->Enumerate(category);
    return monikers->empty() ? S_FALSE : S_OK;
}

HRESULT CoInitialize() {
    return GetCaptureBackend()->CoInitialize();
}

void CoUninitialize() {
    GetCaptureBackend()->CoUninitialize();
}

HRESULT CoCreateFilterGraph(std::unique_ptr<FilterGraph>* graph) {
    if (graph == nullptr) {
        return E_POINTER;
    }
    auto backend = GetCaptureBackend();
    if (!backend->CanCreateGraph()) {
        return E_FAIL;
    }
    *graph = std::make_unique<FilterGraph>(backend->GraphOffersMediaControl());
    return S_OK;
}

HRESULT CoCreateCaptureGraphBuilder(std::unique_ptr<ICaptureGraphBuilder2>* builder) {
    if (builder == nullptr) {
        return E_POINTER;
    }
    if (!GetCaptureBackend()->CanCreateBuilder()) {
        return E_FAIL;
    }
    *builder = std::make_unique<ICaptureGraphBuilder2>();
    return S_OK;
}

HRESULT CoCreateSystemDeviceEnum(std::unique_ptr<ICreateDevEnum>* devEnum) {
    if (devEnum == nullptr) {
        return E_POINTER;
    }
    auto backend = GetCaptureBackend();
    if (!backend->CanCreateDeviceEnum()) {
        return E_FAIL;
    }
    *devEnum = std::make_unique<ICreateDevEnum>(backend);
    return S_OK;
}
