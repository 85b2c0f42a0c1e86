#pragma once
// The machine's own devices: V4L2 cameras as video input, ALSA capture
// devices as audio input.

#include <memory>

#include "platform/capture/alsa_pcm.h"
#include "platform/capture/device_enum.h"
#include "platform/capture/v4l2_io.h"

// Over the given system-call layers (the real ones by default).
std::shared_ptr<CaptureBackend> CreateRealBackend(std::shared_ptr<V4l2Io> v4l2 = nullptr,
                                                  std::shared_ptr<AlsaPcmIo> alsa = nullptr);
