#pragma once
// The capture sinks: renderers that take exactly one kind of media (I420
// pictures, PCM sound), remember the connection's format and hand every
// sample to their device's FrameCallback while holding the capture lock of
// their kind.

#include <cstdint>

#include "platform/capture/renderer.h"

class CVideoSinkFilter : public BaseVideoRenderer {
public:
    explicit CVideoSinkFilter(uint8_t device);
    ~CVideoSinkFilter() override;

    HRESULT CheckMediaType(const MediaType* mt) override;
    HRESULT SetMediaType(const MediaType* mt) override;
    HRESULT DoRenderSample(MediaSample* sample) override;

private:
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nRowBytes = 0;
    uint8_t m_byDevice;
};

class CAudioSinkFilter : public BaseRenderer {
public:
    explicit CAudioSinkFilter(uint8_t device);
    ~CAudioSinkFilter() override;

    HRESULT CheckMediaType(const MediaType* mt) override;
    HRESULT SetMediaType(const MediaType* mt) override;
    HRESULT DoRenderSample(MediaSample* sample) override;

private:
    int32_t m_nChannels = 0;
    int32_t m_nSamplesPerSec = 0;
    int32_t m_nBitsPerSample = 0;
    uint8_t m_byDevice;
};
