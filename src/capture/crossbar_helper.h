#pragma once
// Routes from a video device's physical inputs through the chain of
// crossbars in front of its analog video input, named by their connector,
// each switchable at once.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/capture/filter.h"

struct CrossbarRoute {
    CrossbarRoute* pLeft = nullptr;   // one crossbar further upstream
    CrossbarRoute* pRight = nullptr;  // one crossbar further downstream
    int32_t nVideoInputIndex = 0;
    int32_t nVideoOutputIndex = 0;
    int32_t nAudioInputIndex = -1;
    int32_t nAudioOutputIndex = -1;
    // The crossbar filters belong to the capture filter, which the device
    // table keeps for as long as the helper lives.
    IAMCrossbar* pXbar = nullptr;
    int32_t nInputPhysicalType = 0;
    int32_t nOutputPhysicalType = 0;
    int32_t nDepth = 0;
};

class CCrossbarHelper {
public:
    // *result: the route search's result.
    CCrossbarHelper(Pin* startingPin, HRESULT* result);
    ~CCrossbarHelper();
    CCrossbarHelper(const CCrossbarHelper&) = delete;
    CCrossbarHelper& operator=(const CCrossbarHelper&) = delete;

    HRESULT GetInputCount(int32_t* count) const;
    HRESULT GetInputName(int32_t route, char* buffer, int32_t size) const;
    HRESULT SelectInput(int32_t route);
    int32_t CurrentRoute() const { return m_nCurrentRoute; }

    static int ConnectorTypeName(char* buffer, int32_t size, int32_t type);
    static HRESULT PinAtIndex(IAMCrossbar* xbar, int32_t index, bool input, Pin** pin);
    static HRESULT IndexOfPin(IAMCrossbar* xbar, int32_t* index, bool input, Pin* pin);

private:
    using SavedRoute = std::vector<CrossbarRoute>;

    HRESULT BuildRoutes(Pin* inputPin, CrossbarRoute* route, int32_t depth);
    HRESULT SaveRoute(const CrossbarRoute* upstreamEnd);
    HRESULT DestroyRoutes();
    const SavedRoute* RouteAt(int32_t index) const;

    Pin* m_pStartingPin;
    CrossbarRoute m_Root;
    std::unique_ptr<std::vector<SavedRoute>> m_pRoutes;
    int32_t m_nCurrentRoute = 0;
};

// Builds the helper of a video entry with an analog video input pin and
// switches the device to its route 2. 0, or E_FAIL without capture filter.
int32_t FindCrossbar(int32_t device);

// Switches the device's crossbars to the given route (a channel's stored
// input). 1 switched; 0 no such device or route.
int32_t SelectCaptureInput(uint8_t device, int32_t route);
