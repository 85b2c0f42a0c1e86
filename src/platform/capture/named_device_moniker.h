#pragma once
// The moniker of a real capture device: a bag holding only the device's
// friendly name, and a filter opened on demand.

#include <functional>
#include <memory>
#include <string>

#include "platform/capture/device_enum.h"

// bind opens the device's filter; a null filter is reported as E_FAIL.
std::unique_ptr<IMoniker> MakeNamedDeviceMoniker(std::string friendlyName,
                                                 std::function<std::shared_ptr<BaseFilter>()> bind);
