#pragma once
// Setting up, running and tearing down the capture graph, and the device
// queries of the channel setup. All on the user-interface thread.

#include <cstdint>

#include "capture/capture_device.h"

// 1 when the graph was built (devices whose formats failed are reported and
// kept), 0 when the component runtime or the graph cannot be set up.
int InitCaptureDevices();
int FreeCaptureDevices();
// 1 when the graph now runs; 0 without media control, without any device,
// or when running fails.
int RunCapture();
// 1 when the graph stopped (every streaming thread has left the sinks).
int StopCapture();
// 1 stored; 0 when the index is not below the device count. A null
// function silences the device. Waits for a delivery of the device under
// way: once it returns, none runs inside the previous function.
int SetFrameCallback(uint8_t device, FrameCallback callback);
uint8_t GetCaptureDeviceCount();
int IsVideoDevice(uint8_t device);
// 1 for a video device whose format step at start succeeded: connected to
// its sink, it delivers pictures (a failed format change later keeps it
// delivering in its current format). 0 for any other index.
int IsPictureSource(uint8_t device);
// Fills name (512 bytes) and the inputs buffer (inputsSize bytes) with a
// count byte and that many NUL-terminated input names, as many as fit
// whole. 0 when the index is not in use or the device has no capture or
// sink filter (its format step failed).
int GetCaptureDeviceInfo(uint8_t device, char* name, char* inputs, int32_t inputsSize);

// Enumerates one category into the table (CAPDEV_VIDEO or CAPDEV_AUDIO).
void EnumCaptureDevices(uint8_t kind);
