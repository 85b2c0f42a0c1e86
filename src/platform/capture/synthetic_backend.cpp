#include "platform/capture/synthetic_backend.h"

#include "platform/capture/synthetic_sources.h"
#include "platform/capture/utf16.h"

namespace {

class SyntheticBag : public IPropertyBag {
public:
    SyntheticBag(std::optional<std::string> description, std::optional<std::string> friendly)
        : m_description(std::move(description)), m_friendly(std::move(friendly)) {}
    HRESULT Read(const std::string& name, std::u16string* value) override {
        if (value == nullptr) {
            return E_POINTER;
        }
        const std::optional<std::string>* p = name == "Description"    ? &m_description
                                              : name == "FriendlyName" ? &m_friendly
                                                                       : nullptr;
        if (p == nullptr || !p->has_value()) {
            return E_INVALIDARG;
        }
        *value = Utf8ToUtf16(**p);
        return S_OK;
    }

private:
    std::optional<std::string> m_description;
    std::optional<std::string> m_friendly;
};

class SyntheticMoniker : public IMoniker {
public:
    SyntheticMoniker(std::shared_ptr<SyntheticBackend> backend, bool video, size_t index)
        : m_backend(std::move(backend)), m_video(video), m_index(index) {}

    HRESULT BindToPropertyBag(std::unique_ptr<IPropertyBag>* bag) override {
        if (bag == nullptr) {
            return E_POINTER;
        }
        const auto& cfg = m_backend->Config();
        const uint32_t failures =
            m_video ? cfg.video[m_index].failures : cfg.audio[m_index].failures;
        if ((failures & kFailBag) != 0) {
            return E_FAIL;
        }
        if (m_video) {
            *bag = std::make_unique<SyntheticBag>(cfg.video[m_index].description,
                                                  cfg.video[m_index].friendlyName);
        } else {
            *bag = std::make_unique<SyntheticBag>(cfg.audio[m_index].description,
                                                  cfg.audio[m_index].friendlyName);
        }
        return S_OK;
    }

    HRESULT BindToFilter(std::shared_ptr<BaseFilter>* filter) override {
        if (filter == nullptr) {
            return E_POINTER;
        }
        *filter = m_video ? m_backend->BindVideo(m_index) : m_backend->BindAudio(m_index);
        return *filter ? S_OK : E_FAIL;
    }

private:
    std::shared_ptr<SyntheticBackend> m_backend;
    bool m_video;
    size_t m_index;
};

}  // namespace

SyntheticBackend::SyntheticBackend(SyntheticConfig config) : m_config(std::move(config)) {
    for (size_t i = 0; i < m_config.video.size(); ++i) {
        m_videoLogs.push_back(std::make_shared<SyntheticRecorder>());
    }
    for (size_t i = 0; i < m_config.audio.size(); ++i) {
        m_audioLogs.push_back(std::make_shared<SyntheticRecorder>());
    }
    m_videoFilters.resize(m_config.video.size());
    m_audioFilters.resize(m_config.audio.size());
}

SyntheticBackend::~SyntheticBackend() = default;

HRESULT SyntheticBackend::CoInitialize() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_coInit;
    return S_OK;
}

void SyntheticBackend::CoUninitialize() {
    std::lock_guard<std::mutex> lock(m_mutex);
    --m_coInit;
}

int SyntheticBackend::CoInitBalance() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_coInit;
}

std::vector<std::unique_ptr<IMoniker>> SyntheticBackend::Enumerate(DeviceCategory category) {
    std::vector<std::unique_ptr<IMoniker>> out;
    const bool video = category == DeviceCategory::VideoInput;
    const size_t n = video ? m_config.video.size() : m_config.audio.size();
    for (size_t i = 0; i < n; ++i) {
        out.push_back(std::make_unique<SyntheticMoniker>(shared_from_this(), video, i));
    }
    return out;
}

std::shared_ptr<BaseFilter> SyntheticBackend::BindVideo(size_t i) {
    if (i >= m_config.video.size() || (m_config.video[i].failures & kFailBind) != 0) {
        return nullptr;
    }
    auto filter = std::make_shared<SyntheticVideoSource>(m_config.video[i], m_videoLogs[i]);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_videoFilters[i] = filter;
    return filter;
}

std::shared_ptr<BaseFilter> SyntheticBackend::BindAudio(size_t i) {
    if (i >= m_config.audio.size() || (m_config.audio[i].failures & kFailBind) != 0) {
        return nullptr;
    }
    auto filter = std::make_shared<SyntheticAudioSource>(m_config.audio[i], m_audioLogs[i]);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_audioFilters[i] = filter;
    return filter;
}

std::shared_ptr<SyntheticVideoSource> SyntheticBackend::Video(size_t i) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return i < m_videoFilters.size() ? m_videoFilters[i].lock() : nullptr;
}

std::shared_ptr<SyntheticAudioSource> SyntheticBackend::Audio(size_t i) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return i < m_audioFilters.size() ? m_audioFilters[i].lock() : nullptr;
}

SyntheticDeviceLog SyntheticBackend::VideoLog(size_t i) const {
    return i < m_videoLogs.size() ? m_videoLogs[i]->Snapshot() : SyntheticDeviceLog{};
}

SyntheticDeviceLog SyntheticBackend::AudioLog(size_t i) const {
    return i < m_audioLogs.size() ? m_audioLogs[i]->Snapshot() : SyntheticDeviceLog{};
}

int SyntheticBackend::PushVideoFrames(size_t i, int n) {
    auto filter = Video(i);
    return filter ? filter->Push(n) : 0;
}

int SyntheticBackend::PushAudioBuffers(size_t i, int n) {
    auto filter = Audio(i);
    return filter ? filter->Push(n) : 0;
}

int32_t SyntheticBackend::ProcAmpValue(size_t i, int32_t property) const {
    auto filter = Video(i);
    return filter ? filter->ProcAmpValue(property) : -1;
}

int32_t SyntheticBackend::RoutedInput(size_t i, int crossbar) const {
    auto filter = Video(i);
    return filter ? filter->RoutedInput(crossbar) : -1;
}
