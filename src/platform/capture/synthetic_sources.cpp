#include "platform/capture/synthetic_sources.h"

#include <algorithm>
#include <cstdlib>

#include "platform/capture/synthetic_pattern.h"

namespace {

constexpr int32_t kVideoDecoderOut = PhysConn_Video_VideoDecoder;
constexpr int32_t kAudioDecoderOut = PhysConn_Audio_AudioDecoder;
constexpr int64_t kDefaultInterval = 400000;  // 25 pictures a second

bool IsAudioType(int32_t type) {
    return type >= 4096;
}

MediaType TypeOfCap(const SyntheticVideoCap& cap) {
    MediaType mt = MakeVideoType(cap.subtype, cap.width, cap.height, cap.minFrameInterval);
    mt.majortype = cap.major;
    mt.formattype = cap.formatType;
    mt.cbFormat = cap.cbFormat != 0                          ? cap.cbFormat
                  : cap.formatType == FormatType::VideoInfo2 ? kVideoInfo2Size
                                                             : kVideoInfoSize;
    return mt;
}

std::vector<Capability> VideoCaps(const SyntheticVideoDevice& config) {
    std::vector<Capability> caps;
    for (const SyntheticVideoCap& c : config.caps) {
        Capability cap;
        cap.type = TypeOfCap(c);
        cap.caps.video.MinOutputWidth = cap.caps.video.MaxOutputWidth = c.width;
        cap.caps.video.MinOutputHeight = cap.caps.video.MaxOutputHeight = std::abs(c.height);
        cap.caps.video.MinFrameInterval = c.minFrameInterval;
        cap.caps.video.MaxFrameInterval = 5000000;
        caps.push_back(cap);
    }
    return caps;
}

MediaType InitialVideo(const SyntheticVideoDevice& config) {
    if (config.defaultCap >= 0 && config.defaultCap < static_cast<int>(config.caps.size())) {
        return TypeOfCap(config.caps[static_cast<size_t>(config.defaultCap)]);
    }
    return MakeVideoType(Subtype::I420, 352, 288, kDefaultInterval);
}

MediaType TypeOfFormat(const SyntheticAudioFormat& f) {
    MediaType mt = MakePcmType(f.samplesPerSec, f.channels, f.bitsPerSample);
    mt.subtype = f.subtype;
    mt.formattype = f.formatType;
    if (f.cbFormat != 0) {
        mt.cbFormat = f.cbFormat;
    }
    return mt;
}

std::vector<Capability> AudioCaps(const SyntheticAudioDevice& config) {
    std::vector<Capability> caps;
    for (const SyntheticAudioFormat& f : config.formats) {
        Capability cap;
        cap.type = TypeOfFormat(f);
        cap.caps.audio.MinimumChannels = cap.caps.audio.MaximumChannels = f.channels;
        cap.caps.audio.MinimumBitsPerSample = cap.caps.audio.MaximumBitsPerSample = f.bitsPerSample;
        cap.caps.audio.MinimumSampleFrequency = cap.caps.audio.MaximumSampleFrequency =
            f.samplesPerSec;
        caps.push_back(cap);
    }
    return caps;
}

MediaType InitialAudio(const SyntheticAudioDevice& config) {
    if (config.defaultFormat >= 0 &&
        config.defaultFormat < static_cast<int>(config.formats.size())) {
        return TypeOfFormat(config.formats[static_cast<size_t>(config.defaultFormat)]);
    }
    return MakePcmType(44100, 2, 16);
}

std::chrono::steady_clock::duration Interval100ns(int64_t units) {
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::nanoseconds(units * 100));
}

}  // namespace

// ---- crossbar ---------------------------------------------------------------

