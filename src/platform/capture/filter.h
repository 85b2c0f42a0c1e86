#pragma once
// Filters and pins of the capture graph. A filter owns its pins; a pin knows
// its filter, its direction, its category and the pin it is connected to.
// The graph that a filter was added to holds it through a shared pointer.

#include <memory>
#include <string>
#include <vector>

#include "platform/capture/hresult.h"
#include "platform/capture/interfaces.h"
#include "platform/capture/media_type.h"

class BaseFilter;
class FilterGraph;

enum class PinDirection { Input, Output };
enum class PinCategory { None, Capture, Preview, AnalogVideoIn };

class Pin {
public:
    Pin(BaseFilter* owner, PinDirection direction, PinCategory category, MajorType major);
    virtual ~Pin() = default;
    Pin(const Pin&) = delete;
    Pin& operator=(const Pin&) = delete;

    BaseFilter* Owner() const { return m_owner; }
    PinDirection Direction() const { return m_direction; }
    // The pin category, as a pin's property set reports it.
    PinCategory Category() const { return m_category; }
    MajorType Major() const { return m_major; }
    Pin* ConnectedTo() const { return m_connected; }

    // Services a pin may offer; null when it has none.
    virtual IAMStreamConfig* StreamConfig() { return nullptr; }
    virtual IAMBufferNegotiation* BufferNegotiation() { return nullptr; }

    // Links two pins both ways (null unlinks this pin and its partner).
    static void Link(Pin* output, Pin* input);
    void Unlink();

private:
    BaseFilter* m_owner;
    PinDirection m_direction;
    PinCategory m_category;
    MajorType m_major;
    Pin* m_connected = nullptr;
};

class BaseFilter {
public:
    BaseFilter() = default;
    virtual ~BaseFilter();
    BaseFilter(const BaseFilter&) = delete;
    BaseFilter& operator=(const BaseFilter&) = delete;

    // The pins in enumeration order.
    const std::vector<std::unique_ptr<Pin>>& Pins() const { return m_pins; }

    // Services a filter may offer; null when it has none.
    virtual IAMCrossbar* Crossbar() { return nullptr; }
    virtual IAMVideoProcAmp* ProcAmp() { return nullptr; }

    // Called by the graph. Run starts streaming; Stop returns only once no
    // streaming thread of this filter is inside a downstream filter.
    virtual HRESULT Run() { return S_OK; }
    virtual HRESULT Stop() { return S_OK; }
    // Renderers run before sources start and stop after sources stopped.
    virtual bool IsRenderer() const { return false; }

    FilterGraph* Graph() const { return m_graph; }
    const std::string& NameInGraph() const { return m_nameInGraph; }
    void JoinGraph(FilterGraph* graph, std::string name);

protected:
    Pin* AddPin(std::unique_ptr<Pin> pin);

private:
    std::vector<std::unique_ptr<Pin>> m_pins;
    FilterGraph* m_graph = nullptr;
    std::string m_nameInGraph;
};
