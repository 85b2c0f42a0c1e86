#include "capture/crossbar_helper.h"

#include <cstdio>
#include <cstring>

#include "capture/capture_device.h"
#include "platform/capture/connector_types.h"

namespace {

constexpr int32_t kFirstAudioConnector = 4096;
// A chain deeper than this is taken as a loop in the device's wiring.
constexpr int32_t kMaxChainDepth = 16;
// The route switched at initialisation.
constexpr int32_t kInitialRoute = 2;

// The filter behind a crossbar, whose pins are its inputs, then its outputs;
// null when the crossbar is no filter. *inputs is the number of inputs.
BaseFilter* CrossbarFilter(IAMCrossbar* xbar, int32_t* inputs) {
    BaseFilter* filter = dynamic_cast<BaseFilter*>(xbar);
    if (filter == nullptr) {
        return nullptr;
    }
    int32_t outputs = 0;
    xbar->get_PinCounts(&outputs, inputs);
    return filter;
}

}  // namespace

CCrossbarHelper::CCrossbarHelper(Pin* startingPin, HRESULT* result)
    : m_pStartingPin(startingPin), m_pRoutes(std::make_unique<std::vector<SavedRoute>>()) {
    const HRESULT hr = BuildRoutes(m_pStartingPin, &m_Root, 0);
    if (result != nullptr) {
        *result = hr;
    }
}

CCrossbarHelper::~CCrossbarHelper() {
    DestroyRoutes();
}

HRESULT CCrossbarHelper::BuildRoutes(Pin* inputPin, CrossbarRoute* route, int32_t depth) {
    if (inputPin == nullptr || route == nullptr) {
        return E_POINTER;
    }
    Pin* connected = inputPin->ConnectedTo();
    if (connected == nullptr) {
        return depth > 0 ? S_FALSE : E_FAIL;
    }
    BaseFilter* filter = connected->Owner();
    if (filter == nullptr) {
        return S_OK;
    }
    IAMCrossbar* xbar = filter->Crossbar();
    if (xbar == nullptr || depth >= kMaxChainDepth) {
        return depth > 0 ? S_FALSE : E_FAIL;
    }
    int32_t outputs = 0;
    int32_t inputs = 0;
    int32_t outIndex = 0;
    int32_t outRelated = -1;
    int32_t outType = 0;
    if (FAILED(xbar->get_PinCounts(&outputs, &inputs)) ||
        FAILED(IndexOfPin(xbar, &outIndex, false, connected)) ||
        FAILED(xbar->get_CrossbarPinInfo(false, outIndex, &outRelated, &outType))) {
        return depth > 0 ? S_FALSE : E_FAIL;
    }
    for (int32_t i = 0; i < inputs; ++i) {
        int32_t inRelated = -1;
        int32_t inType = 0;
        if (FAILED(xbar->get_CrossbarPinInfo(true, i, &inRelated, &inType)) ||
            inType >= kFirstAudioConnector || xbar->CanRoute(outIndex, i) != S_OK) {
            continue;
        }
        Pin* inPin = nullptr;
        if (FAILED(PinAtIndex(xbar, i, true, &inPin))) {
            continue;
        }
        CrossbarRoute next;
        next.pRight = route;
        route->pLeft = &next;
        route->pXbar = xbar;
        route->nVideoInputIndex = i;
        route->nVideoOutputIndex = outIndex;
        route->nAudioInputIndex = inRelated;
        route->nAudioOutputIndex = outRelated;
        route->nInputPhysicalType = inType;
        route->nOutputPhysicalType = outType;
        route->nDepth = depth;
        if (BuildRoutes(inPin, &next, depth + 1) == S_FALSE) {
            // The chain ends at this input: a complete route.
            route->pLeft = nullptr;
            SaveRoute(route);
        }
        route->pLeft = nullptr;
    }
    return S_OK;
}

HRESULT CCrossbarHelper::SaveRoute(const CrossbarRoute* upstreamEnd) {
    if (!m_pRoutes) {
        return E_POINTER;
    }
    SavedRoute saved;
    for (const CrossbarRoute* step = upstreamEnd; step != nullptr; step = step->pRight) {
        saved.push_back(*step);
    }
    for (size_t k = 0; k < saved.size(); ++k) {
        saved[k].pLeft = k > 0 ? &saved[k - 1] : nullptr;
        saved[k].pRight = k + 1 < saved.size() ? &saved[k + 1] : nullptr;
    }
    m_pRoutes->push_back(std::move(saved));
    // Moving a vector keeps its elements in place, so the links stay valid.
    return S_OK;
}

HRESULT CCrossbarHelper::DestroyRoutes() {
    if (!m_pRoutes) {
        return E_POINTER;
    }
    m_pRoutes->clear();
    return S_OK;
}

const CCrossbarHelper::SavedRoute* CCrossbarHelper::RouteAt(int32_t index) const {
    if (!m_pRoutes || index < 0 || index >= static_cast<int32_t>(m_pRoutes->size())) {
        return nullptr;
    }
    return &(*m_pRoutes)[static_cast<size_t>(index)];
}