SyntheticCrossbarFilter::SyntheticCrossbarFilter(int index, const SyntheticCrossbar& config,
                                                 std::shared_ptr<SyntheticRecorder> recorder)
    : m_index(index), m_recorder(std::move(recorder)) {
    bool anyAudio = false;
    for (const SyntheticCrossbarInput& in : config.inputs) {
        const auto videoIndex = static_cast<int32_t>(m_inputs.size());
        m_inputs.push_back({in.physicalType, -1});
        if (in.withAudio) {
            m_inputs[static_cast<size_t>(videoIndex)].related = videoIndex + 1;
            m_inputs.push_back({in.audioType, videoIndex});
        }
        anyAudio = anyAudio || in.withAudio || IsAudioType(in.physicalType);
    }
    m_outputs.push_back({kVideoDecoderOut, anyAudio ? 1 : -1});
    if (anyAudio) {
        m_outputs.push_back({kAudioDecoderOut, 0});
    }
    for (const PinInfo& info : m_inputs) {
        AddPin(std::make_unique<Pin>(this, PinDirection::Input, PinCategory::None,
                                     IsAudioType(info.type) ? MajorType::Audio : MajorType::Video));
    }
    for (const PinInfo& info : m_outputs) {
        AddPin(std::make_unique<Pin>(this, PinDirection::Output, PinCategory::None,
                                     IsAudioType(info.type) ? MajorType::Audio : MajorType::Video));
    }
    // Each output starts on its first routable input.
    for (size_t o = 0; o < m_outputs.size(); ++o) {
        int32_t first = -1;
        for (size_t i = 0; i < m_inputs.size() && first < 0; ++i) {
            if (IsAudioType(m_inputs[i].type) == IsAudioType(m_outputs[o].type)) {
                first = static_cast<int32_t>(i);
            }
        }
        m_routing.push_back(first);
    }
}

Pin* SyntheticCrossbarFilter::InputPin(int32_t i) const {
    return Pins()[static_cast<size_t>(i)].get();
}

Pin* SyntheticCrossbarFilter::OutputPin(int32_t i) const {
    return Pins()[m_inputs.size() + static_cast<size_t>(i)].get();
}

int32_t SyntheticCrossbarFilter::VideoRoute() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_routing[0];
}

HRESULT SyntheticCrossbarFilter::get_PinCounts(int32_t* outputCount, int32_t* inputCount) {
    if (outputCount == nullptr || inputCount == nullptr) {
        return E_POINTER;
    }
    *outputCount = static_cast<int32_t>(m_outputs.size());
    *inputCount = static_cast<int32_t>(m_inputs.size());
    return S_OK;
}

HRESULT SyntheticCrossbarFilter::get_CrossbarPinInfo(bool isInput, int32_t index, int32_t* related,
                                                     int32_t* physicalType) {
    if (related == nullptr || physicalType == nullptr) {
        return E_POINTER;
    }
    const auto& pins = isInput ? m_inputs : m_outputs;
    if (index < 0 || index >= static_cast<int32_t>(pins.size())) {
        return E_INVALIDARG;
    }
    *related = pins[static_cast<size_t>(index)].related;
    *physicalType = pins[static_cast<size_t>(index)].type;
    return S_OK;
}

HRESULT SyntheticCrossbarFilter::CanRoute(int32_t output, int32_t input) {
    if (output < 0 || output >= static_cast<int32_t>(m_outputs.size()) || input < 0 ||
        input >= static_cast<int32_t>(m_inputs.size())) {
        return E_INVALIDARG;
    }
    return IsAudioType(m_inputs[static_cast<size_t>(input)].type) ==
                   IsAudioType(m_outputs[static_cast<size_t>(output)].type)
               ? S_OK
               : S_FALSE;
}

HRESULT SyntheticCrossbarFilter::Route(int32_t output, int32_t input) {
    if (CanRoute(output, input) != S_OK) {
        return E_INVALIDARG;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_routing[static_cast<size_t>(output)] = input;
    }
    m_recorder->Update([&](SyntheticDeviceLog& log) {
        log.routes.push_back({m_index, output, input});
    });
    return S_OK;
}

