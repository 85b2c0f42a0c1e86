#pragma once
// A capture back end whose component runtime or graph objects cannot be
// made at the steps a test names; the devices come from the back end
// behind it.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/capture/device_enum.h"

enum GraphFailure : uint32_t {
    kFailCoInit = 1u << 0,
    kFailGraph = 1u << 1,
    kFailBuilder = 1u << 2,
    kFailDevEnum = 1u << 3,
    kFailMediaControl = 1u << 4,
};

class FailingGraphBackend : public CaptureBackend {
public:
    FailingGraphBackend(std::shared_ptr<CaptureBackend> devices, uint32_t failures)
        : m_devices(std::move(devices)), m_failures(failures) {}

    HRESULT CoInitialize() override {
        return Fails(kFailCoInit) ? E_FAIL : m_devices->CoInitialize();
    }
    void CoUninitialize() override { m_devices->CoUninitialize(); }
    bool CanCreateGraph() const override { return !Fails(kFailGraph); }
    bool CanCreateBuilder() const override { return !Fails(kFailBuilder); }
    bool CanCreateDeviceEnum() const override { return !Fails(kFailDevEnum); }
    bool GraphOffersMediaControl() const override { return !Fails(kFailMediaControl); }
    std::vector<std::unique_ptr<IMoniker>> Enumerate(DeviceCategory category) override {
        return m_devices->Enumerate(category);
    }

private:
    bool Fails(GraphFailure step) const { return (m_failures & step) != 0; }

    std::shared_ptr<CaptureBackend> m_devices;
    uint32_t m_failures;
};
