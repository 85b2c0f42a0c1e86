#pragma once
// ALSA capture devices as audio capture filters: 16-bit PCM, mono or stereo
// at 22050, 44100 or 48000 Hz (the device converts), delivered in buffers
// of the size negotiated on the pin; an overrun is recovered and capture
// goes on.

#include <memory>
#include <vector>

#include "platform/capture/alsa_pcm.h"
#include "platform/capture/device_enum.h"

std::vector<std::unique_ptr<IMoniker>> EnumerateAlsa(std::shared_ptr<AlsaPcmIo> io);

// The capture filter of one device (used by the monikers and by tests).
std::shared_ptr<BaseFilter> CreateAlsaCaptureFilter(std::shared_ptr<AlsaPcmIo> io,
                                                    const AlsaCaptureDevice& device);
