#pragma once
// The ALSA calls the audio back end makes, behind a small interface: listing
// capture devices, opening one for 16-bit interleaved capture with a given
// period, reading, and recovering from overruns.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AlsaCaptureDevice {
    std::string id;    // device string to open, e.g. "plughw:0,0"
    std::string name;  // name shown to the user (UTF-8)
};

class AlsaPcmStream {
public:
    virtual ~AlsaPcmStream() = default;  // closes the device
    // Reads up to frames frames; the number read, 0 when nothing came within
    // a short wait, or a negative error code (-EPIPE for an overrun).
    virtual long Read(int16_t* buffer, unsigned long frames) = 0;
    // Makes the stream usable again after a failed read; 0 on success.
    virtual int Recover(int error) = 0;
};

class AlsaPcmIo {
public:
    virtual ~AlsaPcmIo() = default;
    virtual std::vector<AlsaCaptureDevice> ListCaptureDevices() = 0;
    // Opens the device at the rate and channel count with S16 samples;
    // null on failure.
    virtual std::unique_ptr<AlsaPcmStream> Open(const std::string& id, unsigned rate,
                                                unsigned channels, unsigned periodFrames) = 0;
};

std::shared_ptr<AlsaPcmIo> CreateSystemAlsaPcmIo();
