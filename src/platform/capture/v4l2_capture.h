#pragma once
// V4L2 cameras as capture filters. Every size the camera offers in YUV
// 4:2:0, YUYV or Motion-JPEG becomes one I420 capability (converted in
// here when the camera delivers another layout); the camera's inputs form a
// crossbar when it has several or a tuner; brightness, contrast, saturation
// and hue are its picture controls, mapped onto 0..255 when their range is
// wider.

#include <memory>
#include <string>
#include <vector>

#include "platform/capture/device_enum.h"
#include "platform/capture/v4l2_io.h"

struct V4l2DeviceInfo {
    std::string path;  // "/dev/videoN"
    std::string card;  // the driver's card name
};

// Video nodes 0..63 in numeric order that can capture and stream.
std::vector<V4l2DeviceInfo> ListV4l2Devices(V4l2Io& io);

// Opens the device and builds its capture filter; null when it cannot be
// opened or stops answering.
std::shared_ptr<BaseFilter> OpenV4l2CaptureFilter(std::shared_ptr<V4l2Io> io,
                                                  const std::string& path);

// Monikers of the listed devices.
std::vector<std::unique_ptr<IMoniker>> EnumerateV4l2(std::shared_ptr<V4l2Io> io);
