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
    // (Any matches every pin), or of the filter next to it.
    HRESULT FindInterface(PinCategory category, MajorType major, BaseFilter* filter,
                          IAMStreamConfig** out);
    HRESULT FindInterface(PinCategory category, MajorType major, BaseFilter* filter,
                          IAMBufferNegotiation** out);
    // The crossbar upstream of the filter's analog video input.
    HRESULT FindInterface(PinCategory category, MajorType major, BaseFilter* filter,
                          IAMCrossbar** out);
    HRESULT FindInterface(PinCategory category, MajorType major, BaseFilter* filter,
                          IAMVideoProcAmp** out);

    // Connects the source's pin of that category and type to the sink's
    // input: the pin's current format when the sink takes it, else the first
    // capability it takes. No intermediate filter is supported.
    HRESULT RenderStream(PinCategory category, MajorType major, BaseFilter* source,
                         BaseFilter* intermediate, BaseFilter* sink);

private:
    Pin* FindPin(PinCategory category, MajorType major, BaseFilter* filter) const;
    FilterGraph* m_graph = nullptr;
};