HRESULT CCrossbarHelper::GetInputCount(int32_t* count) const {
    if (!m_pRoutes || count == nullptr) {
        return E_POINTER;
    }
    *count = static_cast<int32_t>(m_pRoutes->size());
    return S_OK;
}

HRESULT CCrossbarHelper::GetInputName(int32_t route, char* buffer, int32_t size) const {
    if (!m_pRoutes) {
        return E_POINTER;
    }
    const SavedRoute* saved = RouteAt(route);
    if (saved == nullptr || buffer == nullptr || saved->empty()) {
        return E_FAIL;
    }
    return ConnectorTypeName(buffer, size, (*saved)[0].nInputPhysicalType) ? S_OK : E_FAIL;
}

HRESULT CCrossbarHelper::SelectInput(int32_t route) {
    if (!m_pRoutes) {
        return E_POINTER;
    }
    const SavedRoute* saved = RouteAt(route);
    if (saved == nullptr) {
        return E_FAIL;
    }
    HRESULT hr = E_FAIL;
    // Upstream crossbar first, the one next to the capture filter last.
    for (const CrossbarRoute& step : *saved) {
        hr = step.pXbar->Route(step.nVideoOutputIndex, step.nVideoInputIndex);
        if (step.nAudioOutputIndex != -1 && step.nAudioInputIndex != -1) {
            step.pXbar->Route(step.nAudioOutputIndex, step.nAudioInputIndex);
        }
    }
    m_nCurrentRoute = route;
    return hr;
}

int CCrossbarHelper::ConnectorTypeName(char* buffer, int32_t size, int32_t type) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const ConnectorTypeInfo* connector = FindConnectorType(type);
    const char* name = connector != nullptr ? connector->name : "Unknown";
    std::snprintf(buffer, static_cast<size_t>(size), "%s", name);
    return 1;
}

HRESULT CCrossbarHelper::PinAtIndex(IAMCrossbar* xbar, int32_t index, bool input, Pin** pin) {
    if (xbar == nullptr || pin == nullptr) {
        return E_POINTER;
    }
    *pin = nullptr;
    int32_t inputs = 0;
    BaseFilter* filter = CrossbarFilter(xbar, &inputs);
    if (filter == nullptr) {
        return E_FAIL;
    }
    // Inputs come first, then outputs.
    const int32_t position = input ? index : inputs + index;
    int32_t k = 0;
    for (const auto& p : filter->Pins()) {
        if (k == position) {
            if ((p->Direction() == PinDirection::Input) != input) {
                return E_FAIL;
            }
            *pin = p.get();
            return S_OK;
        }
        ++k;
    }
    return E_FAIL;
}

HRESULT CCrossbarHelper::IndexOfPin(IAMCrossbar* xbar, int32_t* index, bool input, Pin* pin) {
    if (xbar == nullptr || index == nullptr || pin == nullptr) {
        return E_POINTER;
    }
    int32_t inputs = 0;
    BaseFilter* filter = CrossbarFilter(xbar, &inputs);
    if (filter == nullptr) {
        return E_FAIL;
    }
    int32_t k = 0;
    for (const auto& p : filter->Pins()) {
        if (p.get() == pin) {
            if ((p->Direction() == PinDirection::Input) != input) {
                return E_FAIL;
            }
            *index = input ? k : k - inputs;
            return S_OK;
        }
        ++k;
    }
    return E_FAIL;
}

int32_t FindCrossbar(int32_t device) {
    if (device < 0 || device >= MAX_CAPTURE_DEVICES) {
        return E_FAIL;
    }
    CaptureDevice& entry = g_CaptureDevices[device];
    if (!entry.pCaptureFilter) {
        return E_FAIL;
    }
    for (const auto& pin : entry.pCaptureFilter->Pins()) {
        if (pin->Direction() != PinDirection::Input ||
            pin->Category() != PinCategory::AnalogVideoIn) {
            continue;
        }
        HRESULT hr = S_OK;
        entry.pCrossbar = std::make_unique<CCrossbarHelper>(pin.get(), &hr);
        if (SUCCEEDED(hr)) {
            int32_t count = 0;
            entry.pCrossbar->GetInputCount(&count);
            entry.nCrossbarInputs = count;
        }
        break;
    }
    if (entry.pCrossbar && entry.nCrossbarInputs != 0) {
        entry.pCrossbar->SelectInput(kInitialRoute);
    }
    return 0;
}

int32_t SelectCaptureInput(uint8_t device, int32_t route) {
    CaptureDevice* entry = CaptureDeviceInUse(device);
    if (entry == nullptr || !entry->pCrossbar || route < 0 || route >= entry->nCrossbarInputs) {
        return 0;
    }
    return SUCCEEDED(entry->pCrossbar->SelectInput(route)) ? 1 : 0;
}
