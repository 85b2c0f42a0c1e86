#pragma once
// The filter graph, its run/stop control and the capture graph builder.
// The graph holds every filter added to it and releases them when it goes.
// Nothing is inserted automatically: render-stream connects a capture pin
// straight to the sink, with the first type the sink accepts.

#include <memory>
#include <string>
#include <vector>

#include "platform/capture/filter.h"
#include "platform/capture/renderer.h"
#include "platform/capture/source_filter.h"

class IMediaControl {
public:
    virtual ~IMediaControl() = default;
    virtual HRESULT Run() = 0;
    // Returns only after every streaming thread has left the renderers.
    virtual HRESULT Stop() = 0;
};

class FilterGraph : public IMediaControl {
public:
    explicit FilterGraph(bool offersMediaControl = true);
    ~FilterGraph() override;
    FilterGraph(const FilterGraph&) = delete;
    FilterGraph& operator=(const FilterGraph&) = delete;

    // The graph keeps the filter until the graph itself is released.
    HRESULT AddFilter(std::shared_ptr<BaseFilter> filter, const std::string& name);
    // Null when the graph offers no run/stop control.
    IMediaControl* QueryMediaControl() { return m_offersMediaControl ? this : nullptr; }

    HRESULT Run() override;
    HRESULT Stop() override;
    bool IsRunning() const { return m_running; }
    const std::vector<std::shared_ptr<BaseFilter>>& Filters() const { return m_filters; }

private:
    bool m_offersMediaControl;
    bool m_running = false;
    std::vector<std::shared_ptr<BaseFilter>> m_filters;
};

class ICaptureGraphBuilder2 {
public:
    HRESULT SetFiltergraph(FilterGraph* graph);

    // The interface of the filter's pin of the given category and media type
    // (Any matches every pin), or of a filter beside it: stream
    // configuration and buffer negotiation of the pin, the picture controls
    // of the filter, the crossbar upstream of its analog video input.
    template <class Interface>
    HRESULT FindInterface(PinCategory category, MajorType major, BaseFilter* filter,
                          Interface** out) {
        if (out == nullptr || filter == nullptr) {
            return E_POINTER;
        }
        Pin* pin = FindPin(category, major, filter);
        *out = pin != nullptr ? InterfaceOf(*pin, static_cast<Interface*>(nullptr)) : nullptr;
        return *out != nullptr ? S_OK : E_NOINTERFACE;
    }

    // Connects the source's pin of that category and type to the sink's
    // input: the pin's current format when the sink takes it, else the first
    // capability it takes. No intermediate filter is supported.
    HRESULT RenderStream(PinCategory category, MajorType major, BaseFilter* source,
                         BaseFilter* intermediate, BaseFilter* sink);

private:
    Pin* FindPin(PinCategory category, MajorType major, BaseFilter* filter) const;
    // Where each interface sits, seen from the pin that was found.
    static IAMStreamConfig* InterfaceOf(Pin& pin, IAMStreamConfig*) { return pin.StreamConfig(); }
    static IAMBufferNegotiation* InterfaceOf(Pin& pin, IAMBufferNegotiation*) {
        return pin.BufferNegotiation();
    }
    static IAMVideoProcAmp* InterfaceOf(Pin& pin, IAMVideoProcAmp*) {
        return pin.Owner()->ProcAmp();
    }
    static IAMCrossbar* InterfaceOf(Pin& pin, IAMCrossbar*);
    FilterGraph* m_graph = nullptr;
};
