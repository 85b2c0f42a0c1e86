#pragma once
// Base class of the graph's renderers (the capture sinks). A source's
// streaming thread hands each sample to Receive, which renders it at once
// while the graph runs; the sample's buffer is valid only during the call.

#include <atomic>
#include <cstdint>

#include "platform/capture/filter.h"

class MediaSample {
public:
    MediaSample(uint8_t* data, int32_t length) : m_data(data), m_length(length) {}
    HRESULT GetPointer(uint8_t** data) const {
        if (data == nullptr) {
            return E_POINTER;
        }
        *data = m_data;
        return S_OK;
    }
    int32_t GetActualDataLength() const { return m_length; }

private:
    uint8_t* m_data;
    int32_t m_length;
};

class BaseRenderer : public BaseFilter {
public:
    BaseRenderer();

    // E_POINTER for null, a failure when the type is refused.
    virtual HRESULT CheckMediaType(const MediaType* mt) = 0;
    // The connection settled on (or changed to) this accepted type.
    virtual HRESULT SetMediaType(const MediaType* mt) = 0;
    virtual HRESULT DoRenderSample(MediaSample* sample) = 0;

    // Streaming-thread entry: renders while running, drops otherwise.
    HRESULT Receive(MediaSample* sample);

    Pin* InputPin() const { return m_input; }
    HRESULT Run() override;
    HRESULT Stop() override;
    bool IsRenderer() const override { return true; }
    // Samples rendered since creation.
    int64_t SamplesRendered() const { return m_rendered.load(); }

private:
    Pin* m_input;
    std::atomic<bool> m_running{false};
    std::atomic<int64_t> m_rendered{0};
};

// Video renderers schedule like any renderer here: the graph has no clock,
// so every sample is rendered as it arrives.
using BaseVideoRenderer = BaseRenderer;
