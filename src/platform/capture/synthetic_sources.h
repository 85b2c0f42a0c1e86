#pragma once
// The filters of the synthetic devices: the video and audio capture filters
// and the crossbars in front of a video device's analog input.

#include <array>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/capture/source_filter.h"
#include "platform/capture/synthetic_backend.h"

class SyntheticCrossbarFilter : public BaseFilter, public IAMCrossbar {
public:
    SyntheticCrossbarFilter(int index, const SyntheticCrossbar& config,
                            std::shared_ptr<SyntheticRecorder> recorder);

    IAMCrossbar* Crossbar() override { return this; }
    HRESULT get_PinCounts(int32_t* outputCount, int32_t* inputCount) override;
    HRESULT get_CrossbarPinInfo(bool isInput, int32_t index, int32_t* related,
                                int32_t* physicalType) override;
    HRESULT CanRoute(int32_t output, int32_t input) override;
    HRESULT Route(int32_t output, int32_t input) override;
    HRESULT get_IsRoutedTo(int32_t output, int32_t* input) override;

    // Input pin by index among the inputs; output pin by index among outputs.
    Pin* InputPin(int32_t i) const;
    Pin* OutputPin(int32_t i) const;
    int32_t VideoRoute() const;

private:
    struct PinInfo {
        int32_t type;
        int32_t related;
    };
    int m_index;
    std::vector<PinInfo> m_inputs;
    std::vector<PinInfo> m_outputs;
    std::vector<int32_t> m_routing;
    mutable std::mutex m_mutex;
    std::shared_ptr<SyntheticRecorder> m_recorder;
};

class SyntheticVideoSource : public CaptureSourceFilter, public IAMVideoProcAmp {
public:
    SyntheticVideoSource(const SyntheticVideoDevice& config,
                         std::shared_ptr<SyntheticRecorder> recorder);
    ~SyntheticVideoSource() override;

    IAMVideoProcAmp* ProcAmp() override;
    HRESULT GetRange(int32_t property, int32_t* min, int32_t* max, int32_t* step, int32_t* def,
                     int32_t* flags) override;
    HRESULT Get(int32_t property, int32_t* value, int32_t* flags) override;
    HRESULT Set(int32_t property, int32_t value, int32_t flags) override;

    bool OffersStreamConfig() const override;
    int Push(int n);
    int32_t ProcAmpValue(int32_t property) const;
    int32_t RoutedInput(int crossbar) const;

protected:
    int CapsRecordSize() const override { return m_config.capsRecordSize; }
    HRESULT CheckDeviceFormat(const MediaType& mt) const override;
    HRESULT ApplyDeviceFormat(const MediaType& mt) override;
    HRESULT CheckConnect() const override;
    HRESULT StartDevice() override;
    bool PacesItself() const override { return m_config.realtime; }
    bool StreamOnce() override;

private:
    HRESULT ProduceAndDeliver();
    uint8_t Background() const;

    SyntheticVideoDevice m_config;
    std::shared_ptr<SyntheticRecorder> m_recorder;
    std::vector<std::shared_ptr<SyntheticCrossbarFilter>> m_crossbars;
    mutable std::mutex m_procAmpMutex;
    std::array<int32_t, 4> m_procAmp{};
    std::mutex m_produceMutex;
    std::vector<uint8_t> m_frame;
    int64_t m_frameNumber = 0;
    std::chrono::steady_clock::time_point m_next;
};

class SyntheticAudioSource : public CaptureSourceFilter {
public:
    SyntheticAudioSource(const SyntheticAudioDevice& config,
                         std::shared_ptr<SyntheticRecorder> recorder);
    ~SyntheticAudioSource() override;

    bool OffersStreamConfig() const override;
    bool OffersBufferNegotiation() const override;
    HRESULT SuggestAllocatorProperties(const AllocatorProperties& props) override;
    int Push(int n);

protected:
    int CapsRecordSize() const override { return m_config.capsRecordSize; }
    HRESULT ApplyDeviceFormat(const MediaType& mt) override;
    HRESULT CheckConnect() const override;
    HRESULT StartDevice() override;
    bool PacesItself() const override { return m_config.realtime; }
    bool StreamOnce() override;

private:
    HRESULT ProduceAndDeliver();
    size_t BufferBytes(const MediaType& mt) const;

    SyntheticAudioDevice m_config;
    std::shared_ptr<SyntheticRecorder> m_recorder;
    std::mutex m_produceMutex;
    std::vector<uint8_t> m_buffer;
    int64_t m_phase = 0;
    std::chrono::steady_clock::time_point m_next;
};
