#include "capture/sink_filters.h"

#include <cstdlib>

#include "capture/capture_device.h"

CVideoSinkFilter::CVideoSinkFilter(uint8_t device) : m_byDevice(device) {}

CVideoSinkFilter::~CVideoSinkFilter() = default;

HRESULT CVideoSinkFilter::CheckMediaType(const MediaType* mt) {
    if (mt == nullptr) {
        return E_POINTER;
    }
    if (mt->formattype != FormatType::VideoInfo) {
        return E_INVALIDARG;
    }
    if (mt->majortype != MajorType::Video || mt->subtype != Subtype::I420) {
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CVideoSinkFilter::SetMediaType(const MediaType* mt) {
    if (mt == nullptr) {
        return E_POINTER;
    }
    std::lock_guard<std::mutex> lock(g_csVideoCapture);
    m_nWidth = mt->video.bmiHeader.biWidth;
    m_nHeight = std::abs(mt->video.bmiHeader.biHeight);
    m_nRowBytes = (m_nWidth * 3 + 3) & ~3;
    return S_OK;
}

HRESULT CVideoSinkFilter::DoRenderSample(MediaSample* sample) {
    std::lock_guard<std::mutex> lock(g_csVideoCapture);
    if (sample == nullptr) {
        return E_POINTER;
    }
    uint8_t* data = nullptr;
    sample->GetPointer(&data);
    if (FrameCallback callback = g_CaptureDevices[m_byDevice].pfnFrameCallback.load()) {
        callback(m_byDevice, data, sample->GetActualDataLength(), m_nWidth, m_nHeight, m_nRowBytes,
                 CAPTURE_KIND_VIDEO);
    }
    return S_OK;
}

CAudioSinkFilter::CAudioSinkFilter(uint8_t device) : m_byDevice(device) {}

CAudioSinkFilter::~CAudioSinkFilter() = default;

HRESULT CAudioSinkFilter::CheckMediaType(const MediaType* mt) {
    if (mt == nullptr) {
        return E_POINTER;
    }
    if (mt->formattype != FormatType::WaveFormatEx) {
        return E_INVALIDARG;
    }
    if (mt->majortype != MajorType::Audio || mt->subtype != Subtype::PCM) {
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CAudioSinkFilter::SetMediaType(const MediaType* mt) {
    if (mt == nullptr) {
        return E_POINTER;
    }
    std::lock_guard<std::mutex> lock(g_csAudioCapture);
    m_nChannels = mt->wave.nChannels;
    m_nSamplesPerSec = static_cast<int32_t>(mt->wave.nSamplesPerSec);
    m_nBitsPerSample = mt->wave.wBitsPerSample;
    return S_OK;
}

HRESULT CAudioSinkFilter::DoRenderSample(MediaSample* sample) {
    std::lock_guard<std::mutex> lock(g_csAudioCapture);
    if (sample == nullptr) {
        return E_POINTER;
    }
    uint8_t* data = nullptr;
    sample->GetPointer(&data);
    if (FrameCallback callback = g_CaptureDevices[m_byDevice].pfnFrameCallback.load()) {
        callback(m_byDevice, data, sample->GetActualDataLength(), m_nChannels, m_nSamplesPerSec,
                 m_nBitsPerSample, CAPTURE_KIND_AUDIO);
    }
    return S_OK;
}
