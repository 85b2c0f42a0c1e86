#include "platform/capture/filter_graph.h"

#include <algorithm>

FilterGraph::FilterGraph(bool offersMediaControl) : m_offersMediaControl(offersMediaControl) {}

FilterGraph::~FilterGraph() {
    Stop();
}

HRESULT FilterGraph::AddFilter(std::shared_ptr<BaseFilter> filter, const std::string& name) {
    if (!filter) {
        return E_POINTER;
    }
    if (std::find(m_filters.begin(), m_filters.end(), filter) != m_filters.end()) {
        return S_FALSE;
    }
    filter->JoinGraph(this, name);
    m_filters.push_back(std::move(filter));
    return S_OK;
}

HRESULT FilterGraph::Run() {
    if (m_running) {
        return S_OK;
    }
    for (auto& f : m_filters) {
        if (f->IsRenderer()) {
            f->Run();
        }
    }
    for (auto& f : m_filters) {
        if (!f->IsRenderer()) {
            const HRESULT hr = f->Run();
            if (FAILED(hr)) {
                m_running = true;
                Stop();
                return hr;
            }
        }
    }
    m_running = true;
    return S_OK;
}

HRESULT FilterGraph::Stop() {
    if (!m_running) {
        return S_OK;
    }
    for (auto& f : m_filters) {
        if (!f->IsRenderer()) {
            f->Stop();
        }
    }
    for (auto& f : m_filters) {
        if (f->IsRenderer()) {
            f->Stop();
        }
    }
    m_running = false;
    return S_OK;
}

HRESULT ICaptureGraphBuilder2::SetFiltergraph(FilterGraph* graph) {
    if (graph == nullptr) {
        return E_POINTER;
    }
    m_graph = graph;
    return S_OK;
}

Pin* ICaptureGraphBuilder2::FindPin(PinCategory category, MajorType major,
                                    BaseFilter* filter) const {
    if (filter == nullptr) {
        return nullptr;
    }
    for (const auto& pin : filter->Pins()) {
        if (pin->Direction() == PinDirection::Output && pin->Category() == category &&
            (major == MajorType::Any || pin->Major() == major)) {
            return pin.get();
        }
    }
    return nullptr;
}

IAMCrossbar* ICaptureGraphBuilder2::InterfaceOf(Pin& pin, IAMCrossbar*) {
    for (const auto& input : pin.Owner()->Pins()) {
        if (input->Direction() == PinDirection::Input &&
            input->Category() == PinCategory::AnalogVideoIn && input->ConnectedTo() != nullptr) {
            return input->ConnectedTo()->Owner()->Crossbar();
        }
    }
    return nullptr;
}

HRESULT ICaptureGraphBuilder2::RenderStream(PinCategory category, MajorType major,
                                            BaseFilter* source, BaseFilter* intermediate,
                                            BaseFilter* sink) {
    if (source == nullptr || sink == nullptr) {
        return E_POINTER;
    }
    if (intermediate != nullptr || m_graph == nullptr) {
        return E_INVALIDARG;
    }
    auto* capture = dynamic_cast<CaptureSourceFilter*>(source);
    auto* renderer = dynamic_cast<BaseRenderer*>(sink);
    if (capture == nullptr || renderer == nullptr ||
        FindPin(category, major, source) != capture->CapturePin()) {
        return E_INVALIDARG;
    }
    if (capture->Graph() != m_graph || renderer->Graph() != m_graph) {
        return E_INVALIDARG;
    }
    std::vector<MediaType> candidates{capture->CurrentFormat()};
    int count = 0;
    int size = 0;
    if (SUCCEEDED(capture->GetNumberOfCapabilities(&count, &size))) {
        for (int i = 0; i < count; ++i) {
            MediaType mt;
            StreamCaps caps;
            if (capture->GetStreamCaps(i, &mt, &caps) == S_OK) {
                candidates.push_back(mt);
            }
        }
    }
    for (const MediaType& mt : candidates) {
        if (SUCCEEDED(renderer->CheckMediaType(&mt))) {
            return capture->ConnectTo(renderer, mt);
        }
    }
    return VFW_E_CANNOT_CONNECT;
}
