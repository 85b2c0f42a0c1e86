#pragma once
// Device enumeration and the process's capture back end. A back end lists
// the devices of a category as monikers; each moniker binds, separately, to
// its property bag ("Description", "FriendlyName") and to its capture filter.
// The program installs its back end at start (backend_factory.h); tests
// install their own. Until one is installed there are no devices.

#include <memory>
#include <string>
#include <vector>

#include "platform/capture/filter.h"
#include "platform/capture/filter_graph.h"

enum class DeviceCategory { VideoInput, AudioInput };

class IPropertyBag {
public:
    virtual ~IPropertyBag() = default;
    // The property's text in UTF-16; a failure when the bag lacks it.
    virtual HRESULT Read(const std::string& name, std::u16string* value) = 0;
};

class IMoniker {
public:
    virtual ~IMoniker() = default;
    virtual HRESULT BindToPropertyBag(std::unique_ptr<IPropertyBag>* bag) = 0;
    virtual HRESULT BindToFilter(std::shared_ptr<BaseFilter>* filter) = 0;
};

class CaptureBackend {
public:
    virtual ~CaptureBackend() = default;
    // Per-thread set-up of the component runtime; failure is reported.
    virtual HRESULT CoInitialize() { return S_OK; }
    virtual void CoUninitialize() {}
    // Whether the graph, the builder and the device enumerator can be made,
    // and whether the graph offers run/stop control.
    virtual bool CanCreateGraph() const { return true; }
    virtual bool CanCreateBuilder() const { return true; }
    virtual bool CanCreateDeviceEnum() const { return true; }
    virtual bool GraphOffersMediaControl() const { return true; }
    // The devices of a category in enumeration order.
    virtual std::vector<std::unique_ptr<IMoniker>> Enumerate(DeviceCategory category) = 0;
};

class ICreateDevEnum {
public:
    explicit ICreateDevEnum(std::shared_ptr<CaptureBackend> backend)
        : m_backend(std::move(backend)) {}
    // S_FALSE and an empty list when the category has no device.
    HRESULT CreateClassEnumerator(DeviceCategory category,
                                  std::vector<std::unique_ptr<IMoniker>>* monikers);

private:
    std::shared_ptr<CaptureBackend> m_backend;
};

// The installed back end; one without devices when none is.
std::shared_ptr<CaptureBackend> GetCaptureBackend();
// Installs the back end; null leaves none.
void SetCaptureBackend(std::shared_ptr<CaptureBackend> backend);

// A back end without any device.
std::shared_ptr<CaptureBackend> CreateNoDeviceBackend();

// The variable through which the user names a synthetic device
// configuration file.
constexpr const char* kSyntheticDevicesEnv = "QUORVALIND_SYNTHETIC_DEVICES";

// Component-runtime stand-ins over the active back end.
HRESULT CoInitialize();
void CoUninitialize();
HRESULT CoCreateFilterGraph(std::unique_ptr<FilterGraph>* graph);
HRESULT CoCreateCaptureGraphBuilder(std::unique_ptr<ICaptureGraphBuilder2>* builder);
HRESULT CoCreateSystemDeviceEnum(std::unique_ptr<ICreateDevEnum>* devEnum);
