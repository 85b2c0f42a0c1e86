#pragma once
// The output services behind the wave output: each plays 16-bit PCM on a
// device of its own kind. A sink's Write blocks until the device has taken
// the bytes, so the device paces whoever feeds it; Interrupt makes a
// blocked or later Write return false at once, until Resume.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include "platform/mediacodes/media_codes.h"

struct WAVEFORMATEX {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;
};

class PcmSink {
public:
    virtual ~PcmSink() = default;
    virtual bool Write(const uint8_t* data, size_t bytes) = 0;
    virtual void Interrupt() = 0;
    virtual void Resume() = 0;
};

class PcmOutputService {
public:
    virtual ~PcmOutputService() = default;
    virtual unsigned DeviceCount() = 0;
    // Null when the device cannot be opened for the format.
    virtual std::unique_ptr<PcmSink> Open(const WAVEFORMATEX& format) = 0;
};

// Installs the service the wave output uses (the program does at start);
// null leaves none. Without one there is no device.
void SetPcmOutputService(std::shared_ptr<PcmOutputService> service);
std::shared_ptr<PcmOutputService> GetPcmOutputService();

// ALSA playback on the named PCM ("default" when empty). No sound card
// means no device.
std::shared_ptr<PcmOutputService> MakeAlsaOutput(const std::string& pcmName = "");

// Plays nothing, but at the pace of a real device (ALSA's own null device
// takes everything at once).
std::shared_ptr<PcmOutputService> MakeNullOutput(unsigned deviceCount = 1);