HRESULT SyntheticCrossbarFilter::get_IsRoutedTo(int32_t output, int32_t* input) {
    if (input == nullptr) {
        return E_POINTER;
    }
    if (output < 0 || output >= static_cast<int32_t>(m_outputs.size())) {
        return E_INVALIDARG;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    *input = m_routing[static_cast<size_t>(output)];
    return S_OK;
}

// ---- video ------------------------------------------------------------------

SyntheticVideoSource::SyntheticVideoSource(const SyntheticVideoDevice& config,
                                           std::shared_ptr<SyntheticRecorder> recorder)
    : CaptureSourceFilter(MajorType::Video, VideoCaps(config), InitialVideo(config)),
      m_config(config),
      m_recorder(std::move(recorder)) {
    for (size_t p = 0; p < 4; ++p) {
        m_procAmp[p] = m_config.procAmp[p].def;
    }
    if (!m_config.analogInput) {
        return;
    }
    Pin* analog = AddPin(std::make_unique<Pin>(this, PinDirection::Input,
                                               PinCategory::AnalogVideoIn, MajorType::Video));
    for (size_t i = 0; i < m_config.crossbars.size(); ++i) {
        m_crossbars.push_back(std::make_shared<SyntheticCrossbarFilter>(
            static_cast<int>(i), m_config.crossbars[i], m_recorder));
    }
    if (m_crossbars.empty()) {
        return;  // an analog input with nothing in front of it
    }
    Pin::Link(m_crossbars[0]->OutputPin(0), analog);
    for (size_t x = 0; x < m_crossbars.size(); ++x) {
        int32_t pinIndex = 0;
        for (const SyntheticCrossbarInput& in : m_config.crossbars[x].inputs) {
            const int up = in.upstreamCrossbar;
            if (up > 0 && up < static_cast<int>(m_crossbars.size()) &&
                static_cast<size_t>(up) != x) {
                Pin::Link(m_crossbars[static_cast<size_t>(up)]->OutputPin(0),
                          m_crossbars[x]->InputPin(pinIndex));
            }
            pinIndex += in.withAudio ? 2 : 1;
        }
    }
}

SyntheticVideoSource::~SyntheticVideoSource() {
    Stop();
}

IAMVideoProcAmp* SyntheticVideoSource::ProcAmp() {
    for (const auto& r : m_config.procAmp) {
        if (r.present) {
            return this;
        }
    }
    return nullptr;
}

HRESULT SyntheticVideoSource::GetRange(int32_t property, int32_t* min, int32_t* max, int32_t* step,
                                       int32_t* def, int32_t* flags) {
    if (min == nullptr || max == nullptr || step == nullptr || def == nullptr || flags == nullptr) {
        return E_POINTER;
    }
    if (property < 0 || property > 3 || !m_config.procAmp[static_cast<size_t>(property)].present) {
        return E_PROP_ID_UNSUPPORTED;
    }
    const SyntheticProcAmpRange& r = m_config.procAmp[static_cast<size_t>(property)];
    *min = r.min;
    *max = r.max;
    *step = r.step;
    *def = r.def;
    *flags = VideoProcAmp_Flags_Manual;
    return S_OK;
}

HRESULT SyntheticVideoSource::Get(int32_t property, int32_t* value, int32_t* flags) {
    if (value == nullptr || flags == nullptr) {
        return E_POINTER;
    }
    if (property < 0 || property > 3 || !m_config.procAmp[static_cast<size_t>(property)].present) {
        return E_PROP_ID_UNSUPPORTED;
    }
    std::lock_guard<std::mutex> lock(m_procAmpMutex);
    *value = m_procAmp[static_cast<size_t>(property)];
    *flags = VideoProcAmp_Flags_Manual;
    return S_OK;
}

HRESULT SyntheticVideoSource::Set(int32_t property, int32_t value, int32_t flags) {
    if (property < 0 || property > 3 || !m_config.procAmp[static_cast<size_t>(property)].present) {
        return E_PROP_ID_UNSUPPORTED;
    }
    const SyntheticProcAmpRange& r = m_config.procAmp[static_cast<size_t>(property)];
    m_recorder->Update([&](SyntheticDeviceLog& log) {
        log.procAmpSets.push_back({property, value, flags});
    });
    if (value < r.min || value > r.max) {
        return E_INVALIDARG;
    }
    std::lock_guard<std::mutex> lock(m_procAmpMutex);
    m_procAmp[static_cast<size_t>(property)] = value;
    return S_OK;
}

int32_t SyntheticVideoSource::ProcAmpValue(int32_t property) const {
    if (property < 0 || property > 3 || !m_config.procAmp[static_cast<size_t>(property)].present) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(m_procAmpMutex);
    return m_procAmp[static_cast<size_t>(property)];
}

int32_t SyntheticVideoSource::RoutedInput(int crossbar) const {
    if (crossbar < 0 || crossbar >= static_cast<int>(m_crossbars.size())) {
        return -1;
    }
    return m_crossbars[static_cast<size_t>(crossbar)]->VideoRoute();
}

bool SyntheticVideoSource::OffersStreamConfig() const {
    return (m_config.failures & kFailStreamConfig) == 0;
}

HRESULT SyntheticVideoSource::CheckDeviceFormat(const MediaType& mt) const {
    if ((m_config.failures & kFailSetFormat) != 0) {
        return E_FAIL;
    }
    return CaptureSourceFilter::CheckDeviceFormat(mt);
}

HRESULT SyntheticVideoSource::ApplyDeviceFormat(const MediaType& mt) {
    m_recorder->Update([&](SyntheticDeviceLog& log) { log.formatsSet.push_back(mt); });
    return S_OK;
}

HRESULT SyntheticVideoSource::CheckConnect() const {
    return (m_config.failures & kFailConnect) != 0 ? E_FAIL : S_OK;
}

HRESULT SyntheticVideoSource::StartDevice() {
    if ((m_config.failures & kFailRun) != 0) {
        return E_FAIL;
    }
    m_next = std::chrono::steady_clock::now();
    return S_OK;
}

uint8_t SyntheticVideoSource::Background() const {
    // Follow the routes from the capture filter upstream; each input along
    // the way changes the colour.
    int code = 1;
    size_t x = 0;
    for (int depth = 0; depth < 16 && x < m_crossbars.size(); ++depth) {
        const int32_t in = m_crossbars[x]->VideoRoute();
        code = code * 5 + in + 1;
        int next = -1;
        int32_t pinIndex = 0;
        for (const SyntheticCrossbarInput& c : m_config.crossbars[x].inputs) {
            if (pinIndex == in) {
                next = c.upstreamCrossbar;
            }
            pinIndex += c.withAudio ? 2 : 1;
        }
        if (next <= 0) {
            break;
        }
        x = static_cast<size_t>(next);
    }
    return static_cast<uint8_t>(40 + (code * 37) % 160);
}

HRESULT SyntheticVideoSource::ProduceAndDeliver() {
    std::lock_guard<std::mutex> lock(m_produceMutex);
    const MediaType mt = CurrentFormat();
    PatternParams p;
    p.width = mt.video.bmiHeader.biWidth;
    p.height = std::abs(mt.video.bmiHeader.biHeight);
    p.background = m_crossbars.empty() ? 96 : Background();
    p.lumaOffset = m_config.procAmp[0].present
                       ? ProcAmpValue(VideoProcAmp_Brightness) - m_config.procAmp[0].def
                       : 0;
    p.frameNumber = m_frameNumber++;
    p.still = m_config.still;
    RenderTestPattern(mt.subtype, p, &m_frame);
    return Deliver(m_frame.data(), static_cast<int32_t>(m_frame.size()));
}

bool SyntheticVideoSource::StreamOnce() {
    const int64_t interval = CurrentFormat().video.AvgTimePerFrame;
    m_next += Interval100ns(interval > 0 ? interval : kDefaultInterval);
    if (!WaitUntil(m_next)) {
        return false;
    }
    ProduceAndDeliver();
    return true;
}

int SyntheticVideoSource::Push(int n) {
    int delivered = 0;
    for (int i = 0; i < n && IsRunning(); ++i) {
        if (ProduceAndDeliver() == S_OK) {
            ++delivered;
        }
    }
    return delivered;
}

// ---- audio ------------------------------------------------------------------

SyntheticAudioSource::SyntheticAudioSource(const SyntheticAudioDevice& config,
                                           std::shared_ptr<SyntheticRecorder> recorder)
    : CaptureSourceFilter(MajorType::Audio, AudioCaps(config), InitialAudio(config)),
      m_config(config),
      m_recorder(std::move(recorder)) {}

SyntheticAudioSource::~SyntheticAudioSource() {
    Stop();
}

bool SyntheticAudioSource::OffersStreamConfig() const {
    return (m_config.failures & kFailStreamConfig) == 0;
}

bool SyntheticAudioSource::OffersBufferNegotiation() const {
    return (m_config.failures & kFailBuffers) == 0;
}

HRESULT SyntheticAudioSource::SuggestAllocatorProperties(const AllocatorProperties& props) {
    const HRESULT hr = CaptureSourceFilter::SuggestAllocatorProperties(props);
    if (SUCCEEDED(hr)) {
        m_recorder->Update(
            [&](SyntheticDeviceLog& log) { log.bufferSuggestions.push_back(props); });
    }
    return hr;
}

HRESULT SyntheticAudioSource::ApplyDeviceFormat(const MediaType& mt) {
    m_recorder->Update([&](SyntheticDeviceLog& log) { log.formatsSet.push_back(mt); });
    return S_OK;
}

HRESULT SyntheticAudioSource::CheckConnect() const {
    return (m_config.failures & kFailConnect) != 0 ? E_FAIL : S_OK;
}

HRESULT SyntheticAudioSource::StartDevice() {
    if ((m_config.failures & kFailRun) != 0) {
        return E_FAIL;
    }
    m_next = std::chrono::steady_clock::now();
    return S_OK;
}

size_t SyntheticAudioSource::BufferBytes(const MediaType& mt) const {
    const AllocatorProperties a = SuggestedAllocator();
    if (a.cbBuffer > 0) {
        return static_cast<size_t>(a.cbBuffer);
    }
    // Without a suggestion: a tenth of a second.
    const size_t block = std::max<size_t>(1, mt.wave.nBlockAlign);
    return std::max<size_t>(block, mt.wave.nSamplesPerSec / 10 * block);
}

HRESULT SyntheticAudioSource::ProduceAndDeliver() {
    std::lock_guard<std::mutex> lock(m_produceMutex);
    const MediaType mt = CurrentFormat();
    m_buffer.assign(BufferBytes(mt), 0);
    RenderSineTone(mt.wave.nSamplesPerSec, mt.wave.nChannels, mt.wave.wBitsPerSample, &m_phase,
                   &m_buffer);
    return Deliver(m_buffer.data(), static_cast<int32_t>(m_buffer.size()));
}

bool SyntheticAudioSource::StreamOnce() {
    const MediaType mt = CurrentFormat();
    const double bytesPerSec = std::max<double>(1.0, mt.wave.nAvgBytesPerSec);
    const auto units =
        static_cast<int64_t>(static_cast<double>(BufferBytes(mt)) / bytesPerSec * 1e7);
    m_next += Interval100ns(std::max<int64_t>(units, 10000));
    if (!WaitUntil(m_next)) {
        return false;
    }
    ProduceAndDeliver();
    return true;
}

int SyntheticAudioSource::Push(int n) {
    int delivered = 0;
    for (int i = 0; i < n && IsRunning(); ++i) {
        if (ProduceAndDeliver() == S_OK) {
            ++delivered;
        }
    }
    return delivered;
}
