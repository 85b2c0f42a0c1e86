#include "platform/capture/source_filter.h"

class CaptureSourceFilter::OutputPin : public Pin {
public:
    OutputPin(CaptureSourceFilter* owner, MajorType major)
        : Pin(owner, PinDirection::Output, PinCategory::Capture, major), m_filter(owner) {}
    IAMStreamConfig* StreamConfig() override {
        return m_filter->OffersStreamConfig() ? m_filter : nullptr;
    }
    IAMBufferNegotiation* BufferNegotiation() override {
        return m_filter->OffersBufferNegotiation() ? m_filter : nullptr;
    }

private:
    CaptureSourceFilter* m_filter;
};

CaptureSourceFilter::CaptureSourceFilter(MajorType major, std::vector<Capability> caps,
                                         MediaType current)
    : m_capturePin(AddPin(std::make_unique<OutputPin>(this, major))),
      m_caps(std::move(caps)),
      m_current(current) {}

CaptureSourceFilter::~CaptureSourceFilter() {
    // A derived filter stops its device in its own destructor; this only
    // makes sure no thread outlives the object.
    m_stopRequested.store(true);
    m_waitCv.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

MediaType CaptureSourceFilter::CurrentFormat() const {
    std::lock_guard<std::mutex> lock(m_formatMutex);
    return m_current;
}

AllocatorProperties CaptureSourceFilter::SuggestedAllocator() const {
    std::lock_guard<std::mutex> lock(m_formatMutex);
    return m_allocator;
}

int CaptureSourceFilter::CapsRecordSize() const {
    return m_capturePin->Major() == MajorType::Audio ? kAudioCapsRecordSize : kVideoCapsRecordSize;
}

HRESULT CaptureSourceFilter::GetNumberOfCapabilities(int* count, int* size) {
    if (count == nullptr || size == nullptr) {
        return E_POINTER;
    }
    *count = static_cast<int>(m_caps.size());
    *size = CapsRecordSize();
    return S_OK;
}

HRESULT CaptureSourceFilter::GetStreamCaps(int index, MediaType* mt, StreamCaps* caps) {
    if (mt == nullptr || caps == nullptr) {
        return E_POINTER;
    }
    if (index < 0 || index >= static_cast<int>(m_caps.size())) {
        return S_FALSE;
    }
    *mt = m_caps[static_cast<size_t>(index)].type;
    *caps = m_caps[static_cast<size_t>(index)].caps;
    return S_OK;
}

HRESULT CaptureSourceFilter::GetFormat(MediaType* mt) {
    if (mt == nullptr) {
        return E_POINTER;
    }
    *mt = CurrentFormat();
    return S_OK;
}

HRESULT CaptureSourceFilter::CheckDeviceFormat(const MediaType& mt) const {
    for (const Capability& cap : m_caps) {
        const MediaType& c = cap.type;
        if (c.majortype != mt.majortype || c.subtype != mt.subtype ||
            c.formattype != mt.formattype) {
            continue;
        }
        if (mt.formattype == FormatType::WaveFormatEx) {
            if (c.wave.nSamplesPerSec == mt.wave.nSamplesPerSec &&
                c.wave.nChannels == mt.wave.nChannels &&
                c.wave.wBitsPerSample == mt.wave.wBitsPerSample) {
                return S_OK;
            }
            continue;
        }
        if (c.video.bmiHeader.biWidth == mt.video.bmiHeader.biWidth &&
            c.video.bmiHeader.biHeight == mt.video.bmiHeader.biHeight &&
            mt.video.AvgTimePerFrame >= cap.caps.video.MinFrameInterval) {
            return S_OK;
        }
    }
    return VFW_E_INVALIDMEDIATYPE;
}

HRESULT CaptureSourceFilter::SetFormat(const MediaType& mt) {
    if (m_running.load()) {
        return VFW_E_NOT_STOPPED;
    }
    HRESULT hr = CheckDeviceFormat(mt);
    if (FAILED(hr)) {
        return hr;
    }
    // A connected pin reconnects downstream: the sink must take the type.
    if (m_sink != nullptr && FAILED(m_sink->CheckMediaType(&mt))) {
        return VFW_E_INVALIDMEDIATYPE;
    }
    hr = ApplyDeviceFormat(mt);
    if (FAILED(hr)) {
        return hr;
    }
    {
        std::lock_guard<std::mutex> lock(m_formatMutex);
        m_current = mt;
    }
    if (m_sink != nullptr) {
        m_sink->SetMediaType(&mt);
    }
    return S_OK;
}

HRESULT CaptureSourceFilter::SuggestAllocatorProperties(const AllocatorProperties& props) {
    if (m_capturePin->ConnectedTo() != nullptr) {
        return VFW_E_ALREADY_CONNECTED;
    }
    std::lock_guard<std::mutex> lock(m_formatMutex);
    m_allocator = props;
    return S_OK;
}

HRESULT CaptureSourceFilter::ConnectTo(BaseRenderer* sink, const MediaType& mt) {
    if (sink == nullptr) {
        return E_POINTER;
    }
    if (m_capturePin->ConnectedTo() != nullptr || sink->InputPin()->ConnectedTo() != nullptr) {
        return VFW_E_ALREADY_CONNECTED;
    }
    HRESULT hr = CheckConnect();
    if (FAILED(hr)) {
        return hr;
    }
    hr = ApplyDeviceFormat(mt);
    if (FAILED(hr)) {
        return hr;
    }
    {
        std::lock_guard<std::mutex> lock(m_formatMutex);
        m_current = mt;
    }
    hr = sink->SetMediaType(&mt);
    if (FAILED(hr)) {
        return hr;
    }
    Pin::Link(m_capturePin, sink->InputPin());
    m_sink = sink;
    return S_OK;
}

HRESULT CaptureSourceFilter::Run() {
    if (m_running.load()) {
        return S_OK;
    }
    const HRESULT hr = StartDevice();
    if (FAILED(hr)) {
        return hr;
    }
    m_stopRequested.store(false);
    m_running.store(true);
    if (PacesItself()) {
        m_thread = std::thread([this] {
            while (!m_stopRequested.load() && StreamOnce()) {
            }
        });
    }
    return S_OK;
}

HRESULT CaptureSourceFilter::Stop() {
    if (!m_running.load()) {
        return S_OK;
    }
    {
        std::lock_guard<std::mutex> lock(m_waitMutex);
        m_stopRequested.store(true);
    }
    m_waitCv.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_running.store(false);
    StopDevice();
    return S_OK;
}

bool CaptureSourceFilter::WaitUntil(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(m_waitMutex);
    return !m_waitCv.wait_until(lock, deadline, [this] { return m_stopRequested.load(); });
}

HRESULT CaptureSourceFilter::Deliver(uint8_t* data, int32_t length) {
    if (!m_running.load() || m_sink == nullptr) {
        return VFW_E_NOT_CONNECTED;
    }
    MediaSample sample(data, length);
    return m_sink->Receive(&sample);
}
