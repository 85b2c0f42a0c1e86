#pragma once
// The capture back end the program starts with: the synthetic devices
// described in a configuration file, or the machine's own devices.

#include <memory>

class CaptureBackend;

// syntheticDevicesFile null or empty: the real devices. A file that cannot
// be read gives no devices, and the reason goes to stderr (no window exists
// yet at start).
std::shared_ptr<CaptureBackend> CreateCaptureBackend(const char* syntheticDevicesFile);
